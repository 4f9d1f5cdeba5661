#include "Primitives.h"

namespace {

// Watches a wait for bytes from the board: ends it when none has arrived for the
// context's silence timeout, and tells the context when the board has been silent
// for kSilenceNoticeMillis and when it speaks again.
class SilenceWatch {
public:
    explicit SilenceWatch(LinkContext& ctx) : ctx_(ctx), since_(ctx.clock.nowMicros()) {}
    // `count`: bytes received in this wait so far (pending or taken).
    void sawBytes(qint64 count)
    {
        if (count == lastCount_)
            return;
        lastCount_ = count;
        since_ = ctx_.clock.nowMicros();
        tell(false);
    }
    // True when the wait is to end for silence.
    bool expired()
    {
        const qint64 silentMicros = ctx_.clock.nowMicros() - since_;
        if (silentMicros >= kSilenceNoticeMillis * 1000)
            tell(true);
        if (!ctx_.silenceTimeout)
            return false;
        return silentMicros >= std::chrono::duration_cast<std::chrono::microseconds>(*ctx_.silenceTimeout).count();
    }

private:
    void tell(bool silent) { tellSilence(ctx_, silent); }

    LinkContext& ctx_;
    qint64 since_;
    qint64 lastCount_ = 0;
};

const LinkStatus kTimedOut{LinkStatus::End::TimedOut, QStringLiteral("the board stopped answering")};
const LinkStatus kCancelled{LinkStatus::End::Cancelled, {}};

} // namespace

QByteArray wordBytes(const QString& word)
{
    return word.toLatin1();
}

QString wordText(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

LinkStatus portStatus(const LinkContext& ctx)
{
    if (ctx.port.hasFailed())
        return LinkStatus::portError(ctx.port.errorMessage());
    return {};
}

LinkStatus Send(LinkContext& ctx, const QByteArray& text)
{
    qint64 due = ctx.clock.nowMicros() + kPaceMicros;
    for (const char byte : text) {
        ctx.clock.sleepUntil(due);
        if (!ctx.port.write(QByteArray(1, byte)))
            return portStatus(ctx);
        due = ctx.clock.nowMicros() + kPaceMicros;
    }
    return portStatus(ctx);
}

LinkStatus SendFast(LinkContext& ctx, const QByteArray& text)
{
    if (!text.isEmpty())
        ctx.port.write(text);
    return portStatus(ctx);
}

QByteArray Input(LinkContext& ctx)
{
    return ctx.port.readAll();
}

QByteArray takeReply(LinkContext& ctx, qint64 count)
{
    return ctx.port.read(count);
}

void Sleep(LinkContext& ctx, int millis)
{
    ctx.clock.sleepFor(qint64(millis) * 1000);
}

void UpdateProgressBar(LinkContext& ctx)
{
    stepDone(ctx);
}

LinkStatus waitForCount(LinkContext& ctx, qint64 count)
{
    SilenceWatch silence(ctx);
    for (;;) {
        // Bytes that arrived before a failure are still the board's reply.
        const qint64 pending = ctx.port.bytesAvailable();
        silence.sawBytes(pending);
        if (pending >= count)
            return {};
        if (const LinkStatus s = portStatus(ctx); !s.ok())
            return s;
        ctx.port.waitForReadyRead(kPollMillis);
        if (ctx.cancel.load())
            return kCancelled;
        if (silence.expired())
            return kTimedOut;
    }
}

LinkStatus waitForFrame(LinkContext& ctx, QByteArray& accumulator, const QByteArray& terminator)
{
    SilenceWatch silence(ctx);
    qint64 received = 0;
    for (;;) {
        if (accumulator.contains(terminator))
            return {};
        if (const qint64 pending = ctx.port.bytesAvailable(); pending > 0) {
            const QByteArray piece = ctx.port.read(pending);
            accumulator += piece;
            received += piece.size();
            silence.sawBytes(received);
        } else {
            ctx.port.waitForReadyRead(kPollMillis);
        }
        // A frame that came in before the line failed is still the board's.
        if (const LinkStatus s = portStatus(ctx); !s.ok())
            return accumulator.contains(terminator) ? LinkStatus{} : s;
        if (ctx.cancel.load())
            return kCancelled;
        if (silence.expired())
            return kTimedOut;
    }
}
