#include "Primitives.h"

namespace {

// Ends a wait when no new byte has arrived for the context's silence timeout.
class SilenceWatch {
public:
    explicit SilenceWatch(const LinkContext& ctx)
        : clock_(ctx.clock), limit_(ctx.silenceTimeout), since_(clock_.nowMicros())
    {
    }
    void sawBytes(qint64 count)
    {
        if (count != lastCount_) {
            lastCount_ = count;
            since_ = clock_.nowMicros();
        }
    }
    bool expired() const
    {
        if (!limit_)
            return false;
        const qint64 limitMicros = std::chrono::duration_cast<std::chrono::microseconds>(*limit_).count();
        return clock_.nowMicros() - since_ >= limitMicros;
    }

private:
    const Clock& clock_;
    std::optional<std::chrono::milliseconds> limit_;
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

void Sleep(LinkContext& ctx, int millis)
{
    ctx.clock.sleepFor(qint64(millis) * 1000);
}

void UpdateProgressBar(LinkContext& ctx)
{
    if (ctx.progress)
        ctx.progress();
}

LinkStatus waitForCount(LinkContext& ctx, qint64 count)
{
    SilenceWatch silence(ctx);
    for (;;) {
        const qint64 pending = ctx.port.bytesAvailable();
        if (const LinkStatus s = portStatus(ctx); !s.ok())
            return s;
        if (pending >= count)
            return {};
        silence.sawBytes(pending);
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
        if (accumulator.endsWith(terminator))
            return {};
        if (ctx.port.bytesAvailable() > 0) {
            const QByteArray piece = ctx.port.readAll();
            accumulator += piece;
            received += piece.size();
            silence.sawBytes(received);
        } else {
            ctx.port.waitForReadyRead(kPollMillis);
        }
        if (const LinkStatus s = portStatus(ctx); !s.ok())
            return s;
        if (ctx.cancel.load())
            return kCancelled;
        if (silence.expired())
            return kTimedOut;
    }
}
