#include "SettingsFile.h"

#include "SafeSave.h"
#include "SequentialInput.h"

#include <QDir>
#include <QFile>

#include <limits>

namespace SettingsFile {

namespace {

constexpr qint64 kMaxBytes = 64 * 1024;

// A 16-bit integer read as the old input convention reads one: an optional sign
// and the digits that follow; no digits reads 0; a number that does not fit fails.
std::optional<qint16> toInt16(const QString& text)
{
    QString digits;
    int i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
        digits += text[i++];
    if (digits.isEmpty())
        return qint16(0);
    bool ok = false;
    const qlonglong value = digits.left(12).toLongLong(&ok) * (negative ? -1 : 1);
    if (!ok || digits.size() > 12 || value < std::numeric_limits<qint16>::min()
        || value > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<qint16>(value);
}

} // namespace

QString path(const QString& dir)
{
    const QDir d(dir);
    for (const QString& exact : {kReadName, kCreateName}) {
        if (QFile::exists(d.filePath(exact)))
            return d.filePath(exact);
    }
    const QStringList matches = d.entryList({kReadName}, QDir::Files | QDir::Readable | QDir::Hidden,
                                            QDir::Name | QDir::IgnoreCase);
    for (const QString& name : matches) {
        if (name.compare(kReadName, Qt::CaseInsensitive) == 0)
            return d.filePath(name);
    }
    return d.filePath(kCreateName);
}

Settings parse(const QByteArray& bytes)
{
    Settings s;
    s.found = true;
    const SequentialInput::Values values = SequentialInput::parse(bytes.left(kMaxBytes), 2);
    if (!values.values.isEmpty())
        s.port = toInt16(values.values[0]);
    if (values.values.size() >= 2)
        s.product = values.values[1];
    return s;
}

Settings read(const QString& dir)
{
    QFile file(path(dir));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(kMaxBytes);
    if (file.error() != QFileDevice::NoError)
        return {};
    return parse(bytes);
}

WriteResult write(const QString& dir, std::optional<int> port, std::optional<int> product)
{
    QByteArray bytes;
    if (port)
        bytes += QByteArray::number(*port);
    bytes += "\r\n";
    if (product)
        bytes += QByteArray::number(*product);
    bytes += "\r\n";

    const QString target = path(dir);
    const QString reason = SafeSave::write(target, bytes);
    if (!reason.isEmpty()) {
        return {false, QStringLiteral("The settings file \"%1\" could not be written: %2.")
                           .arg(QDir(dir).relativeFilePath(target), reason)};
    }
    return {};
}

} // namespace SettingsFile
