#include "BoardFaults.h"

namespace {

enum class Word { None, Needed, Optional }; // "name:K", K a word index

struct Switch {
    const char* name;
    Word word;
    const char* help;
    void (*set)(BoardFaults& f, std::optional<int> word);
};

constexpr Switch kSwitches[] = {
    {"silent", Word::None, "the board answers nothing", [](BoardFaults& f, auto) { f.silent = true; }},
    {"late", Word::None, "every answer starts 400 ms late, after the programmer has stopped looking",
     [](BoardFaults& f, auto) { f.late = true; }},
    {"wrongcode", Word::None, "every access code is refused", [](BoardFaults& f, auto) { f.wrongCode = true; }},
    {"garbage", Word::None, "every answer is random bytes (of the usual length)",
     [](BoardFaults& f, auto) { f.garbage = true; }},
    {"wrongack", Word::None, "write acknowledgements are short (Vertex, Alinco) or a different frame (Icom)",
     [](BoardFaults& f, auto) { f.wrongAck = true; }},
    {"stopat", Word::Needed, "stopat:K - the board stops answering after word K",
     [](BoardFaults& f, std::optional<int> k) { f.stopAt = k; }},
    {"unplug", Word::Needed, "unplug:K - the line is closed after word K",
     [](BoardFaults& f, std::optional<int> k) { f.unplugAt = k; }},
    {"splitreplies", Word::None, "every reply is sent in three pieces a few milliseconds apart",
     [](BoardFaults& f, auto) { f.splitReplies = true; }},
    {"mergedframes", Word::Optional, "mergedframes[:K] - two read replies in one piece, at word K or throughout",
     [](BoardFaults& f, std::optional<int> k) {
         f.merged = true;
         if (k)
             f.mergedAt = k;
     }},
    {"echo", Word::None, "every message from the programmer is echoed before the answer",
     [](BoardFaults& f, auto) { f.echo = true; }},
};

} // namespace

std::optional<QString> BoardFaults::add(const QString& text)
{
    const QString name = text.section(QLatin1Char(':'), 0, 0).trimmed().toLower();
    const bool hasWord = text.contains(QLatin1Char(':'));
    bool ok = true;
    const int word = hasWord ? text.section(QLatin1Char(':'), 1).trimmed().toInt(&ok) : -1;
    if (hasWord && (!ok || word < 0 || word > 300))
        return QStringLiteral("fault \"%1\": the word must be a number 0..300").arg(text);

    const Switch* found = nullptr;
    for (const Switch& s : kSwitches) {
        if (name == QLatin1String(s.name))
            found = &s;
    }
    if (!found)
        return QStringLiteral("unknown fault \"%1\"").arg(text);
    if (hasWord && found->word == Word::None)
        return QStringLiteral("fault \"%1\" takes no word").arg(name);
    if (!hasWord && found->word == Word::Needed)
        return QStringLiteral("fault \"%1\" needs a word: %1:K").arg(name);
    found->set(*this, hasWord ? std::optional<int>(word) : std::nullopt);
    return std::nullopt;
}

QStringList BoardFaults::descriptions()
{
    QStringList lines;
    for (const Switch& s : kSwitches)
        lines << QStringLiteral("  %1  %2").arg(QLatin1String(s.name), -13).arg(QLatin1String(s.help));
    return lines;
}
