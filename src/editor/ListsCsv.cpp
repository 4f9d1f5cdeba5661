#include "ListsCsv.h"

#include "Csv.h"
#include "Editor.h"
#include "FormControls.h"
#include "FormSheet.h"

#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

namespace ListsCsv {

namespace {

enum Column { kList, kRow, kNumber, kTag, kLock };

// The window's two lists, by the frame that holds each.
struct List {
    const char* frame;
    const char* name; // in the List column
    const char* rows; // the row labels, for a message
};
constexpr List kLists[] = {
    {"Group Codes", "Group", "0 to 15"},
    {"Speed Dial Programming", "Speed Dial", "0 to 9, A to D"},
};

const FormSheet::Frame& frameOf(const List& list)
{
    for (const FormSheet::Frame& f : FormSheet::frames()) {
        if (f.title == QLatin1String(list.frame))
            return f;
    }
    Q_UNREACHABLE();
}

// Which column of the file a control of a list row fills.
Column columnOf(const FormControl& c)
{
    if (c.kind == ControlKind::Check)
        return kLock;
    return c.format == Editor::DisplayFormat::Capitals ? kTag : kNumber;
}

template <typename F>
void forEachRow(F&& f)
{
    for (const List& list : kLists) {
        for (const FormSheet::Line& line : frameOf(list).lines) {
            if (line.kind == FormSheet::Line::Kind::Row)
                f(list, line);
        }
    }
}

// The control of a row that fills `column`, or nullptr (a group row has no lock).
const FormControl* controlFor(const FormSheet::Line& row, Column column)
{
    for (std::size_t k = 1; k < row.controls.size(); ++k) {
        if (columnOf(*row.controls[k]) == column)
            return row.controls[k];
    }
    return nullptr;
}

void emptyLists(Form& form)
{
    forEachRow([&form](const List&, const FormSheet::Line& row) {
        for (std::size_t k = 1; k < row.controls.size(); ++k) {
            const FormControl& c = *row.controls[k];
            if (c.kind == ControlKind::Check)
                FormControls::setCheck(form, c, 0);
            else
                c.textBox(form)->text.clear();
        }
    });
}

// A spreadsheet opening the file must keep each value as the text it is. Calc and
// Excel read a cell of digits as a number (leading zeros gone, digits beyond the
// fifteenth lost, E read as an exponent), a cell beginning with = + - @ as a formula,
// and, when they look for dates, "MAR 5" as a date; a leading ' (OWASP's guard against
// formulas) makes the cell text, and Calc keeps it and saves it back as part of the
// text. So every number, and every tag that does not begin with a letter or holds a
// digit, goes out behind a '; Import takes one leading ' off again.
constexpr QChar kGuard = QLatin1Char('\'');

bool plainWords(const QString& tag)
{
    return tag.front().isLetter() && std::none_of(tag.begin(), tag.end(), [](QChar c) { return c.isDigit(); });
}

QString guarded(const QString& value, Column column)
{
    if (value.isEmpty() || (column != kNumber && (column != kTag || plainWords(value))))
        return value;
    return kGuard + value;
}

QString unguarded(const QString& cell)
{
    return cell.startsWith(kGuard) ? cell.mid(1) : cell;
}

bool isDecimal(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

constexpr int kMaxProblems = 20;

class Importer {
public:
    // `form` is `original` with its lists emptied or not, as the mode asks.
    Importer(const Csv::Table& table, Form& form, const Form& original)
        : table_(table), form_(form), original_(original)
    {
    }

    QStringList run()
    {
        if (!findColumns())
            return problems_;
        for (const Csv::Row& row : table_.rows) {
            if (problems_.size() >= kMaxProblems) {
                problems_ << QStringLiteral("(the rows from line %1 on were not checked)").arg(row.line);
                break;
            }
            takeRow(row);
        }
        return problems_;
    }

private:
    bool findColumns()
    {
        for (int k = kList; k <= kLock; ++k) {
            const QString& name = kHeader[k];
            columns_[k] = table_.column(name);
            int count = 0;
            for (const QString& h : table_.header)
                count += h.trimmed().compare(name, Qt::CaseInsensitive) == 0 ? 1 : 0;
            if (count > 1)
                problems_ << QStringLiteral("line %1: two columns are named \"%2\"").arg(table_.headerLine).arg(name);
        }
        for (int k : {kList, kRow}) {
            if (columns_[k] < 0)
                problems_
                    << QStringLiteral("line %1: no column is named \"%2\"").arg(table_.headerLine).arg(kHeader[k]);
        }
        return problems_.isEmpty();
    }

    QString field(const Csv::Row& row, int column) const { return Csv::Table::field(row, columns_[column]); }

    void refuse(const Csv::Row& row, int column, const QString& what)
    {
        problems_ << QStringLiteral("line %1, column %2: %3").arg(row.line).arg(kHeader[column], what);
    }

    static bool blank(const Csv::Row& row)
    {
        for (const QString& f : row.fields) {
            if (!f.trimmed().isEmpty())
                return false;
        }
        return true;
    }

    // The list and the row of the window a line of the file names.
    std::optional<std::pair<const List*, const FormSheet::Line*>> findRow(const Csv::Row& row)
    {
        const QString listName = field(row, kList).trimmed();
        const List* list = nullptr;
        for (const List& l : kLists) {
            if (listName.compare(QLatin1String(l.name), Qt::CaseInsensitive) == 0)
                list = &l;
        }
        if (!list) {
            refuse(row, kList, QStringLiteral("\"%1\" is not a list (Group or Speed Dial)").arg(listName));
            return std::nullopt;
        }
        const QString label = field(row, kRow).trimmed();
        for (const FormSheet::Line& line : frameOf(*list).lines) {
            if (line.kind == FormSheet::Line::Kind::Row
                && line.controls.front()->value(form_).compare(label, Qt::CaseInsensitive) == 0)
                return std::pair{list, &line};
        }
        refuse(row, kRow,
               QStringLiteral("\"%1\" is not a row of the %2 list (%3)")
                   .arg(label, QLatin1String(list->name), QLatin1String(list->rows)));
        return std::nullopt;
    }

    void takeRow(const Csv::Row& row)
    {
        if (blank(row))
            return;
        const auto found = findRow(row);
        if (!found)
            return;
        const auto [list, line] = *found;
        const auto [seen, first] = seen_.try_emplace(line, row.line);
        if (!first) {
            refuse(row, kRow,
                   QStringLiteral("%1 row %2 is given twice (also on line %3)")
                       .arg(QLatin1String(list->name), line->controls.front()->value(form_))
                       .arg(seen->second));
            return;
        }
        if (columns_[kLock] >= 0)
            takeLock(row, controlFor(*line, kLock));
        if (columns_[kNumber] >= 0)
            takeNumber(row, *controlFor(*line, kNumber));
        if (columns_[kTag] >= 0)
            takeText(row, kTag, *controlFor(*line, kTag), unguarded(field(row, kTag)));
    }

    void takeLock(const Csv::Row& row, const FormControl* lock)
    {
        const QString value = field(row, kLock).trimmed();
        if (!lock) {
            if (!value.isEmpty())
                refuse(row, kLock, QStringLiteral("a group has no lock; leave it empty"));
            return;
        }
        if (!value.isEmpty() && value != QLatin1String("0") && value != QLatin1String("1")) {
            refuse(row, kLock, QStringLiteral("\"%1\" is not 0 or 1").arg(value));
            return;
        }
        // An empty cell leaves the memory unlocked, as a spreadsheet row typed without it means.
        FormControls::setCheck(form_, *lock, value == QLatin1String("1") ? 1 : 0);
    }

    void takeNumber(const Csv::Row& row, const FormControl& box)
    {
        const QString cell = field(row, kNumber).trimmed();
        const QString value = unguarded(cell);
        if (value == cell && cutBySpreadsheet(row, box, value))
            return;
        if (!takeText(row, kNumber, box, value))
            return;
        if (!Editor::givesBoardWords(box, form_, box.textBox(form_)->text)) {
            const char* what = box.entry == EntryRule::GroupCode ? "a group code" : "a speed-dial number";
            refuse(row, kNumber, QStringLiteral("\"%1\" is not %2").arg(value, QLatin1String(what)));
        }
    }

    // A number without its guard that a spreadsheet read as a number and wrote back cut:
    // in exponent form, or without leading zeros the row holds and would lose. Refused,
    // so that a changed number never reaches the board.
    bool cutBySpreadsheet(const Csv::Row& row, const FormControl& box, const QString& value)
    {
        static const QRegularExpression exponent(QStringLiteral("^[0-9](\\.[0-9]+)?E\\+[0-9]+$"),
                                                 QRegularExpression::CaseInsensitiveOption);
        if (exponent.match(value).hasMatch()) {
            refuse(row, kNumber,
                   QStringLiteral("\"%1\" is a spreadsheet's exponent form of a number whose digits are lost; "
                                  "write the number itself behind a '")
                       .arg(value));
            return true;
        }
        const QString held = box.textBox(original_)->text;
        const QString taken = box.entry == EntryRule::DialNumber ? value : FormControls::leftText(box, value);
        const bool zerosCut = isDecimal(value) && isDecimal(held) && held.size() > value.size() && taken != held
                              && held == value.rightJustified(held.size(), QLatin1Char('0'));
        if (!zerosCut)
            return false;
        refuse(row, kNumber,
               QStringLiteral("\"%1\" is this row's %2 with its leading zeros cut by a spreadsheet; write it as "
                              "'%2 to keep it")
                   .arg(value, held));
        return true;
    }

    // A value into its box as the box takes it, greyed or not: a text too long is
    // refused, unless a board's words show it so (a factory board's sixteen zeros);
    // tags and group codes are completed as leaving the box completes them, a
    // speed-dial number is kept exactly (leaving box 1..13 would drop its leading zeros).
    bool takeText(const Csv::Row& row, int column, const FormControl& box, const QString& value)
    {
        if (value.size() > box.maxLength && !Editor::showsItsOwnWords(box, form_, value)) {
            refuse(row, column,
                   QStringLiteral("\"%1\" is longer than the box's %2 characters").arg(value).arg(box.maxLength));
            return false;
        }
        const bool exact = box.entry == EntryRule::DialNumber;
        box.textBox(form_)->text = exact ? value : FormControls::leftText(box, value);
        return true;
    }

    const Csv::Table& table_;
    Form& form_;
    const Form& original_;
    int columns_[kLock + 1] = {};
    std::map<const FormSheet::Line*, int> seen_; // row of the window -> line of the file
    QStringList problems_;
};

ImportResult importTable(const Form& form, const Csv::ReadResult& read, Mode mode)
{
    using Outcome = ImportResult::Outcome;
    if (!read.ok())
        return {read.notRead ? Outcome::Unreadable : Outcome::Refused, {read.error}, form};
    ImportResult result{Outcome::Done, {}, form};
    if (mode == Mode::Replace)
        emptyLists(result.form);
    result.problems = Importer(read.table, result.form, form).run();
    // What a save would refuse of the result is refused now, before anything changes.
    if (result.problems.isEmpty())
        result.problems = Editor::completeEntries(result.form);
    if (!result.problems.isEmpty())
        return {Outcome::Refused, result.problems, form};
    return result;
}

} // namespace

QByteArray exportLists(const Form& form)
{
    std::vector<QStringList> records{kHeader};
    forEachRow([&](const List& list, const FormSheet::Line& row) {
        QStringList record(kHeader.size());
        record[kList] = QLatin1String(list.name);
        record[kRow] = row.controls.front()->value(form);
        for (std::size_t k = 1; k < row.controls.size(); ++k) {
            const Column column = columnOf(*row.controls[k]);
            record[column] = guarded(row.controls[k]->value(form), column);
        }
        records.push_back(record);
    });
    return Csv::format(records);
}

ImportResult importLists(const Form& form, const QString& path, Mode mode)
{
    return importTable(form, Csv::read(path), mode);
}

ImportResult importLists(const Form& form, const QByteArray& bytes, Mode mode)
{
    return importTable(form, Csv::parse(bytes), mode);
}

} // namespace ListsCsv
