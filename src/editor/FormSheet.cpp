#include "FormSheet.h"

#include "FormControls.h"

#include <algorithm>

namespace FormSheet {

namespace {

bool rowsBegun(const Frame& frame)
{
    return std::any_of(frame.lines.begin(), frame.lines.end(), [](const Line& l) { return l.kind == Line::Kind::Row; });
}

std::vector<Frame> build()
{
    std::vector<Frame> frames;
    std::vector<const FormControl*> labelsAbove; // the frame's labels before its first row
    const auto endFrame = [&] {
        if (!frames.empty() && rowsBegun(frames.back()))
            frames.back().headings = labelsAbove;
        labelsAbove.clear();
    };
    for (const FormControl& c : FormControls::all()) {
        if (frames.empty() || frames.back().title != c.frame) {
            endFrame();
            frames.push_back({c.frame, {}, {}});
        }
        Frame& f = frames.back();
        if (c.row >= 0) {
            if (c.kind == ControlKind::Label) // a row starts with its label
                f.lines.push_back({Line::Kind::Row, {&c}});
            else
                f.lines.back().controls.push_back(&c);
        } else if (c.kind == ControlKind::Label) {
            if (rowsBegun(f))
                f.lines.push_back({Line::Kind::Heading, {&c}});
            else
                labelsAbove.push_back(&c);
        } else {
            f.lines.push_back({Line::Kind::Setting, {&c}});
        }
    }
    endFrame();
    return frames;
}

// The first row of a frame's list.
const Line& firstRow(const Frame& frame)
{
    return *std::find_if(frame.lines.begin(), frame.lines.end(),
                         [](const Line& l) { return l.kind == Line::Kind::Row; });
}

class TextSheet {
public:
    explicit TextSheet(const Form& form) : form_(form) {}

    QString print()
    {
        out_ = QStringLiteral("Controls marked * are greyed in the window.\n");
        for (const Frame& frame : frames()) {
            out_ += QLatin1Char('\n');
            if (!frame.title.isEmpty())
                out_ += frame.title + QLatin1Char('\n');
            bool headerDone = false;
            for (const Line& l : frame.lines) {
                const FormControl& first = *l.controls.front();
                switch (l.kind) {
                case Line::Kind::Setting: line(QStringLiteral("  ") + single(first)); break;
                case Line::Kind::Heading: line(QStringLiteral("  ") + first.value(form_) + mark(first)); break;
                case Line::Kind::Row:
                    if (!headerDone)
                        printHeader(frame);
                    headerDone = true;
                    printRow(frame, l);
                    break;
                }
            }
        }
        return out_;
    }

private:
    QString mark(const FormControl& c) const { return c.enabled(form_) ? QString() : QStringLiteral("*"); }

    QString cell(const FormControl& c) const
    {
        if (c.kind == ControlKind::Check)
            return (c.value(form_) == QLatin1String("0") ? QStringLiteral("[ ]") : QStringLiteral("[x]")) + mark(c);
        if (c.kind == ControlKind::Label)
            return c.value(form_) + mark(c);
        return QStringLiteral("\"%1\"").arg(c.value(form_)) + mark(c);
    }

    QString single(const FormControl& c) const
    {
        if (c.kind == ControlKind::Check)
            return cell(c) + QStringLiteral(" ") + c.caption;
        return c.caption + QStringLiteral(": ") + cell(c);
    }

    // A column is as wide as its longest cell: the text in quotes and the greyed mark.
    static int width(const FormControl& c, const FormControl& heading)
    {
        return std::max(c.maxLength + 3, static_cast<int>(heading.caption.size())) + 2;
    }

    void printHeader(const Frame& frame)
    {
        const Line& row = firstRow(frame);
        QString header = QStringLiteral("  ") + QStringLiteral("Row").leftJustified(kRowWidth);
        for (std::size_t k = 1; k < row.controls.size(); ++k)
            header += frame.headings[k - 1]->caption.leftJustified(width(*row.controls[k], *frame.headings[k - 1]));
        line(header);
    }

    void printRow(const Frame& frame, const Line& row)
    {
        QString text = QStringLiteral("  ") + cell(*row.controls.front()).leftJustified(kRowWidth);
        for (std::size_t k = 1; k < row.controls.size(); ++k)
            text += cell(*row.controls[k]).leftJustified(width(*row.controls[k], *frame.headings[k - 1]));
        line(text);
    }

    static constexpr int kRowWidth = 5;

    void line(QString text)
    {
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        out_ += text + QLatin1Char('\n');
    }

    const Form& form_;
    QString out_;
};

} // namespace

const std::vector<Frame>& frames()
{
    static const std::vector<Frame> sheet = build();
    return sheet;
}

QString text(const Form& form)
{
    return TextSheet(form).print();
}

} // namespace FormSheet
