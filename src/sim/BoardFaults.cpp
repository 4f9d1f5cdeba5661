#include "BoardFaults.h"

namespace {

struct Switch {
    const char* name;
    bool takesWord; // "name:K" (K a word index); optional for mergedframes
    const char* help;
};

constexpr Switch kSwitches[] = {
    {"silent", false, "the board answers nothing"},
    {"late", false, "every answer starts 400 ms late, after the programmer has stopped looking"},
    {"wrongcode", false, "every access code is refused"},
    {"garbage", false, "every answer is random bytes (of the usual length)"},
    {"wrongack", false, "write acknowledgements are short (Vertex, Alinco) or a different frame (Icom)"},
    {"stopat", true, "stopat:K - the board stops answering after word K"},
    {"unplug", true, "unplug:K - the line is closed after word K"},
    {"splitreplies", false, "every reply is sent in three pieces a few milliseconds apart"},
    {"mergedframes", true, "mergedframes[:K] - two read replies in one piece, at word K or throughout"},
    {"echo", false, "every message from the programmer is echoed before the answer"},
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
    const bool wordOptional = name == QLatin1String("mergedframes");
    if (hasWord && !found->takesWord)
        return QStringLiteral("fault \"%1\" takes no word").arg(name);
    if (!hasWord && found->takesWord && !wordOptional)
        return QStringLiteral("fault \"%1\" needs a word: %1:K").arg(name);

    if (name == QLatin1String("silent"))
        silent = true;
    else if (name == QLatin1String("late"))
        late = true;
    else if (name == QLatin1String("wrongcode"))
        wrongCode = true;
    else if (name == QLatin1String("garbage"))
        garbage = true;
    else if (name == QLatin1String("wrongack"))
        wrongAck = true;
    else if (name == QLatin1String("stopat"))
        stopAt = word;
    else if (name == QLatin1String("unplug"))
        unplugAt = word;
    else if (name == QLatin1String("splitreplies"))
        splitReplies = true;
    else if (name == QLatin1String("echo"))
        echo = true;
    else if (name == QLatin1String("mergedframes")) {
        merged = true;
        if (hasWord)
            mergedAt = word;
    }
    return std::nullopt;
}

QStringList BoardFaults::descriptions()
{
    QStringList lines;
    for (const Switch& s : kSwitches)
        lines << QStringLiteral("  %1  %2").arg(QLatin1String(s.name), -13).arg(QLatin1String(s.help));
    return lines;
}
