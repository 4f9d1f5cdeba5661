#include "BoardJob.h"

#include "LinkMessages.h"
#include "LinkOperations.h"
#include "Product.h"
#include "WordCodecs.h"

#include <QDateTime>
#include <QDir>

namespace BoardJob {

namespace {

End endOf(const TransferResult& t)
{
    switch (t.end) {
    case TransferResult::End::Completed: return End::Done;
    case TransferResult::End::Cancelled: return End::Cancelled;
    case TransferResult::End::TimedOut: return End::TimedOut;
    case TransferResult::End::Failed: break;
    }
    return End::PortFailed;
}

// A completed read whose words are not four hexadecimal digits is no configuration.
End endOfRead(const TransferResult& t, Result& r, const BoardImage& image)
{
    r.wordsNotHex = 0;
    if (t.end == TransferResult::End::Completed) {
        for (int i = 0; i <= LinkOperations::lastWord(r.product); ++i)
            r.wordsNotHex += WordCodec::isWellFormed(image.word(i)) ? 0 : 1;
        if (r.wordsNotHex > 0)
            return End::NotAConfiguration;
    }
    return endOf(t);
}

End endOf(const PingResult& p)
{
    switch (p.outcome) {
    case PingResult::Outcome::Established: return End::Done;
    case PingResult::Outcome::LinkError: return End::NoAnswer;
    case PingResult::Outcome::CodeRefused: return End::CodeRefused;
    case PingResult::Outcome::PortError: break;
    }
    return End::PortFailed;
}

} // namespace

bool openPort(LinkContext& ctx, int product, QString* why)
{
    return openWorkingPort(ctx.port, Product::info(product).line, why);
}

namespace {

void backUp(Result& r, Backups::Kind kind)
{
    const QDateTime now = QDateTime::currentDateTime();
    r.backup = Backups::save(r.image, r.product, kind, now);
    if (!r.backup->ok)
        r.backupProblems << r.backup->message;
    const Backups::PruneResult pruned = Backups::prune(now);
    if (!pruned.message.isEmpty())
        r.backupProblems << pruned.message;
}

void starting(LinkContext& ctx, JobPhase phase, int product)
{
    startPhase(ctx, phase, LinkOperations::progressMaximum(product));
}

// Reads the board back into a copy of what was sent (words above N are not read,
// so they compare equal) and lists every setting it holds otherwise.
void readBack(LinkContext& ctx, Result& r)
{
    starting(ctx, JobPhase::Verifying, r.product);
    BoardImage back = r.image;
    const TransferResult t = LinkOperations::read(ctx, r.product, back);
    r.verified = true;
    r.readBackEnd = endOf(t);
    r.readBackMessage = t.message;
    r.wordsDone = t.wordsDone;
    if (r.readBackEnd != End::Done) {
        r.end = r.readBackEnd;
        r.message = t.message;
        return;
    }
    r.differences = Compare::differences(r.image, back, r.product, LinkOperations::lastWord(r.product));
    r.end = r.differences.empty() ? End::Done : End::VerifyFailed;
}

// Reads what the board holds into a before-write backup, so the write can be undone
// by writing it back; false, with the job's end, when the write must not go ahead.
bool backUpBoard(LinkContext& ctx, Result& r)
{
    starting(ctx, JobPhase::BackingUp, r.product);
    BoardImage held = r.image; // words above N are not on the board: they stay as sent
    const TransferResult t = LinkOperations::read(ctx, r.product, held);
    if (const End read = endOfRead(t, r, held); read != End::Done) {
        r.backingUp = true;
        r.end = read;
        r.message = t.message;
        r.wordsDone = t.wordsDone;
        return false;
    }
    r.beforeWrite = Backups::save(held, r.product, Backups::Kind::BeforeWrite, QDateTime::currentDateTime());
    if (r.beforeWrite->ok)
        return true;
    r.end = End::BackupFailed;
    r.message = r.beforeWrite->message;
    return false;
}

void transfer(LinkContext& ctx, Result& r, const Request& request)
{
    if (request.kind == Kind::Verify) {
        readBack(ctx, r);
        return;
    }
    if (request.kind == Kind::Write && request.backUpFirst && !backUpBoard(ctx, r))
        return;
    const bool reading = request.kind == Kind::Read;
    starting(ctx, reading ? JobPhase::Reading : JobPhase::Writing, r.product);
    r.transferStarted = true;
    const TransferResult t = reading ? LinkOperations::read(ctx, r.product, r.image)
                                     : LinkOperations::write(ctx, r.product, r.image);
    r.end = reading ? endOfRead(t, r, r.image) : endOf(t);
    if (r.end == End::NotAConfiguration && request.keepNoise)
        r.end = End::Done;
    r.message = t.message;
    r.wordsDone = t.wordsDone;
    if (request.backUp)
        backUp(r, reading ? Backups::Kind::Read : Backups::Kind::Write);
    if (reading || !request.verify || r.end != End::Done)
        return;
    if (ctx.holdBeforeVerify && !ctx.holdBeforeVerify()) { // the front end ended the job there
        r.verified = true;
        r.end = r.readBackEnd = End::Cancelled;
        return;
    }
    readBack(ctx, r);
}

void steps(LinkContext& ctx, Result& r, const Request& request)
{
    // 1. The port is opened first when it is closed, also for a link check: a port
    //    closed after a failure, or whose adapter was plugged in again, works again.
    if (!openPort(ctx, r.product, &r.message)) {
        r.end = End::PortUnavailable;
        return;
    }
    // 2. The link check, on its own or before a transfer.
    if (request.kind == Kind::LinkCheck || request.linkCheckFirst) {
        startPhase(ctx, JobPhase::LinkCheck, 0);
        const PingResult ping = LinkOperations::ping(ctx, r.product, request.accessCode);
        r.end = endOf(ping);
        r.message = ping.message;
        if (request.kind == Kind::LinkCheck || r.end != End::Done)
            return;
        if (ctx.cancel.load()) {
            r.end = End::Cancelled;
            return;
        }
    }
    // 3. The initialization command, or the transfer with its backup and verify.
    if (request.kind == Kind::ForceInitialization) {
        const LinkStatus sent = LinkOperations::forceInitialization(ctx);
        r.end = sent.ok() ? End::Done : End::PortFailed;
        r.message = sent.message;
        return;
    }
    transfer(ctx, r, request);
}

} // namespace

Result run(LinkContext& ctx, const Request& request)
{
    Result r;
    r.kind = request.kind;
    r.product = request.product;
    r.image = request.image;
    steps(ctx, r, request);
    closeFailedPort(ctx.port);
    return r;
}

namespace {

Description plainDescription(const Result& r, std::optional<std::chrono::milliseconds> timeout)
{
    const QString done =
        QStringLiteral(" after %1 of %2 words").arg(r.wordsDone).arg(LinkOperations::progressMaximum(r.product));
    switch (r.end) {
    case End::Done: return {};
    case End::PortUnavailable: return {QStringLiteral("cannot open the serial port: ") + r.message, r.message, {}};
    case End::NoAnswer: return {QStringLiteral("no answer from the board"), {}, LinkMessages::kCommLinkError};
    case End::CodeRefused:
        return {QStringLiteral("the board refused the access code"), {}, LinkMessages::kInvalidPassword};
    case End::PortFailed:
        if (r.kind == Kind::LinkCheck)
            return {QStringLiteral("the port failed: ") + r.message, r.message, LinkMessages::kCommLinkError};
        return {QStringLiteral("the link failed%1: %2").arg(done, r.message),
                QStringLiteral("The serial port failed during the transfer: %1").arg(r.message),
                LinkMessages::kCommLinkError};
    case End::Cancelled: return {QStringLiteral("cancelled"), {}, LinkMessages::kTransferCancelled};
    case End::TimedOut: {
        const double seconds = timeout ? timeout->count() / 1000.0 : 0.0;
        return {QStringLiteral("timed out%1: no byte from the board for %2 s").arg(done, QString::number(seconds)),
                r.message, LinkMessages::kTransferCancelled.section(QStringLiteral("\r\n"), 1)};
    }
    case End::VerifyFailed:
        return {QStringLiteral("Verify FAILED: %1 %2")
                    .arg(r.differences.size())
                    .arg(r.differences.size() == 1 ? QStringLiteral("difference") : QStringLiteral("differences")),
                {},
                {}};
    case End::NotAConfiguration: {
        const QString said = notAConfiguration(r);
        return {said, said, {}};
    }
    case End::BackupFailed:
        return {QStringLiteral("nothing was written, as the board could not be backed up first: ") + r.message,
                QStringLiteral("Nothing was written to the board, as its backup before the write was not saved.\r\n%1")
                    .arg(r.message),
                {}};
    }
    return {};
}

QString joined(const QString& first, const QString& separator, const QString& second)
{
    return first.isEmpty() ? second : first + separator + second;
}

} // namespace

Description describe(const Result& r, std::optional<std::chrono::milliseconds> timeout)
{
    Description d = plainDescription(r, timeout);
    if (r.backingUp) {
        d.what += QStringLiteral("; nothing was written, as the board could not be backed up first");
        d.reason = joined(d.reason, QStringLiteral("\r\n\r\n"),
                          QStringLiteral("Nothing was written, as the board could not be backed up first."));
    } else if (r.kind == Kind::Write && r.beforeWrite && r.beforeWrite->ok && r.end != End::Done) {
        d.backupNote = QStringLiteral("The board as it was before the write is backed up in %1")
                           .arg(QDir::toNativeSeparators(r.beforeWrite->path));
    }
    return d;
}

QString readBackFailure(const Result& r)
{
    if (r.end == End::PortUnavailable)
        return r.message;
    if (r.readBackEnd == End::Cancelled)
        return QStringLiteral("the read-back was cancelled.");
    return r.readBackEnd == End::Done ? QString() : r.readBackMessage;
}

QString notAConfiguration(const Result& r)
{
    return QStringLiteral("The board's answer is not a configuration: %1 of %2 words are not four hexadecimal digits. "
                          "Check that the product in the Product menu is the board's, and the cable.")
        .arg(r.wordsNotHex)
        .arg(LinkOperations::progressMaximum(r.product));
}

} // namespace BoardJob
