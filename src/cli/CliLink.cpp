#include "CliLink.h"

#include "CliSupport.h"
#include "Commands.h"
#include "DataFile.h"
#include "Editor.h"
#include "LinkMessages.h"
#include "LinkOperations.h"
#include "Product.h"
#include "SettingsFile.h"
#include "WordCodecs.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#include <unistd.h>

namespace Cli {

namespace {

constexpr double kDefaultTimeoutSeconds = 10;

const QString kExitStatuses = QStringLiteral(
    "Exit status: 0 done; 1 no answer from the board, or the port failed during the dialogue;\n"
    "2 wrong usage or invalid data file; 3 access code refused; 4 cancelled (Ctrl+C) or timed out;\n"
    "5 the serial port cannot be opened; 6 the verify found the board holding other words.");

CancelToken interrupted{false};
static_assert(CancelToken::is_always_lock_free, "set from a signal handler");

#ifdef Q_OS_WIN
// Runs on a thread of its own that Windows starts for each console event. A second
// Ctrl+C, or the console closing, goes on to the default handler, which ends the program.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    const bool again = interrupted.exchange(true);
    return event != CTRL_CLOSE_EVENT && !again;
}
#else
extern "C" void onInterrupt(int)
{
    interrupted.store(true);
}
#endif

std::optional<int> targetProduct(const QCommandLineParser& parser, const SettingsFile::Settings& settings,
                                 const BoardCommand& c)
{
    if (parser.isSet(QStringLiteral("product")))
        return productOption(parser.value(QStringLiteral("product")), QStringLiteral("--product"));
    if (c.productOfFiles)
        return c.productOfFiles(parser.positionalArguments());
    const QString& command = c.name;
    if (settings.product) {
        if (const std::optional<int> product = Product::fromValue(*settings.product))
            return product;
    }
    err() << "vireo " << command << ": no product: give --product N (Config.ini here names none)\n";
    return std::nullopt;
}

std::optional<QString> targetPort(const QCommandLineParser& parser, const SettingsFile::Settings& settings,
                                  const QString& command)
{
    if (parser.isSet(QStringLiteral("port")))
        return parser.value(QStringLiteral("port"));
    if (settings.port && *settings.port >= 1 && *settings.port <= 4)
        return QStringLiteral("COM%1").arg(*settings.port);
    err() << "vireo " << command << ": no serial port: give --port PORT (Config.ini here names none of COM1..COM4)\n";
    return std::nullopt;
}

bool isSet(const QCommandLineParser& parser, const char* name)
{
    return parser.optionNames().contains(QLatin1String(name)) && parser.isSet(QLatin1String(name));
}

// Product, port, code and timeout from the options, else from what the window would use.
std::optional<Target> resolveTarget(const QCommandLineParser& parser, const BoardCommand& c)
{
    const QString& command = c.name;
    const bool transfer = c.transfer;
    const SettingsFile::Settings settings = SettingsFile::read(QDir::currentPath());
    const std::optional<int> product = targetProduct(parser, settings, c);
    if (!product)
        return std::nullopt;
    const std::optional<QString> port = targetPort(parser, settings, command);
    if (!port)
        return std::nullopt;
    Target t;
    t.product = *product;
    t.port = *port;
    t.trace = parser.value(QStringLiteral("trace"));
    if (parser.isSet(QStringLiteral("code"))) {
        t.code = parser.value(QStringLiteral("code"));
        if (!WordCodec::isFiveDigitCode(t.code)) {
            err() << "vireo " << command << ": --code takes five digits, not \"" << t.code << "\"\n";
            return std::nullopt;
        }
    }
    if (!transfer)
        return t;
    double seconds = kDefaultTimeoutSeconds;
    if (parser.isSet(QStringLiteral("timeout"))) {
        bool ok = false;
        seconds = parser.value(QStringLiteral("timeout")).toDouble(&ok);
        if (!ok || !(seconds > 0) || seconds > 86400) {
            err() << "vireo " << command << ": --timeout takes a number of seconds above 0, not \""
                  << parser.value(QStringLiteral("timeout")) << "\"\n";
            return std::nullopt;
        }
    }
    t.timeout = std::chrono::milliseconds(qRound64(seconds * 1000));
    t.linkCheck = !isSet(parser, "no-link-check");
    t.raw = isSet(parser, "raw");
    return t;
}

// The link's messages use CR LF for a message box; a terminal wants LF.
QString lines(const QString& message)
{
    QString text = message;
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A bar on stderr, redrawn on each progress step, only when stderr is a terminal.
class ProgressBar {
public:
    ProgressBar(const QString& label, int maximum)
        : label_(label), maximum_(maximum), shown_(::isatty(STDERR_FILENO) == 1)
    {
    }
    ~ProgressBar() { finish(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void step()
    {
        ++value_;
        if (!shown_)
            return;
        const int filled = maximum_ > 0 ? std::min(kWidth, value_ * kWidth / maximum_) : kWidth;
        err() << "\r" << label_ << " [" << QString(filled, QLatin1Char('#'))
              << QString(kWidth - filled, QLatin1Char(' ')) << "] " << value_ << "/" << maximum_;
        err().flush();
        drawn_ = true;
    }
    void finish()
    {
        if (drawn_)
            err() << "\n";
        err().flush();
        drawn_ = false;
    }

private:
    static constexpr int kWidth = 40;
    QString label_;
    int maximum_;
    bool shown_;
    bool drawn_ = false;
    int value_ = 0;
};

} // namespace

EditorSession startUp(int product)
{
    return EditorSession::startUp(product, QDir::currentPath());
}

void addTargetOptions(QCommandLineParser& parser, bool transfer, bool raw, bool linkCheckOption,
                      const QString& productDefault)
{
    const QString fromConfig = QStringLiteral("the programmer's, from Config.ini in the working directory");
    parser.addOption({QStringLiteral("product"),
                      QStringLiteral("The product %1 of the Product menu (default: %2).")
                          .arg(productNumbers(), productDefault.isEmpty() ? fromConfig : productDefault),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("port"),
                      QStringLiteral("COM1..COM4 (on Linux the device in $VIREO_COM1..$VIREO_COM4, else "
                                     "/dev/ttyS0..3) or a device path (default: the programmer's, from Config.ini)."),
                      QStringLiteral("PORT")});
    parser.addOption({QStringLiteral("code"),
                      QStringLiteral("The five-digit access code (default: the one in the product's default data "
                                     "file in the working directory, else 47203)."),
                      QStringLiteral("CODE")});
    parser.addOption({QStringLiteral("trace"),
                      QStringLiteral("Record every byte sent and received, with times, in FILE (for support)."),
                      QStringLiteral("FILE")});
    if (!transfer)
        return;
    if (raw)
        parser.addOption({QStringLiteral("raw"),
                          QStringLiteral("Take the words as they are, without the editor's reading of them.")});
    if (linkCheckOption)
        parser.addOption({QStringLiteral("no-link-check"),
                          QStringLiteral("Do not run the link check first (the board must already be unlocked).")});
    parser.addOption({QStringLiteral("timeout"),
                      QStringLiteral("Give up after this many seconds without a byte from the board (default 10)."),
                      QStringLiteral("SECONDS")});
}

void addBackupFirstOption(QCommandLineParser& parser)
{
    parser.addOption({QStringLiteral("backup-first"),
                      QStringLiteral("First read the board into a before-write backup, so the write can be undone "
                                     "by vireo restore of that file; nothing is written when the backup fails.")});
}

std::optional<Target> parseBoardCommand(QCommandLineParser& parser, const BoardCommand& c, const QStringList& args,
                                        int* status)
{
    QString moreHelp = c.transferStatuses ? QStringLiteral("\n") + kExitStatuses + QStringLiteral("\n") : QString();
    if (!c.extraHelp.isEmpty())
        moreHelp += c.extraHelp + QStringLiteral("\n");
    if (!parseCommand(parser, c.name, c.usage, c.files, {}, args, status, moreHelp))
        return std::nullopt;
    return resolveTarget(parser, c);
}

QString accessCode(const Target& t, const EditorSession& start)
{
    if (!t.code.isEmpty())
        return t.code;
    return start.defaultLoaded() ? start.form.ProgAccessCode.text : Editor::kDefaultAccessCode;
}

void report(const QString& command, const QString& what, const QString& message)
{
    err() << "vireo " << command << ": " << what << "\n";
    if (!message.isEmpty())
        err() << lines(message) << "\n";
    err().flush();
}

const CancelToken& interruptToken()
{
    return interrupted;
}

InterruptGuard::InterruptGuard()
{
    interrupted.store(false);
#ifdef Q_OS_WIN
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
#endif
}

InterruptGuard::~InterruptGuard()
{
#ifdef Q_OS_WIN
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
#else
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
#endif
}

BoardLine::BoardLine(const Target& t) : target_(t), serial_(makeSystemPort(t.port)) {}

BoardLine::~BoardLine()
{
    serial_->close();
}

int BoardLine::startTrace(const QString& command)
{
    if (target_.trace.isEmpty())
        return kOk;
    if (!serial_->startTrace(target_.trace, clock_)) {
        report(command, serial_->traceError());
        return kInvalid;
    }
    return kOk;
}

int BoardLine::open(const QString& command)
{
    LinkContext ctx = context();
    QString why;
    if (BoardJob::openPort(ctx, target_.product, &why))
        return kOk;
    report(command, QStringLiteral("cannot open the serial port: ") + why);
    return kPortUnavailable;
}

LinkContext BoardLine::context(std::function<void()> progress)
{
    return LinkContext{*serial_, clock_, interrupted, std::move(progress), target_.timeout};
}

bool reportOpen(const DataFile::LoadResult& loaded, const QString& path, const QString& command)
{
    if (loaded.ok())
        return true;
    const bool unmarked = loaded.error == DataFile::Error::MissingMarker;
    const QString where = unmarked ? QFileInfo(path).fileName() + QStringLiteral(": ") : QString();
    report(command, where + loaded.message);
    return false;
}

std::optional<BoardImage> outgoingImage(EditorSession& session, const QString& command)
{
    return outgoingImage(session.outgoing(), command);
}

std::optional<BoardImage> outgoingImage(const EditorSession::Outgoing& outgoing, const QString& command)
{
    if (!outgoing.entries.isEmpty()) {
        err() << "vireo " << command << ": these entries cannot be written:\n";
        for (const QString& p : outgoing.entries)
            err() << "  " << p << "\n";
        err().flush();
        return std::nullopt;
    }
    if (!outgoing.words.isEmpty()) {
        report(command, QStringLiteral("nothing was written: ") + outgoing.words.front());
        return std::nullopt;
    }
    return outgoing.image;
}

int exitStatus(BoardJob::End end)
{
    switch (end) {
    case BoardJob::End::Done: return kOk;
    case BoardJob::End::PortUnavailable: return kPortUnavailable;
    case BoardJob::End::CodeRefused: return kCodeRefused;
    case BoardJob::End::Cancelled:
    case BoardJob::End::TimedOut: return kStopped;
    case BoardJob::End::VerifyFailed: return kVerifyFailed;
    case BoardJob::End::NoAnswer:
    case BoardJob::End::PortFailed:
    case BoardJob::End::BackupFailed:
    case BoardJob::End::NotAConfiguration: break;
    }
    return kFailed;
}

namespace {

// The verify's findings on stdout: each difference by setting, then the verdict.
void reportVerify(const BoardJob::Result& r, const QString& command)
{
    if (r.readBackEnd != BoardJob::End::Done) {
        report(command, QStringLiteral("Verify FAILED: the board could not be read back"));
        return;
    }
    for (const Compare::Difference& d : r.differences)
        out() << Compare::describe(d, QStringLiteral(" on file, "), QStringLiteral(" on board")) << "\n";
    if (r.differences.empty())
        out() << "Verify passed\n";
    else
        out() << BoardJob::describe(r).what << "\n";
    out().flush();
}

} // namespace

int runJob(BoardLine& line, const Target& t, const QString& command, const BoardJob::Request& request,
           BoardJob::Result* result)
{
    std::optional<ProgressBar> bar;
    LinkContext ctx = line.context([&bar] {
        if (bar)
            bar->step();
    });
    ctx.transferStarting = [&bar](const QString& label, int maximum) {
        bar.reset();
        bar.emplace(label, maximum);
    };
    const BoardJob::Result r = BoardJob::run(ctx, request);
    bar.reset();
    const BoardJob::End transferEnd = r.verified ? BoardJob::End::Done : r.end;
    if (r.verified && r.readBackEnd != BoardJob::End::Done) {
        // The read-back's own end first, then the verdict.
        BoardJob::Result readBack = r;
        readBack.kind = BoardJob::Kind::Verify;
        const BoardJob::Description d = BoardJob::describe(readBack, t.timeout);
        report(command, d.what, d.message);
    } else if (transferEnd != BoardJob::End::Done) {
        const BoardJob::Description d = BoardJob::describe(r, t.timeout);
        report(command, d.what, d.message);
    }
    for (const QString& problem : r.backupProblems)
        report(command, QStringLiteral("warning: ") + problem);
    if (r.verified)
        reportVerify(r, command);
    // Last, so the file to write back is the last thing on the screen.
    if (const QString note = BoardJob::describe(r).backupNote; !note.isEmpty())
        err() << note << "\n";
    if (result)
        *result = r;
    return exitStatus(r.end);
}

} // namespace Cli
