// Hostile Config.ini contents: the reader takes at most two values and never fails loudly.
#include "SettingsFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const SettingsFile::Settings s = SettingsFile::parse(bytes);
    if (!s.found)
        std::abort();
    if (s.product && s.product->contains(QLatin1Char('\n')) && !bytes.contains('"'))
        std::abort(); // an unquoted value ends at the line end
    return 0;
}
