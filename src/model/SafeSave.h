#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file's contents whole or not at all: the bytes go to a temporary file
// beside it, which takes the file's place only when every byte was written.
// Returns an empty string on success, else the reason.
namespace SafeSave {

QString write(const QString& path, const QByteArray& bytes);

} // namespace SafeSave
