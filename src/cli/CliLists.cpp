// vireo export and vireo import: the group and speed-dial lists of a board data file
// as CSV for a spreadsheet, and back, as the window's "Export Lists..." and
// "Import Lists..." do.
#include "CliSupport.h"
#include "Commands.h"

#include "ListsCsv.h"
#include "SafeSave.h"

namespace Cli {

namespace {

const QString kExportUsage = QStringLiteral("vireo export FILE.tv2 --product N -o LISTS.csv");
const QString kImportUsage = QStringLiteral("vireo import FILE.tv2 LISTS.csv --product N -o OUT.tv2 [--replace]");

QCommandLineOption productOpt()
{
    return productArgument(QStringLiteral("The product %1 the file is opened with."));
}

} // namespace

int exportLists(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Opens FILE as the programmer's window does with product N and writes its group and speed-dial lists "
        "to a CSV file (UTF-8, CR LF): the header List,Row,Number,Alpha Tag,Lock, then the 16 group rows "
        "and the 14 speed-dial rows in the order of the window, each box's text as the window shows it. Every "
        "number, and every tag that does not begin with a letter or holds a digit, is written behind a leading "
        "' so that a "
        "spreadsheet keeps it as text (no leading zero lost, no formula run); import takes it off again."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A board data file (*.tv2)."));
    parser.addOption(productOpt());
    parser.addOption({{QStringLiteral("o"), QStringLiteral("output")},
                      QStringLiteral("The CSV file to write."),
                      QStringLiteral("LISTS.csv")});
    int status = kInvalid;
    const std::optional<int> product = parseFileCommand(parser, {QStringLiteral("export"), kExportUsage, 1, true}, args,
                                                        &status);
    if (!product)
        return status;
    const std::optional<EditorSession> w = openLikeTheWindow(parser.positionalArguments().front(), *product);
    if (!w)
        return kInvalid;
    const QString why = SafeSave::write(parser.value(QStringLiteral("o")), ListsCsv::exportLists(w->form));
    if (!why.isEmpty()) {
        err() << "vireo export: " << parser.value(QStringLiteral("o")) << ": " << why << "\n";
        return kFailed;
    }
    return kOk;
}

int importLists(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Opens FILE as the programmer's window does with product N, puts the rows of LISTS (a CSV file as "
        "vireo export writes it or a spreadsheet saves it) into its group and speed-dial lists, and saves "
        "OUT as \"Save As...\" does. Columns are found by their header names (List, Row, Number, Alpha "
        "Tag, Lock) in any order; other columns are ignored; ',' or ';' separates, a byte-order mark is "
        "allowed. One leading ' is taken off a number or a tag; tags become capitals and group codes get "
        "their leading zeros back; speed-dial numbers are kept exactly. A number a spreadsheet has cut (in "
        "exponent form, or the row's number without its leading zeros) is refused. Rows not in LISTS keep "
        "their values.\n"
        "Exit status: 0 done, 1 a row or an entry refused (each named by line and column; nothing is "
        "written), 2 wrong usage or an unreadable input file."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The board data file to read."));
    parser.addPositionalArgument(QStringLiteral("LISTS"), QStringLiteral("The CSV file with the lists."));
    parser.addOption(productOpt());
    parser.addOption({{QStringLiteral("o"), QStringLiteral("output")},
                      QStringLiteral("The board data file to write."),
                      QStringLiteral("OUT.tv2")});
    parser.addOption({QStringLiteral("replace"), QStringLiteral("Empty both lists before the rows of LISTS go in.")});
    int status = kInvalid;
    const std::optional<int> product = parseFileCommand(parser, {QStringLiteral("import"), kImportUsage, 2, true}, args,
                                                        &status);
    if (!product)
        return status;
    const QStringList files = parser.positionalArguments();
    std::optional<EditorSession> w = openLikeTheWindow(files[0], *product);
    if (!w)
        return kInvalid;
    const ListsCsv::Mode mode = parser.isSet(QStringLiteral("replace")) ? ListsCsv::Mode::Replace
                                                                        : ListsCsv::Mode::Merge;
    const ListsCsv::ImportResult imported = ListsCsv::importLists(w->form, files[1], mode);
    if (imported.outcome == ListsCsv::ImportResult::Outcome::Unreadable) {
        err() << "vireo import: " << imported.problems.join(QStringLiteral("; ")) << "\n";
        return kInvalid;
    }
    if (!imported.ok()) {
        err() << "vireo import: " << files[1] << " was refused, nothing was written:\n";
        for (const QString& p : imported.problems)
            err() << "  " << p << "\n";
        return kFailed;
    }
    w->form = imported.form;

    return saveLikeTheWindow(*w, parser.value(QStringLiteral("o")), QStringLiteral("import"));
}

} // namespace Cli
