// Plays hostile board data files against the reader: nothing may crash, hang or
// grow without bound, a refused file never touches the image, and whatever the
// reader accepts is written back and read again unchanged.
#include "DataFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const DataFile::ReadResult read = DataFile::parse(bytes);

    BoardImage image;
    image.setWord(0, QStringLiteral("00E5"));
    const BoardImage before = image;
    const DataFile::LoadResult load = DataFile::apply(read, image, DataFile::MarkerRule::Required);
    if (!load.ok() && !(image == before))
        std::abort();
    if (!read.ok())
        return 0;
    if (read.values.size() > DataFile::kMaxValues)
        std::abort();

    bool plain = true;
    for (const QString& v : read.values)
        plain = plain && !v.contains(QLatin1Char('"')) && !v.contains(QLatin1Char('\r'))
                && !v.contains(QLatin1Char('\n'));
    if (!plain)
        return 0;
    BoardImage full;
    DataFile::apply(read, full, DataFile::MarkerRule::NotChecked);
    const DataFile::ReadResult again = DataFile::parse(DataFile::serialize(full));
    if (!again.ok() || again.values.size() != 251)
        std::abort();
    for (int i = 0; i < 251 && i < read.values.size(); ++i) {
        if (again.values[i] != read.values[i])
            std::abort();
    }
    return 0;
}
