#pragma once

#include <QString>

#include <optional>

// Config.ini in the working directory: line 1 the serial port (1..4 for COM1..COM4),
// line 2 the product index, each line ended by CR LF. The name is matched without
// regard to case, so "Config.ini" and "CONFIG.ini" are one file; a new file is
// created as "CONFIG.ini".
namespace SettingsFile {

inline const QString kReadName = QStringLiteral("Config.ini");
inline const QString kCreateName = QStringLiteral("CONFIG.ini");

struct Settings {
    bool found = false;             // a settings file was read
    std::optional<qint16> port;     // line 1 as a 16-bit integer (an empty line reads 0)
    std::optional<QString> product; // line 2 as read, passed on unconverted
};

// The file to use in `dir`: an existing one whatever the case of its name, else
// `dir`/CONFIG.ini.
QString path(const QString& dir);

Settings parse(const QByteArray& bytes);
Settings read(const QString& dir);

struct WriteResult {
    bool ok = true;
    QString message;
};

// An empty optional writes an empty line, as when no menu item is ticked.
WriteResult write(const QString& dir, std::optional<int> port, std::optional<int> product);

} // namespace SettingsFile
