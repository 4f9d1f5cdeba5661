// vireo report: the configuration report of a board data file, as the window's
// "Export Report..." makes it.
#include "CliSupport.h"
#include "Commands.h"

#include "ConfigurationReport.h"

namespace Cli {

namespace {

const QString kReportUsage =
    QStringLiteral("vireo report FILE.tv2 --product N [-o OUT.pdf|OUT.html|OUT.txt] [--paper a4|letter]");

std::optional<QPageSize> paperOption(const QString& value)
{
    if (value.compare(QLatin1String("a4"), Qt::CaseInsensitive) == 0)
        return QPageSize(QPageSize::A4);
    if (value.compare(QLatin1String("letter"), Qt::CaseInsensitive) == 0)
        return QPageSize(QPageSize::Letter);
    err() << "vireo report: --paper takes a4 or letter, not \"" << value << "\"\n";
    return std::nullopt;
}

} // namespace

int report(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Opens FILE as the programmer's window does with product N and makes its configuration report: the "
        "product, the file, the date, the program's version and a checksum (the first 8 digits of the "
        "SHA-256 of the file Save As would write), then every setting by caption in the order of the window, "
        "greyed controls marked *, and the group and speed-dial lists with their tags and locks. Written to "
        "OUT as PDF, HTML or text by its extension; as text on standard output without -o."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A board data file (*.tv2)."));
    parser.addOption(productArgument(QStringLiteral("The product %1 the file is opened with.")));
    parser.addOption({{QStringLiteral("o"), QStringLiteral("output")},
                      QStringLiteral("The report file: .pdf, .html or .txt."),
                      QStringLiteral("OUT")});
    parser.addOption({QStringLiteral("paper"),
                      QStringLiteral("The paper of a PDF: a4 or letter (default: Letter where the locale measures "
                                     "in inches, else A4)."),
                      QStringLiteral("SIZE")});
    int status = kInvalid;
    const std::optional<int> product = parseFileCommand(parser, {QStringLiteral("report"), kReportUsage, 1}, args,
                                                        &status);
    if (!product)
        return status;
    std::optional<QPageSize> paper = ConfigurationReport::defaultPaper();
    if (parser.isSet(QStringLiteral("paper")) && !(paper = paperOption(parser.value(QStringLiteral("paper")))))
        return kInvalid;
    const QString outPath = parser.value(QStringLiteral("o"));
    if (!outPath.isEmpty() && !ConfigurationReport::formatFor(outPath)) {
        err() << "vireo report: -o takes a name ending in .pdf, .html or .txt, not \"" << outPath << "\"\n";
        return kInvalid;
    }
    const std::optional<EditorSession> w = openLikeTheWindow(parser.positionalArguments().front(), *product);
    if (!w)
        return kInvalid;
    const ConfigurationReport sheet(*w);
    if (outPath.isEmpty()) {
        out() << sheet.text();
        out().flush();
        return kOk;
    }
    const QString why = sheet.save(outPath, *paper);
    if (!why.isEmpty()) {
        err() << "vireo report: " << outPath << ": " << why << "\n";
        return kFailed;
    }
    return kOk;
}

} // namespace Cli
