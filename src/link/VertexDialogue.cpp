#include "VertexDialogue.h"

#include "BoardPing.h"
#include "CountedDialogue.h"
#include "Primitives.h"

using namespace CountedDialogue;

namespace {

constexpr int kAnswerMillis = 250;
constexpr qint64 kFirstReplyLength = 9;
constexpr qint64 kReplyLength = 6;
constexpr qint64 kWriteCommandAnswerLength = 3;
constexpr qint64 kWordAnswerLength = 7;

bool wakeUpAccepted(const QByteArray& answer)
{
    return answer.startsWith('\xE5');
}

bool codeAccepted(const QByteArray& answer)
{
    return answer.endsWith(QByteArray("\x0A\x0D", 2)); // LF CR; CR LF is a refusal
}

} // namespace

PingRules vertexPingRules(const QString& accessCode)
{
    return {wakeUp(),         line(wordBytes(accessCode)),
            kAnswerMillis,    kAnswerMillis,
            wakeUpAccepted,   codeAccepted,
            "starts with E5", false};
}

PingResult Ping_Vertex(LinkContext& ctx, const QString& accessCode)
{
    return pingBoard(ctx, vertexPingRules(accessCode));
}

TransferResult ReadVertex(LinkContext& ctx, BoardImage& image, int N)
{
    // 1, 2. Drop stale bytes and ask for the words.
    if (const LinkStatus sent = startTransfer(ctx, "02"); !sent.ok())
        return TransferResult::stoppedBy(sent, 0);
    // 3. The first reply; a cancel here does not stop the read before word 0 is taken.
    if (const LinkStatus wait = waitForCount(ctx, kFirstReplyLength); !wait.ok() && !wait.cancelled())
        return TransferResult::stoppedBy(wait, 0);
    // 4. Word 0 is in bytes 4..7 of the first reply (whatever of them has arrived).
    image.setWord(0, wordText(takeReply(ctx, kFirstReplyLength).mid(3, 4)));
    // 5. The board sends the other words on its own, one reply each.
    return readWordReplies(ctx, image, 1, N, kReplyLength);
}

TransferResult WriteVertex(LinkContext& ctx, const BoardImage& image, int N)
{
    // 1, 2. Drop stale bytes and announce the words.
    if (const LinkStatus sent = startTransfer(ctx, "03"); !sent.ok())
        return TransferResult::stoppedBy(sent, 0);
    // 3, 4. The board's answer; a cancel here still lets word 0 go out.
    if (const LinkStatus wait = waitForCount(ctx, kWriteCommandAnswerLength); !wait.ok() && !wait.cancelled())
        return TransferResult::stoppedBy(wait, 0);
    Input(ctx);
    // 5. Each word, answered before the next.
    return writeWords(ctx, image, N, kWordAnswerLength);
}
