#pragma once

#include "BoardImage.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Board data files (*.tv2): one quoted word per line, words 0..250, CR LF.
// A file is read and checked completely before it touches the image, and is
// saved through a temporary file, so a failure never costs the old contents.
namespace DataFile {

constexpr int kMaxValues = BoardImage::kWordCount; // a 302nd value is refused
constexpr qint64 kMaxBytes = 1 << 20;              // a real file is about 2 KB

inline const QString kInvalidFileMessage = QStringLiteral("Invalid Tervalo File");

enum class Error {
    None,
    NotFound,
    NotAFile,
    CannotOpen,
    ReadFailed,
    TooLarge,
    TooManyValues,
    MissingMarker,
    WriteFailed,
};

struct ReadResult {
    Error error = Error::None;
    QString message; // for the user; empty when all went well
    QStringList values;
    bool ok() const { return error == Error::None; }
};

ReadResult parse(const QByteArray& bytes);
ReadResult read(const QString& path);

enum class MarkerRule { Required, NotChecked };

struct LoadResult {
    Error error = Error::None;
    QString message;
    int count = 0; // words replaced
    bool ok() const { return error == Error::None; }
};

// Replaces words 0..count-1 and leaves the rest; on any failure the image is untouched.
// With MarkerRule::Required the image's word 0, as it would stand after the load,
// must end in "E5" (an empty file leaves it as it was).
LoadResult apply(const ReadResult& read, BoardImage& image, MarkerRule rule);
LoadResult load(const QString& path, BoardImage& image, MarkerRule rule);

// Words 0..250 as the file holds them: 251 lines of quote, word, quote, CR LF.
QByteArray serialize(const BoardImage& image);

struct SaveResult {
    Error error = Error::None;
    QString message;
    bool ok() const { return error == Error::None; }
};

// The previous file survives a failed save.
SaveResult save(const QString& path, const BoardImage& image);

} // namespace DataFile
