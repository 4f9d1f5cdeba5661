#include "SequentialInput.h"

namespace SequentialInput {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

} // namespace

Values parse(const QByteArray& bytes, int maxValues)
{
    Values out;
    const qsizetype n = bytes.size();
    qsizetype pos = 0;
    if (n == 0)
        return out;

    for (;;) {
        while (pos < n && isBlank(bytes[pos]))
            ++pos;

        QByteArray value;
        if (pos < n && bytes[pos] == '"') {
            const qsizetype close = bytes.indexOf('"', pos + 1);
            const qsizetype end = close < 0 ? n : close;
            value = bytes.mid(pos + 1, end - pos - 1);
            pos = close < 0 ? n : close + 1;
            // Whatever stands between the closing quote and the separator is dropped.
            while (pos < n && bytes[pos] != ',' && !isLineEnd(bytes[pos]))
                ++pos;
        } else {
            const qsizetype start = pos;
            while (pos < n && bytes[pos] != ',' && !isLineEnd(bytes[pos]))
                ++pos;
            value = bytes.mid(start, pos - start);
            qsizetype len = value.size();
            while (len > 0 && isBlank(value[len - 1]))
                --len;
            value.truncate(len);
        }

        if (out.values.size() == maxValues) {
            out.truncated = true;
            return out;
        }
        out.values << QString::fromLatin1(value);

        if (pos >= n)
            return out;
        if (bytes[pos] == ',') {
            ++pos; // a comma always introduces another value, even at the end
            continue;
        }
        // Line end: CR LF counts once.
        if (bytes[pos] == '\r' && pos + 1 < n && bytes[pos + 1] == '\n')
            ++pos;
        ++pos;
        if (pos >= n)
            return out;
    }
}

} // namespace SequentialInput
