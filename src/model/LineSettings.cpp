#include "LineSettings.h"

#include <QStringList>

namespace {

std::optional<LineSettings> fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return std::nullopt;
}

std::optional<LineSettings::Parity> parityFromLetter(const QString& letter)
{
    const QString p = letter.toLower();
    if (p == QLatin1String("n"))
        return LineSettings::Parity::None;
    if (p == QLatin1String("e"))
        return LineSettings::Parity::Even;
    if (p == QLatin1String("o"))
        return LineSettings::Parity::Odd;
    if (p == QLatin1String("m"))
        return LineSettings::Parity::Mark;
    if (p == QLatin1String("s"))
        return LineSettings::Parity::Space;
    return std::nullopt;
}

std::optional<LineSettings::StopBits> stopBitsFromText(const QString& text)
{
    if (text == QLatin1String("1"))
        return LineSettings::StopBits::One;
    if (text == QLatin1String("1.5"))
        return LineSettings::StopBits::OneAndHalf;
    if (text == QLatin1String("2"))
        return LineSettings::StopBits::Two;
    return std::nullopt;
}

QChar parityLetter(LineSettings::Parity parity)
{
    switch (parity) {
    case LineSettings::Parity::None: return QLatin1Char('n');
    case LineSettings::Parity::Even: return QLatin1Char('e');
    case LineSettings::Parity::Odd: return QLatin1Char('o');
    case LineSettings::Parity::Mark: return QLatin1Char('m');
    case LineSettings::Parity::Space: return QLatin1Char('s');
    }
    return QLatin1Char('?');
}

QString stopBitsText(LineSettings::StopBits stop)
{
    switch (stop) {
    case LineSettings::StopBits::One: return QStringLiteral("1");
    case LineSettings::StopBits::OneAndHalf: return QStringLiteral("1.5");
    case LineSettings::StopBits::Two: return QStringLiteral("2");
    }
    return QStringLiteral("?");
}

} // namespace

std::optional<LineSettings> LineSettings::parse(const QString& text, QString* error)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4)
        return fail(error,
                    QStringLiteral("line settings \"%1\" need four fields: baud,parity,data bits,stop bits").arg(text));

    LineSettings s;
    bool ok = false;
    s.baudRate = fields[0].trimmed().toInt(&ok);
    if (!ok || s.baudRate <= 0)
        return fail(error, QStringLiteral("line settings \"%1\": bad baud rate").arg(text));

    const auto parity = parityFromLetter(fields[1].trimmed());
    if (!parity)
        return fail(error, QStringLiteral("line settings \"%1\": parity must be n, e, o, m or s").arg(text));
    s.parity = *parity;

    s.dataBits = fields[2].trimmed().toInt(&ok);
    if (!ok || s.dataBits < 5 || s.dataBits > 8)
        return fail(error, QStringLiteral("line settings \"%1\": data bits must be 5 to 8").arg(text));

    const auto stop = stopBitsFromText(fields[3].trimmed());
    if (!stop)
        return fail(error, QStringLiteral("line settings \"%1\": stop bits must be 1, 1.5 or 2").arg(text));
    s.stopBits = *stop;
    return s;
}

QString LineSettings::text() const
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(baudRate)
        .arg(parityLetter(parity))
        .arg(dataBits)
        .arg(stopBitsText(stopBits));
}
