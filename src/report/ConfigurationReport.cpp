// The report's contents: its header, and the settings as text and as HTML.
#include "ConfigurationReport.h"

#include "DataFile.h"
#include "Editor.h"
#include "FormControls.h"
#include "FormSheet.h"
#include "Product.h"
#include "SafeSave.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace {

const QString kTitle = QStringLiteral("Logic Board Configuration");
const QString kProgram = QStringLiteral("Vireo Logic Board Programmer");
const QString kGreyedNote = QStringLiteral("Controls marked * are greyed in the window.");

QString sourceText(const EditorSession::Source& source)
{
    if (source.board)
        return source.port.isEmpty() ? QStringLiteral("read from board")
                                     : QStringLiteral("read from board on %1").arg(source.port);
    if (source.file.isEmpty())
        return QStringLiteral("none");
    return QDir::toNativeSeparators(source.file);
}

// The File line: with edits not yet saved, the sheet (and its checksum) is of no file
// on disk, and says so.
QString fileLine(const EditorSession& session)
{
    const QString source = sourceText(session.source);
    if (!session.hasUnsavedEdits() || (!session.source.board && session.source.file.isEmpty()))
        return source;
    return source
           + (session.source.board ? QStringLiteral(" (changed since it was read, not saved)")
                                   : QStringLiteral(" (changed since it was opened, not saved)"));
}

// The image Save As would write: the entries completed as it completes them first.
BoardImage savedImage(const EditorSession& session)
{
    EditorSession copy = session;
    copy.checkSave();
    return copy.imageShown();
}

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

// A control's value on the sheet: a check box as the window's tick, a list item or
// a box's text exactly (blanks kept), a greyed control marked.
QString cellText(const FormControl& c, const Form& form)
{
    QString text = c.value(form);
    if (c.kind == ControlKind::Check)
        text = text == QLatin1String("0") ? QStringLiteral("[ ]") : QStringLiteral("[x]");
    return text + (c.enabled(form) ? QString() : QStringLiteral("*"));
}

QString valueCell(const FormControl& c, const Form& form, const char* tag = "td")
{
    return QStringLiteral("<%1 class=\"v\">%2</%1>").arg(QLatin1String(tag), escaped(cellText(c, form)));
}

// A frame's single settings as rows of a two-column table, under the frame's title.
QString settingRows(const FormSheet::Frame& frame, const Form& form)
{
    QString rows;
    if (!frame.title.isEmpty())
        rows += QStringLiteral("<tr><th colspan=\"2\" class=\"frame\">%1</th></tr>\n").arg(escaped(frame.title));
    for (const FormSheet::Line& line : frame.lines) {
        if (line.kind == FormSheet::Line::Kind::Setting)
            rows += QStringLiteral("<tr><td class=\"c\">%1</td>%2</tr>\n")
                        .arg(escaped(line.controls.front()->caption), valueCell(*line.controls.front(), form));
    }
    return rows;
}

QString settingsTable(const QString& rows)
{
    return QStringLiteral("<table class=\"settings\" cellspacing=\"0\" cellpadding=\"1\">\n%1</table>\n").arg(rows);
}

// A frame with a list: its title, its settings, the list under its headings.
QString listFrame(const FormSheet::Frame& frame, const Form& form)
{
    QString list = QStringLiteral("<tr><th>Row</th>");
    for (const FormControl* h : frame.headings)
        list += QStringLiteral("<th>%1</th>").arg(escaped(h->caption));
    list += QStringLiteral("</tr>\n");
    const int columns = static_cast<int>(frame.headings.size()) + 1;
    for (const FormSheet::Line& line : frame.lines) {
        if (line.kind == FormSheet::Line::Kind::Heading) {
            list += QStringLiteral("<tr><th colspan=\"%1\" class=\"sub\">%2</th></tr>\n")
                        .arg(columns)
                        .arg(escaped(cellText(*line.controls.front(), form)));
        } else if (line.kind == FormSheet::Line::Kind::Row) {
            list += QStringLiteral("<tr>");
            for (const FormControl* c : line.controls)
                list += valueCell(*c, form);
            list += QStringLiteral("</tr>\n");
        }
    }
    return settingsTable(settingRows(frame, form))
           + QStringLiteral("<table class=\"list\" cellspacing=\"0\" cellpadding=\"1\">\n%1</table>\n").arg(list);
}

const char* const kStyle = R"(
body { font-family: "DejaVu Sans", Arial, Helvetica, sans-serif; font-size: 9pt; color: #000; background: #fff; }
p { margin-top: 2px; margin-bottom: 2px; }
p.title { font-size: 14pt; font-weight: bold; margin-bottom: 6px; }
th.frame { font-size: 10.5pt; padding-top: 8px; padding-bottom: 2px; }
td.c { white-space: nowrap; }
table { border-collapse: collapse; }
td { padding-left: 2px; padding-right: 10px; vertical-align: top; text-align: left; }
th { padding-left: 2px; padding-right: 10px; vertical-align: top; text-align: left; }
table.list { border-style: solid; border-width: 1px; border-color: #000; }
.list td, .list th { border-style: solid; border-width: 1px; border-color: #000; padding-left: 4px; padding-right: 4px; }
th.sub { font-style: italic; }
p.note { margin-top: 6px; margin-bottom: 4px; }
.v { font-family: "DejaVu Sans Mono", "Courier New", monospace; white-space: pre; }
)";

} // namespace

ConfigurationReport::ConfigurationReport(const EditorSession& session, QDateTime when)
    : form_(session.form), checksum_(checksum(savedImage(session))),
      when_(when.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
{
    const std::optional<int> product = Editor::selectedProduct(form_);
    const QString productName = product ? QLatin1String(Product::info(*product).caption)
                                        : QStringLiteral("none chosen");
    shortName_ = product ? QLatin1String(Product::info(*product).shortName) : QString();
    fileName_ = session.source.board || session.source.file.isEmpty() ? sourceText(session.source)
                                                                      : QFileInfo(session.source.file).fileName();
    header_ = {
        {QStringLiteral("Product"), productName},
        {QStringLiteral("File"), fileLine(session)},
        {QStringLiteral("Date"), when_},
        {QStringLiteral("Program"), kProgram + QLatin1Char(' ') + QStringLiteral(VIREO_VERSION)},
        {QStringLiteral("Checksum"), checksum_ + QStringLiteral(" (SHA-256 of the data file Save As writes)")},
    };
}

QString ConfigurationReport::checksum(const BoardImage& image)
{
    const QByteArray digest = QCryptographicHash::hash(DataFile::serialize(image), QCryptographicHash::Sha256);
    return QString::fromLatin1(digest.toHex().left(8)).toUpper();
}

QString ConfigurationReport::text() const
{
    QString out = kTitle + QLatin1Char('\n');
    for (const auto& [label, value] : header_)
        out += (label + QLatin1Char(':')).leftJustified(10) + value + QLatin1Char('\n');
    return out + FormSheet::text(form_);
}

QString ConfigurationReport::html() const
{
    QString info;
    for (const auto& [label, value] : header_)
        info += QStringLiteral("<tr><th>%1</th><td>%2</td></tr>\n").arg(escaped(label), escaped(value));
    // The settings on the left, the two lists on the right: one page for them all.
    QString settings;
    QString lists;
    for (const FormSheet::Frame& frame : FormSheet::frames()) {
        if (frame.hasList())
            lists += listFrame(frame, form_);
        else
            settings += settingRows(frame, form_);
    }
    settings = settingsTable(settings);
    return QStringLiteral(
               "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>%1</title>\n"
               "<style>%2</style>\n</head>\n<body>\n<p class=\"title\">%3</p>\n"
               "<table class=\"info\" cellspacing=\"0\" cellpadding=\"1\">\n%4</table>\n<p class=\"note\">%5</p>\n"
               "<table class=\"layout\" width=\"100%\" cellspacing=\"0\" cellpadding=\"0\"><tr>\n"
               "<td width=\"41%\">\n%6</td>\n<td width=\"3%\"></td>\n<td width=\"56%\">\n%7</td>\n"
               "</tr></table>\n</body>\n</html>\n")
        .arg(escaped(footer()), QLatin1String(kStyle), escaped(kTitle), info, escaped(kGreyedNote), settings, lists);
}

QString ConfigurationReport::footer() const
{
    QStringList parts{kTitle};
    if (!shortName_.isEmpty())
        parts << shortName_;
    parts << fileName_ << checksum_ << when_;
    return parts.join(QStringLiteral("  -  "));
}

std::optional<ConfigurationReport::Format> ConfigurationReport::formatFor(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("txt"))
        return Format::Text;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return Format::Html;
    if (suffix == QLatin1String("pdf"))
        return Format::Pdf;
    return std::nullopt;
}

QString ConfigurationReport::save(const QString& path, const QPageSize& paper) const
{
    const std::optional<Format> format = formatFor(path);
    if (!format)
        return QStringLiteral("the name %1 does not end in .pdf, .html or .txt").arg(QFileInfo(path).fileName());
    QByteArray bytes;
    switch (*format) {
    case Format::Text: bytes = text().toUtf8(); break;
    case Format::Html: bytes = html().toUtf8(); break;
    case Format::Pdf: bytes = pdf(paper); break;
    }
    if (bytes.isEmpty())
        return QStringLiteral("the pages could not be laid out");
    return SafeSave::write(path, bytes);
}
