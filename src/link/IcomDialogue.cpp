#include "IcomDialogue.h"

#include "BoardPing.h"
#include "Primitives.h"

#include <algorithm>

namespace {

constexpr int kAnswerMillis = 200;
constexpr int kPauseMillis = 100;
constexpr int kAfterWriteCommandMillis = 100;

const QByteArray kHeader("\xFE\xFE\xEE\xEF\xE8\x20\x24\x00\x00", 9);
constexpr char kEnd = '\xFD';
const QByteArray kWordEnd("\x0A\x0D\xFD", 3);
const QByteArray kAck("\x02\x0A\x0D\xFD", 4);

bool wakeUpAccepted(const QByteArray& answer)
{
    return answer.endsWith(QByteArray("1\xFD", 2));
}

bool codeAccepted(const QByteArray& answer)
{
    return answer.endsWith(QByteArray("\x02"
                                      "2\x0A\x0D\xFD",
                                      5));
}

} // namespace

namespace IcomFrame {

QByteArray wakeUp()
{
    return kHeader + '\x00' + kEnd;
}

QByteArray withText(const QByteArray& text)
{
    return kHeader + '\x02' + text + "\x0D\x0A" + kEnd;
}

QList<QByteArray> wordsOf(const QByteArray& frames)
{
    QList<QByteArray> words;
    qsizetype frameStart = 0;
    for (qsizetype end = frames.indexOf(kWordEnd); end >= 0; end = frames.indexOf(kWordEnd, frameStart)) {
        const qsizetype wordStart = std::max(frameStart, end - 4);
        words.append(frames.mid(wordStart, end - wordStart));
        frameStart = end + kWordEnd.size();
    }
    return words;
}

} // namespace IcomFrame

PingRules icomPingRules(const QString& accessCode)
{
    return {IcomFrame::wakeUp(), IcomFrame::withText(wordBytes(accessCode)),
            kAnswerMillis,       kPauseMillis,
            wakeUpAccepted,      codeAccepted,
            "ends in 31 FD",     false};
}

PingResult Ping_Icom(LinkContext& ctx, const QString& accessCode)
{
    return pingBoard(ctx, icomPingRules(accessCode));
}

TransferResult ReadIcom(LinkContext& ctx, BoardImage& image, int N)
{
    // 1, 2. Drop stale bytes and ask for the words.
    Input(ctx);
    QByteArray accumulator;
    if (const LinkStatus sent = Send(ctx, IcomFrame::withText("02")); !sent.ok())
        return TransferResult::stoppedBy(sent, 0);
    // 3. The board sends one frame per word, on its own. A piece can bring more than
    // one frame, and end inside the next (frames merged, an adapter's batches): each
    // complete frame gives its own word, in order, and the start of the next frame
    // stays in the accumulator, so no word is lost and none shifts.
    int i = 0;
    while (i <= N) {
        if (const LinkStatus wait = waitForFrame(ctx, accumulator, kWordEnd); !wait.ok())
            return TransferResult::stoppedBy(wait, i);
        const qsizetype complete = accumulator.lastIndexOf(kWordEnd) + kWordEnd.size();
        for (const QByteArray& word : IcomFrame::wordsOf(accumulator.left(complete))) {
            if (i > N)
                break;
            image.setWord(i++, wordText(word));
            UpdateProgressBar(ctx);
        }
        accumulator.remove(0, complete);
    }
    return TransferResult::completed(N + 1);
}

TransferResult WriteIcom(LinkContext& ctx, const BoardImage& image, int N)
{
    // 1. The command, at line speed; nothing is dropped before it.
    if (const LinkStatus sent = SendFast(ctx, IcomFrame::withText("03")); !sent.ok())
        return TransferResult::stoppedBy(sent, 0);
    // 2. Give the board time to get ready; drop what it said.
    Sleep(ctx, kAfterWriteCommandMillis);
    Input(ctx);
    // 3. Each word's frame, acknowledged before the next.
    QByteArray accumulator;
    for (int i = 0; i <= N; ++i) {
        accumulator.clear();
        if (const LinkStatus sent = SendFast(ctx, IcomFrame::withText(wordBytes(image.word(i)))); !sent.ok())
            return TransferResult::stoppedBy(sent, i);
        if (const LinkStatus wait = waitForFrame(ctx, accumulator, kAck); !wait.ok())
            return TransferResult::stoppedBy(wait, i);
        UpdateProgressBar(ctx);
    }
    return TransferResult::completed(N + 1);
}
