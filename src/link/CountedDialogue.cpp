#include "CountedDialogue.h"

#include "Primitives.h"

namespace CountedDialogue {

QByteArray wakeUp()
{
    return QByteArray("\xE5\x2C", 2);
}

QByteArray line(const QByteArray& text)
{
    return text + kCR;
}

LinkStatus startTransfer(LinkContext& ctx, const QByteArray& command)
{
    Input(ctx);
    return Send(ctx, line(command));
}

TransferResult readWordReplies(LinkContext& ctx, BoardImage& image, int first, int N, qint64 replyLength)
{
    for (int i = first; i <= N; ++i) {
        if (const LinkStatus wait = waitForCount(ctx, replyLength); !wait.ok())
            return TransferResult::stoppedBy(wait, i);
        image.setWord(i, wordText(takeReply(ctx, replyLength).left(4)));
        UpdateProgressBar(ctx);
    }
    return TransferResult::completed(N + 1);
}

TransferResult writeWords(LinkContext& ctx, const BoardImage& image, int N, qint64 answerLength)
{
    for (int i = 0; i <= N; ++i) {
        if (const LinkStatus sent = Send(ctx, line(wordBytes(image.word(i)))); !sent.ok())
            return TransferResult::stoppedBy(sent, i);
        UpdateProgressBar(ctx);
        if (const LinkStatus wait = waitForCount(ctx, answerLength); !wait.ok())
            return TransferResult::stoppedBy(wait, i + 1);
        Input(ctx);
    }
    return TransferResult::completed(N + 1);
}

} // namespace CountedDialogue
