// vireo dump and vireo convert: a board data file opened as the programmer's
// window opens it, shown or edited through the same editor rules.
#include "CliSupport.h"
#include "Commands.h"

#include "Compare.h"
#include "DataFile.h"
#include "Editor.h"
#include "EditorSession.h"
#include "FormControls.h"
#include "FormSheet.h"
#include "MemoryMap.h"
#include "Product.h"
#include "WordCodecs.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace Cli {

namespace {

const QString kDumpUsage = QStringLiteral("vireo dump FILE --product N [--json]");
const QString kDiffUsage = QStringLiteral("vireo diff A.tv2 B.tv2 --product N");
const QString kConvertUsage = QStringLiteral("vireo convert IN OUT --product N [--to M] [--set NAME=VALUE]...");

QString fileName(const QString& path)
{
    return QStringLiteral("\"%1\"").arg(QFileInfo(path).fileName());
}

QString jsonString(const QString& text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

void printJson(const Form& form)
{
    const auto& controls = FormControls::all();
    QStringList values;
    QStringList enabled;
    for (const FormControl& c : controls) {
        if (c.isEditing()) {
            const QString value = c.kind == ControlKind::Check ? c.value(form) : jsonString(c.value(form));
            values << QStringLiteral("  %1: %2").arg(jsonString(c.name), value);
        }
        enabled << QStringLiteral("    %1: %2")
                       .arg(jsonString(c.name), c.enabled(form) ? QStringLiteral("true") : QStringLiteral("false"));
    }
    out() << "{\n"
          << values.join(QStringLiteral(",\n")) << ",\n  \"enabled\": {\n"
          << enabled.join(QStringLiteral(",\n")) << "\n  }\n}\n";
}

} // namespace

bool reportFile(const DataFile::LoadResult& loaded, const QString& path)
{
    if (loaded.ok())
        return true;
    if (loaded.error == DataFile::Error::MissingMarker)
        err() << "vireo: " << fileName(path) << ": " << loaded.message << "\n";
    else
        err() << "vireo: " << loaded.message << "\n";
    err().flush();
    return false;
}

std::optional<EditorSession> openLikeTheWindow(const QString& path, int product)
{
    EditorSession w = EditorSession::startUp(product);
    if (!reportFile(w.open(path), path))
        return std::nullopt;
    return w;
}

int dump(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows every editing control of the programmer's window after it has opened FILE with the "
                       "given product chosen: values, list selections, check boxes and which controls are greyed."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A board data file (*.tv2)."));
    parser.addOption(productArgument(QStringLiteral("The product %1 of the Product menu.")));
    parser.addOption({QStringLiteral("json"), QStringLiteral("One JSON object keyed by control name.")});
    int status = kInvalid;
    const std::optional<int> product = parseFileCommand(parser, {QStringLiteral("dump"), kDumpUsage, 1}, args, &status);
    if (!product)
        return status;
    const std::optional<EditorSession> w = openLikeTheWindow(parser.positionalArguments().front(), *product);
    if (!w)
        return kInvalid;
    if (parser.isSet(QStringLiteral("json")))
        printJson(w->form);
    else
        out() << "Product: " << w->form.lblProduct.caption << "\n" << FormSheet::text(w->form);
    out().flush();
    return kOk;
}

int diff(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Opens A and B as the programmer's window does with product N and lists every setting whose control "
        "shows something else, by caption and row in the order of the window, A's value beside B's. Words that "
        "no control shows (0, 24, 41, 179, 250, ...) follow as \"word N\" with both words.\n"
        "Exit status: 0 no difference, 1 some differ, 2 wrong usage or a file that is not a board data file."));
    parser.addPositionalArgument(QStringLiteral("A"), QStringLiteral("A board data file (*.tv2)."));
    parser.addPositionalArgument(QStringLiteral("B"), QStringLiteral("Another board data file."));
    parser.addOption(productArgument(QStringLiteral("The product %1 both files are shown with.")));
    int status = kInvalid;
    const std::optional<int> product = parseFileCommand(parser, {QStringLiteral("diff"), kDiffUsage, 2}, args, &status);
    if (!product)
        return status;
    const QStringList files = parser.positionalArguments();
    // Each file as "Open..." takes it into a window that has opened nothing yet.
    const EditorSession window;
    BoardImage a;
    BoardImage b;
    if (!reportFile(window.openCopy(files[0], a), files[0]) || !reportFile(window.openCopy(files[1], b), files[1]))
        return kInvalid;

    const std::vector<Compare::Difference> diffs = Compare::differences(a, b, *product, MemoryMap::kLastFileWord);
    if (diffs.empty()) {
        out() << "No settings differ.\n";
        out().flush();
        return kOk;
    }
    // Side by side: columns as wide as their longest entry.
    const auto shown = [](const QString& t) { return t.isEmpty() ? QStringLiteral("(blank)") : t; };
    const QString setting = QStringLiteral("Setting");
    const QString nameA = QFileInfo(files[0]).fileName();
    qsizetype settingWidth = setting.size();
    qsizetype widthA = nameA.size();
    for (const Compare::Difference& d : diffs) {
        settingWidth = std::max(settingWidth, d.setting.size());
        widthA = std::max(widthA, shown(d.textA).size());
    }
    const auto row = [&](const QString& s, const QString& x, const QString& y) {
        out() << (s.leftJustified(settingWidth + 2) + x.leftJustified(widthA + 2) + y).trimmed() << "\n";
    };
    row(setting, nameA, QFileInfo(files[1]).fileName());
    for (const Compare::Difference& d : diffs)
        row(d.setting, shown(d.textA), shown(d.textB));
    out() << diffs.size() << (diffs.size() == 1 ? " setting differs.\n" : " settings differ.\n");
    out().flush();
    return kFailed;
}

namespace {

// A --set names a control and the value entered into it.
struct SetEntry {
    const FormControl* control;
    QString value;
};

// Every --set names a control before anything is opened, so a typing error costs nothing.
std::optional<std::vector<SetEntry>> parseSets(const QStringList& sets)
{
    std::vector<SetEntry> entries;
    for (const QString& set : sets) {
        const qsizetype eq = set.indexOf(QLatin1Char('='));
        const FormControl* control = eq > 0 ? FormControls::find(set.left(eq)) : nullptr;
        if (!control) {
            err() << "vireo convert: --set \"" << set << "\": "
                  << (eq > 0 ? QStringLiteral("no control is named \"%1\"").arg(set.left(eq))
                             : QStringLiteral("expected NAME=VALUE"))
                  << "\n";
            return std::nullopt;
        }
        entries.push_back({control, set.mid(eq + 1)});
    }
    return entries;
}

} // namespace

int convert(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Opens IN as the programmer's window does with product N, applies each --set as a user would "
                       "(typing into a box and leaving it, picking a list item, setting a check box to 0 or 1; greyed "
                       "controls refuse), chooses product M from the Product menu if --to is given, and saves OUT as "
                       "\"Save As...\" does. Nothing is written when anything is refused."));
    parser.addPositionalArgument(QStringLiteral("IN"), QStringLiteral("The board data file to read."));
    parser.addPositionalArgument(QStringLiteral("OUT"), QStringLiteral("The board data file to write."));
    parser.addOption(productArgument(QStringLiteral("The product %1 that IN is opened with.")));
    parser.addOption({QStringLiteral("to"),
                      QStringLiteral("The product %1 to choose before saving.").arg(productNumbers()),
                      QStringLiteral("M")});
    parser.addOption({QStringLiteral("set"),
                      QStringLiteral("Enter VALUE into the control NAME (as vireo dump --json names them); "
                                     "repeatable, applied in order."),
                      QStringLiteral("NAME=VALUE")});
    int status = kInvalid;
    const std::optional<int> product = parseFileCommand(parser, {QStringLiteral("convert"), kConvertUsage, 2}, args,
                                                        &status);
    if (!product)
        return status;
    const QStringList files = parser.positionalArguments();
    std::optional<int> target;
    if (parser.isSet(QStringLiteral("to"))) {
        target = productOption(parser.value(QStringLiteral("to")), "--to");
        if (!target)
            return kInvalid;
    }
    const std::optional<std::vector<SetEntry>> entries = parseSets(parser.values(QStringLiteral("set")));
    if (!entries)
        return kInvalid;

    std::optional<EditorSession> w = openLikeTheWindow(files[0], *product);
    if (!w)
        return kInvalid;
    for (const SetEntry& e : *entries) {
        const FormControls::EntryResult r = FormControls::enter(w->form, *e.control, e.value);
        if (!r.ok) {
            err() << "vireo convert: refused: " << r.message << "; nothing was written\n";
            return kFailed;
        }
    }
    if (target)
        Editor::mnuProduct_Click(w->form, *target);

    return saveLikeTheWindow(*w, files[1], QStringLiteral("convert"));
}

int saveLikeTheWindow(EditorSession& session, const QString& path, const QString& command)
{
    const EditorSession::SaveCheck check = session.checkSave();
    if (check.invalidImage) {
        err() << "vireo " << command << ": " << DataFile::kInvalidFileMessage << "\n";
        return kInvalid;
    }
    if (!check.entries.isEmpty()) {
        err() << "vireo " << command << ": these entries cannot be written, nothing was written:\n";
        for (const QString& p : check.entries)
            err() << "  " << p << "\n";
        return kFailed;
    }
    const DataFile::SaveResult saved = session.save(path);
    if (!saved.ok()) {
        err() << "vireo " << command << ": " << saved.message << "\n";
        return kFailed;
    }
    return kOk;
}

} // namespace Cli
