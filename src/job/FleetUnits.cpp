#include "FleetUnits.h"

#include "Csv.h"
#include "Editor.h"
#include "FormControls.h"

#include <QFileInfo>
#include <QHash>

#include <optional>

namespace FleetUnits {

namespace {

const QString kUnit = QStringLiteral("Unit");

// The template copied and the row's values entered; a refused value names its column.
class RowEntry {
public:
    RowEntry(const Csv::Table& table, std::vector<const FormControl*> controls, QStringList& problems)
        : table_(table), controls_(std::move(controls)), problems_(problems)
    {
    }

    std::optional<Unit> build(const EditorSession& templ, const Csv::Row& row)
    {
        EditorSession radio = templ;
        bool entered = true;
        for (std::size_t c = 1; c < controls_.size(); ++c) {
            const QString value = Csv::Table::field(row, static_cast<int>(c));
            if (value.isEmpty())
                continue; // a blank cell keeps the template's value
            const FormControls::EntryResult r = FormControls::enter(radio.form, *controls_[c], value);
            if (!r.ok) {
                refuse(row, table_.header[static_cast<int>(c)], r.message);
                entered = false;
            }
        }
        if (!entered)
            return std::nullopt;
        const EditorSession::Outgoing out = radio.outgoing();
        for (const QString& why : out.entries + out.words)
            problems_ << QStringLiteral("line %1: %2").arg(row.line).arg(why);
        if (!out.ok())
            return std::nullopt;
        return Unit{row.line, Csv::Table::field(row, 0).trimmed(), fourDigits(radio.form), out.image};
    }

    void refuse(const Csv::Row& row, const QString& column, const QString& why)
    {
        problems_ << QStringLiteral("line %1, column %2: %3").arg(row.line).arg(column.trimmed(), why);
    }

private:
    const Csv::Table& table_;
    std::vector<const FormControl*> controls_; // [0]: the Unit column
    QStringList& problems_;
};

// The header names the radios' label first and controls after it.
std::optional<std::vector<const FormControl*>> controlsOf(const Csv::Table& table, QStringList& problems)
{
    if (table.header.value(0).trimmed().compare(kUnit, Qt::CaseInsensitive) != 0) {
        problems
            << QStringLiteral("line %1: the first column must be \"Unit\", the radio's label").arg(table.headerLine);
        return std::nullopt;
    }
    std::vector<const FormControl*> controls{nullptr};
    for (int c = 1; c < table.header.size(); ++c) {
        const QString name = table.header[c].trimmed();
        const FormControl* control = FormControls::find(name);
        if (!control || !control->isEditing())
            problems
                << QStringLiteral("line %1, column %2: no control is named \"%2\"").arg(table.headerLine).arg(name);
        controls.push_back(control);
    }
    if (!problems.isEmpty())
        return std::nullopt;
    return controls;
}

// Labels and primary codes each once in the table, and no code a radio of the log holds.
void checkUnique(Table& t, const std::vector<Programmed>& programmed, bool resume)
{
    QHash<QString, int> labels;
    QHash<QString, int> codes;
    std::vector<Unit> left;
    for (const Unit& u : t.units) {
        if (labels.contains(u.label))
            t.problems << QStringLiteral("line %1, column Unit: unit \"%2\" is already on line %3")
                              .arg(u.line)
                              .arg(u.label)
                              .arg(labels[u.label]);
        labels.insert(u.label, u.line);
        if (codes.contains(u.primaryCode))
            t.problems << QStringLiteral("line %1, column PrimaryCode: primary code %2 is already unit %3's")
                              .arg(u.line)
                              .arg(u.primaryCode, t.units[codes[u.primaryCode]].label);
        codes.insert(u.primaryCode, int(&u - t.units.data()));
        const auto done = std::find_if(programmed.begin(), programmed.end(),
                                       [&](const Programmed& p) { return p.unit == u.label; });
        if (resume && done != programmed.end()) {
            ++t.skipped;
            continue;
        }
        for (const Programmed& p : programmed)
            if (p.primaryCode == u.primaryCode && !(resume && p.unit == u.label))
                t.problems << QStringLiteral("line %1, column PrimaryCode: primary code %2 was already programmed "
                                             "into unit \"%3\" (line %4 of the log)")
                                  .arg(u.line)
                                  .arg(u.primaryCode, p.unit)
                                  .arg(p.line);
        left.push_back(u);
    }
    t.units = std::move(left);
}

} // namespace

namespace {

Table take(const EditorSession& templ, const Csv::ReadResult& csv, const std::vector<Programmed>& programmed,
           bool resume)
{
    Table t;
    if (!csv.ok()) {
        t.problems << csv.error;
        return t;
    }
    const std::optional<std::vector<const FormControl*>> controls = controlsOf(csv.table, t.problems);
    if (!controls)
        return t;
    RowEntry entry(csv.table, *controls, t.problems);
    for (const Csv::Row& row : csv.table.rows) {
        if (Csv::Table::field(row, 0).trimmed().isEmpty()) {
            entry.refuse(row, kUnit, QStringLiteral("the radio has no label"));
            continue;
        }
        if (std::optional<Unit> unit = entry.build(templ, row))
            t.units.push_back(std::move(*unit));
    }
    if (t.units.empty() && t.problems.isEmpty())
        t.problems << QStringLiteral("the table lists no radio");
    checkUnique(t, programmed, resume);
    return t;
}

} // namespace

Table parse(const EditorSession& templ, const QByteArray& bytes, const std::vector<Programmed>& programmed, bool resume)
{
    return take(templ, Csv::parse(bytes), programmed, resume);
}

Table read(const EditorSession& templ, const QString& path, const std::vector<Programmed>& programmed, bool resume)
{
    return take(templ, Csv::read(path), programmed, resume);
}

QString fourDigits(const Form& form)
{
    return Editor::applyDisplayFormat(form.PrimaryCode.text, Editor::DisplayFormat::FourDigits);
}

LogRecords programmedIn(const QString& logPath)
{
    LogRecords r;
    if (!QFileInfo::exists(logPath))
        return r;
    const Csv::ReadResult csv = Csv::read(logPath);
    if (!csv.ok()) {
        r.problem = QStringLiteral("the log \"%1\" cannot be read: %2").arg(logPath, csv.error);
        return r;
    }
    const int unit = csv.table.column(QStringLiteral("unit"));
    const int code = csv.table.column(QStringLiteral("primary_code"));
    const int outcome = csv.table.column(QStringLiteral("outcome"));
    for (const Csv::Row& row : csv.table.rows)
        if (Csv::Table::field(row, outcome).startsWith(QLatin1String("written")))
            r.programmed.push_back({Csv::Table::field(row, unit), Csv::Table::field(row, code), row.line});
    return r;
}

} // namespace FleetUnits
