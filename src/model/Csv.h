#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// Tables in comma-separated values as spreadsheets save them (RFC 4180): UTF-8
// with or without a byte-order mark, ',' or ';' as the separator (the header line
// decides), fields in double quotes holding separators, quotes ("") or line breaks,
// CR LF or LF line ends. Reading gives the header and the rows with the line each
// row starts on, so that a message can point at it; writing gives RFC 4180 with
// CR LF line ends.
namespace Csv {

struct Row {
    int line = 0; // 1-based line of the file the row starts on
    QStringList fields;
};

struct Table {
    QStringList header;
    int headerLine = 0;
    std::vector<Row> rows; // blank lines left out
    QChar separator = QLatin1Char(',');

    // The column whose header name is `name`, ignoring case and blanks around the
    // name; -1 when there is none.
    int column(const QString& name) const;
    // A row's field in `column`; empty when the row is shorter or the column is -1.
    static QString field(const Row& row, int column);
};

struct ReadResult {
    QString error; // for the user, with the line ("line 4: a quoted field is not closed"); empty when read
    Table table;
    bool notRead = false; // the file itself is missing, unreadable or too large (no line to name)
    bool ok() const { return error.isEmpty(); }
};

constexpr qint64 kMaxBytes = 1 << 20; // a list or a table of units is a few kilobytes

ReadResult parse(const QByteArray& bytes);
// Also says when the file is missing, unreadable or too large.
ReadResult read(const QString& path);

// One record a line, fields quoted where they hold a separator (',' or ';'), a
// quote, a line break or blanks at either end; UTF-8 without a byte-order mark.
QByteArray format(const std::vector<QStringList>& records);

} // namespace Csv
