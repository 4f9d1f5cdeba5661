#pragma once

#include <QString>

// What the system serial ports say after the port's name, on every system.
namespace SerialPortTexts {

inline const QString kNotOpen = QStringLiteral(
    ": the port is not open; choose it again in the Serial Port menu, or start a read or write, which opens it");
inline const QString kDisconnected = QStringLiteral(": the adapter or cable was disconnected");
inline const QString kSettingsRefused = QStringLiteral(": the port refused the product's line settings");
inline const QString kTakesNoMore = QStringLiteral(": the line takes no more bytes");

} // namespace SerialPortTexts
