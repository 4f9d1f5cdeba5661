#include "AlincoDialogue.h"

#include "BoardPing.h"
#include "CountedDialogue.h"
#include "Primitives.h"

using namespace CountedDialogue;

namespace {

constexpr int kAnswerMillis = 250;
constexpr qint64 kReplyLength = 6;
constexpr qint64 kWordAnswerLength = 2;

bool anyAnswer(const QByteArray& answer)
{
    return !answer.isEmpty();
}

} // namespace

PingRules alincoPingRules(const QString& accessCode)
{
    return {wakeUp(),  line(wordBytes(accessCode)), kAnswerMillis, kAnswerMillis, anyAnswer,
            anyAnswer, "has at least one byte",     true};
}

PingResult Ping_Alinco(LinkContext& ctx, const QString& accessCode)
{
    return pingBoard(ctx, alincoPingRules(accessCode));
}

TransferResult ReadAlinco(LinkContext& ctx, BoardImage& image, int N)
{
    // 1, 2. Drop stale bytes and ask for the words.
    if (const LinkStatus sent = startTransfer(ctx, "02"); !sent.ok())
        return TransferResult::stoppedBy(sent, 0);
    // 3. Word 0 arrives like every other word.
    return readWordReplies(ctx, image, 0, N, kReplyLength);
}

TransferResult WriteAlinco(LinkContext& ctx, const BoardImage& image, int N)
{
    // 1, 2. Drop stale bytes and announce the words; no answer is awaited; what
    // the board says to the command counts towards word 0's answer.
    if (const LinkStatus sent = startTransfer(ctx, "03"); !sent.ok())
        return TransferResult::stoppedBy(sent, 0);
    // 3. Each word, answered before the next.
    return writeWords(ctx, image, N, kWordAnswerLength);
}
