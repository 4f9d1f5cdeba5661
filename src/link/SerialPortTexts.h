#pragma once

#include "PortMap.h"

#include <QString>

// What the system serial ports say after the port's name, on every system.
namespace SerialPortTexts {

inline const QString kNotOpen = QStringLiteral(
    ": the port is not open; choose it again in the Serial Port menu, or start a read or write, which opens it");
inline const QString kDisconnected = QStringLiteral(": the adapter or cable was disconnected");
inline const QString kSettingsRefused = QStringLiteral(": the port refused the product's line settings");
inline const QString kTakesNoMore = QStringLiteral(": the line takes no more bytes");

// A port the program calls COMn but reaches through another device shows both.
inline QString portAndDevice(const QString& name, const QString& device)
{
    return PortMap::comNumber(name) && name != device ? QStringLiteral("%1 (%2)").arg(name, device) : device;
}

// A USB adapter unplugged, or given another name by the system when it came back.
inline QString notThere(const QString& portAndDevice)
{
    return portAndDevice + QStringLiteral(" is not there: the adapter is unplugged or was renamed");
}

} // namespace SerialPortTexts
