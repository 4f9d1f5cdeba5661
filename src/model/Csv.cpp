#include "Csv.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace Csv {

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

QString lineError(int line, const QString& what)
{
    return QStringLiteral("line %1: %2").arg(line).arg(what);
}

// The first line that is not UTF-8, for a file saved in a code page.
int firstLineNotUtf8(const QByteArray& bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype k = 0; k < lines.size(); ++k) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString decoded = decoder.decode(lines[k]); // decoded when converted
        if (decoder.hasError())
            return static_cast<int>(k + 1);
    }
    return 1;
}

// The separator is the one the header line uses most; a comma when it uses neither.
QChar separatorOf(const QString& text)
{
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && isLineEnd(c) && commas + semicolons > 0)
            break;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolons;
    }
    return semicolons > commas ? QLatin1Char(';') : QLatin1Char(',');
}

class Parser {
public:
    Parser(const QString& text, QChar separator) : text_(text), sep_(separator) {}

    // Reads the records into `table`; the error, if any.
    QString run(Table& table)
    {
        while (i_ < text_.size()) {
            Row row;
            row.line = line_;
            if (const QString error = record(row.fields); !error.isEmpty())
                return error;
            const bool blank = row.fields.size() == 1 && row.fields[0].isEmpty();
            if (blank)
                continue;
            if (table.headerLine == 0) {
                table.header = row.fields;
                table.headerLine = row.line;
            } else {
                table.rows.push_back(std::move(row));
            }
        }
        return {};
    }

private:
    QChar at(qsizetype k) const { return k < text_.size() ? text_[k] : QChar(); }

    void endOfLine()
    {
        if (text_[i_] == QLatin1Char('\r') && at(i_ + 1) == QLatin1Char('\n'))
            ++i_;
        ++i_;
        ++line_;
    }

    QString record(QStringList& fields)
    {
        for (;;) {
            QString field;
            if (at(i_) == QLatin1Char('"')) {
                if (const QString error = quotedField(field); !error.isEmpty())
                    return error;
            } else {
                while (i_ < text_.size() && text_[i_] != sep_ && !isLineEnd(text_[i_]))
                    field += text_[i_++];
            }
            fields << field;
            if (i_ >= text_.size())
                return {};
            if (isLineEnd(text_[i_])) {
                endOfLine();
                return {};
            }
            ++i_; // the separator
        }
    }

    QString quotedField(QString& field)
    {
        const int start = line_;
        ++i_;
        for (;;) {
            if (i_ >= text_.size())
                return lineError(start, QStringLiteral("a quoted field is not closed"));
            const QChar c = text_[i_];
            if (c == QLatin1Char('"')) {
                if (at(i_ + 1) != QLatin1Char('"'))
                    break;
                field += c;
                i_ += 2;
                continue;
            }
            if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && at(i_ + 1) != QLatin1Char('\n')))
                ++line_;
            field += c;
            ++i_;
        }
        ++i_; // the closing quote
        if (i_ < text_.size() && text_[i_] != sep_ && !isLineEnd(text_[i_]))
            return lineError(line_, QStringLiteral("text follows the closing quote of a field"));
        return {};
    }

    const QString& text_;
    const QChar sep_;
    qsizetype i_ = 0;
    int line_ = 1;
};

bool needsQuotes(const QString& field)
{
    for (QChar c : field) {
        if (c == QLatin1Char(',') || c == QLatin1Char(';') || c == QLatin1Char('"') || isLineEnd(c))
            return true;
    }
    return !field.isEmpty() && (field.front().isSpace() || field.back().isSpace());
}

} // namespace

int Table::column(const QString& name) const
{
    const QString wanted = name.trimmed();
    for (qsizetype k = 0; k < header.size(); ++k) {
        if (header[k].trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return static_cast<int>(k);
    }
    return -1;
}

QString Table::field(const Row& row, int column)
{
    return column >= 0 && column < row.fields.size() ? row.fields[column] : QString();
}

ReadResult parse(const QByteArray& bytes)
{
    if (bytes.size() > kMaxBytes)
        return {QStringLiteral("the file is too large for a table (over %1 KB)").arg(kMaxBytes / 1024), {}, true};
    const QByteArray body = bytes.startsWith(kBom) ? bytes.mid(kBom.size()) : bytes;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(body);
    if (decoder.hasError())
        return {lineError(firstLineNotUtf8(body),
                          QStringLiteral("the text is not UTF-8 (save the file as \"CSV UTF-8\")")),
                {}};
    ReadResult result;
    result.table.separator = separatorOf(text);
    result.error = Parser(text, result.table.separator).run(result.table);
    if (result.ok() && result.table.headerLine == 0)
        result.error = QStringLiteral("the file is empty: it has no header line");
    return result;
}

ReadResult read(const QString& path)
{
    const QString name = QStringLiteral("\"%1\"").arg(QFileInfo(path).fileName());
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return {QStringLiteral("the file %1 does not exist").arg(name), {}, true};
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("the file %1 cannot be opened: %2").arg(name, file.errorString()), {}, true};
    const QByteArray bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return {QStringLiteral("the file %1 could not be read: %2").arg(name, file.errorString()), {}, true};
    return parse(bytes);
}

QByteArray format(const std::vector<QStringList>& records)
{
    QString out;
    for (const QStringList& record : records) {
        QStringList fields;
        for (QString f : record) {
            if (needsQuotes(f))
                f = QLatin1Char('"') + f.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
            fields << f;
        }
        out += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

} // namespace Csv
