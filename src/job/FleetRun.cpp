#include "FleetRun.h"

#include "Editor.h"

#include <QDateTime>

namespace {

QString csvField(QString text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString fourDigits(const Form& form)
{
    return Editor::applyDisplayFormat(form.PrimaryCode.text, Editor::DisplayFormat::FourDigits);
}

} // namespace

QString FleetLog::open(const QString& path)
{
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return QStringLiteral("cannot write the log \"%1\": %2").arg(path, file_.errorString());
    if (file_.size() == 0)
        return writeLine(QStringLiteral("time,primary_code,outcome"));
    return {};
}

QString FleetLog::add(const QString& primaryCode, const QString& outcome)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString time = now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate);
    return writeLine(QStringLiteral("%1,%2,%3").arg(time, primaryCode, csvField(outcome)));
}

QString FleetLog::writeLine(const QString& line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    if (file_.write(bytes) != bytes.size() || !file_.flush())
        return QStringLiteral("the log \"%1\" cannot be written: %2").arg(file_.fileName(), file_.errorString());
    return {};
}

QString FleetRun::nextCode() const
{
    return fourDigits(session_.form);
}

void FleetRun::programmed()
{
    const QString code = nextCode();
    ++count_;
    if (firstCode_.isEmpty())
        firstCode_ = code;
    lastCode_ = code;
}

bool FleetRun::advance()
{
    if (Editor::incrementPrimaryCode(session_.form) == Editor::IncrementResult::AtLimit)
        return false;
    session_.form.PrimaryCode.text = fourDigits(session_.form);
    return true;
}
