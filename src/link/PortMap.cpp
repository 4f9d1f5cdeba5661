#include "PortMap.h"

#include <QRegularExpression>

std::optional<int> PortMap::comNumber(const QString& portName)
{
    static const QRegularExpression comPort(QStringLiteral("^COM([1-4]):?$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = comPort.match(portName.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toInt();
}

void PortMap::choose(int com, const QString& device)
{
    if (com >= 1 && com <= kPorts)
        chosen_[static_cast<std::size_t>(com)] = device;
}

void PortMap::remember(int com, const QString& device)
{
    if (com >= 1 && com <= kPorts)
        remembered_[static_cast<std::size_t>(com)] = device;
}

QString PortMap::devicePathFor(const QString& portName) const
{
    const std::optional<int> com = comNumber(portName);
    if (!com)
        return portName;
    const auto n = static_cast<std::size_t>(*com);
    if (!chosen_[n].isEmpty())
        return chosen_[n];
    const QByteArray variable = QByteArray("VIREO_COM") + QByteArray::number(*com);
    // A device the environment names, even as nothing, stands before a remembered one.
    if (!qEnvironmentVariableIsSet(variable.constData()) && !remembered_[n].isEmpty())
        return remembered_[n];
    const QByteArray given = qgetenv(variable.constData());
    if (!given.isEmpty())
        return QString::fromLocal8Bit(given);
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
}
