#include "DataFile.h"

#include "MemoryMap.h"
#include "SafeSave.h"
#include "SequentialInput.h"
#include "WordCodecs.h"

#include <QFile>
#include <QFileInfo>

namespace DataFile {

namespace {

QString quoted(const QString& path)
{
    return QStringLiteral("\"%1\"").arg(QFileInfo(path).fileName());
}

ReadResult failure(Error error, QString message)
{
    return {error, std::move(message), {}};
}

} // namespace

ReadResult parse(const QByteArray& bytes)
{
    if (bytes.size() > kMaxBytes)
        return failure(Error::TooLarge, QStringLiteral("The file is too large to be a board data file."));
    SequentialInput::Values parsed = SequentialInput::parse(bytes, kMaxValues);
    if (parsed.truncated)
        return failure(
            Error::TooManyValues,
            QStringLiteral("The file holds more than %1 values; a board data file holds at most %1.").arg(kMaxValues));
    return {Error::None, {}, std::move(parsed.values)};
}

ReadResult read(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return failure(Error::NotFound, QStringLiteral("The file %1 does not exist.").arg(quoted(path)));
    if (!info.isFile())
        return failure(Error::NotAFile, QStringLiteral("%1 is not a file.").arg(quoted(path)));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(Error::CannotOpen,
                       QStringLiteral("The file %1 cannot be opened: %2.").arg(quoted(path), file.errorString()));
    // Read one byte past the limit, so that an over-long file is recognised without reading all of it.
    const QByteArray bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(Error::ReadFailed,
                       QStringLiteral("The file %1 could not be read: %2.").arg(quoted(path), file.errorString()));
    ReadResult result = parse(bytes);
    if (!result.ok())
        result.message = QStringLiteral("%1: %2").arg(quoted(path), result.message);
    return result;
}

LoadResult apply(const ReadResult& read, BoardImage& image, MarkerRule rule)
{
    if (!read.ok())
        return {read.error, read.message, 0};
    const int count = static_cast<int>(read.values.size());
    const QString& word0 = count > 0 ? read.values.front() : image.word(MemoryMap::kHeader);
    if (rule == MarkerRule::Required && !WordCodec::hasMarker(word0))
        return {Error::MissingMarker, kInvalidFileMessage, 0};
    for (int i = 0; i < count; ++i)
        image.setWord(i, read.values[i]);
    return {Error::None, {}, count};
}

LoadResult load(const QString& path, BoardImage& image, MarkerRule rule)
{
    return apply(read(path), image, rule);
}

QByteArray serialize(const BoardImage& image)
{
    QByteArray out;
    out.reserve((MemoryMap::kLastFileWord + 1) * 8);
    for (int i = 0; i <= MemoryMap::kLastFileWord; ++i) {
        out += '"';
        out += image.word(i).toLatin1();
        out += "\"\r\n";
    }
    return out;
}

SaveResult save(const QString& path, const BoardImage& image)
{
    const QString reason = SafeSave::write(path, serialize(image));
    if (!reason.isEmpty())
        return {Error::WriteFailed, QStringLiteral("The file %1 could not be saved: %2.").arg(quoted(path), reason)};
    return {};
}

} // namespace DataFile
