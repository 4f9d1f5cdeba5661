#include "CliLink.h"

#include "Backups.h"
#include "CliSupport.h"
#include "Commands.h"
#include "DataFile.h"
#include "Editor.h"
#include "LinkMessages.h"
#include "LinkOperations.h"
#include "Product.h"
#include "SettingsFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

#include <unistd.h>

namespace Cli {

namespace {

constexpr double kDefaultTimeoutSeconds = 10;

const QString kCancelledMessage = QStringLiteral("Data Transfer Cancelled...\nLogic Board Power must be re-cycled.");

const QString kExitStatuses = QStringLiteral(
    "Exit status: 0 done; 1 no answer from the board, or the port failed during the dialogue;\n"
    "2 wrong usage or invalid data file; 3 access code refused; 4 cancelled (Ctrl+C) or timed out;\n"
    "5 the serial port cannot be opened; 6 the verify found the board holding other words.");

CancelToken interrupted{false};
static_assert(CancelToken::is_always_lock_free, "set from a signal handler");

extern "C" void onInterrupt(int) { interrupted.store(true); }

std::optional<int> targetProduct(const QCommandLineParser& parser, const SettingsFile::Settings& settings,
                                 const QString& command)
{
    if (parser.isSet(QStringLiteral("product")))
        return productOption(parser.value(QStringLiteral("product")), QStringLiteral("--product"));
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

bool isFiveDigits(const QString& code)
{
    if (code.size() != 5)
        return false;
    return std::all_of(code.begin(), code.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

bool isSet(const QCommandLineParser& parser, const char* name)
{
    return parser.optionNames().contains(QLatin1String(name)) && parser.isSet(QLatin1String(name));
}

// Product, port, code and timeout from the options, else from what the window would use.
std::optional<Target> resolveTarget(const QCommandLineParser& parser, const QString& command, bool transfer)
{
    const SettingsFile::Settings settings = SettingsFile::read(QDir::currentPath());
    const std::optional<int> product = targetProduct(parser, settings, command);
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
        if (!isFiveDigits(t.code)) {
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

Window startUp(int product)
{
    Window w;
    Editor::applyProductProfile(w.form, QString::number(product));
    const QString defaultFile = QString::fromLatin1(Product::info(product).defaultFile);
    w.defaultLoaded = DataFile::load(defaultFile, w.image, DataFile::MarkerRule::NotChecked).ok();
    if (w.defaultLoaded)
        Editor::UpdateGUI(w.form, w.image);
    return w;
}

void addTargetOptions(QCommandLineParser& parser, bool transfer, bool rawAndLinkCheck)
{
    parser.addOption({QStringLiteral("product"),
                      QStringLiteral("The product %1 of the Product menu (default: the programmer's, from "
                                     "Config.ini in the working directory).")
                          .arg(productNumbers()),
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
    if (rawAndLinkCheck) {
        parser.addOption({QStringLiteral("raw"),
                          QStringLiteral("Take the words as they are, without the editor's reading of them.")});
        parser.addOption({QStringLiteral("no-link-check"),
                          QStringLiteral("Do not run the link check first (the board must already be unlocked).")});
    }
    parser.addOption({QStringLiteral("timeout"),
                      QStringLiteral("Give up after this many seconds without a byte from the board (default 10)."),
                      QStringLiteral("SECONDS")});
}

std::optional<Target> parseBoardCommand(QCommandLineParser& parser, const BoardCommand& c, const QStringList& args,
                                        int* status)
{
    *status = kInvalid;
    if (!parseArguments(parser, c.name, args))
        return std::nullopt;
    if (parser.isSet(QStringLiteral("help"))) {
        printHelp(parser, c.usage);
        out() << "\n" << kExitStatuses << "\n";
        if (!c.extraHelp.isEmpty())
            out() << c.extraHelp << "\n";
        out().flush();
        *status = kOk;
        return std::nullopt;
    }
    if (parser.positionalArguments().size() != c.files) {
        err() << "Usage: " << c.usage << "\n";
        return std::nullopt;
    }
    return resolveTarget(parser, c.name, c.transfer);
}

QString accessCode(const Target& t, const Window& start)
{
    if (!t.code.isEmpty())
        return t.code;
    return start.defaultLoaded ? start.form.ProgAccessCode.text : Editor::kDefaultAccessCode;
}

void report(const QString& command, const QString& what, const QString& message)
{
    err() << "vireo " << command << ": " << what << "\n";
    if (!message.isEmpty())
        err() << lines(message) << "\n";
    err().flush();
}

const CancelToken& interruptToken() { return interrupted; }

InterruptGuard::InterruptGuard()
{
    interrupted.store(false);
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
}

InterruptGuard::~InterruptGuard()
{
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
}

BoardLine::BoardLine(const Target& t) : target_(t), serial_(t.port) {}

BoardLine::~BoardLine() { serial_.close(); }

int BoardLine::startTrace(const QString& command)
{
    if (target_.trace.isEmpty())
        return kOk;
    if (!serial_.startTrace(target_.trace, clock_)) {
        report(command, serial_.traceError());
        return kInvalid;
    }
    return kOk;
}

int BoardLine::open(const QString& command)
{
    if (serial_.isOpen() && !serial_.hasFailed())
        return kOk;
    if (serial_.isOpen())
        serial_.close(); // a port that failed is opened afresh
    if (!serial_.applySettings(Product::info(target_.product).line) || !serial_.open()) {
        report(command, QStringLiteral("cannot open the serial port: ") + serial_.errorMessage());
        return kPortUnavailable;
    }
    return kOk;
}

LinkContext BoardLine::context(std::function<void()> progress)
{
    return LinkContext{serial_, clock_, interrupted, std::move(progress), target_.timeout};
}

int pingStatus(const PingResult& result, const QString& command)
{
    switch (result.outcome) {
    case PingResult::Outcome::Established: return kOk;
    case PingResult::Outcome::LinkError:
        report(command, QStringLiteral("no answer from the board"), LinkMessages::kCommLinkError);
        return kFailed;
    case PingResult::Outcome::CodeRefused:
        report(command, QStringLiteral("the board refused the access code"), LinkMessages::kInvalidPassword);
        return kCodeRefused;
    case PingResult::Outcome::PortError:
        report(command, QStringLiteral("the port failed: ") + result.message, LinkMessages::kCommLinkError);
        return kFailed;
    }
    return kFailed;
}

int cancelledStatus(const QString& command)
{
    report(command, QStringLiteral("cancelled"), kCancelledMessage);
    return kStopped;
}

int transferStatus(const TransferResult& result, const Target& t, const QString& command)
{
    const QString done = QStringLiteral(" after %1 of %2 words")
                             .arg(result.wordsDone)
                             .arg(LinkOperations::progressMaximum(t.product));
    switch (result.end) {
    case TransferResult::End::Completed: return kOk;
    case TransferResult::End::Cancelled: return cancelledStatus(command);
    case TransferResult::End::TimedOut:
        report(command,
               QStringLiteral("timed out%1: no byte from the board for %2 s")
                   .arg(done, QString::number(t.timeout.count() / 1000.0)),
               kCancelledMessage.section(QLatin1Char('\n'), 1));
        return kStopped;
    case TransferResult::End::Failed:
        report(command, QStringLiteral("the link failed%1: %2").arg(done, result.message),
               LinkMessages::kCommLinkError);
        return kFailed;
    }
    return kFailed;
}

int linkCheckAndTransfer(BoardLine& line, const Target& t, const QString& command, const QString& code,
                         const QString& label, const std::function<TransferResult(LinkContext&)>& transfer)
{
    if (t.linkCheck) {
        LinkContext ctx = line.context();
        if (const int status = pingStatus(LinkOperations::ping(ctx, t.product, code), command); status != kOk)
            return status;
    }
    if (interrupted.load())
        return cancelledStatus(command);
    ProgressBar bar(label, LinkOperations::progressMaximum(t.product));
    LinkContext ctx = line.context([&bar] { bar.step(); });
    const TransferResult result = transfer(ctx);
    bar.finish();
    return transferStatus(result, t, command);
}

std::optional<int> openFile(const QString& path, BoardImage& image, const QString& command)
{
    const DataFile::LoadResult loaded = DataFile::load(path, image, DataFile::MarkerRule::Required);
    if (!loaded.ok()) {
        const bool unmarked = loaded.error == DataFile::Error::MissingMarker;
        const QString where = unmarked ? QFileInfo(path).fileName() + QStringLiteral(": ") : QString();
        report(command, where + loaded.message);
        return std::nullopt;
    }
    return loaded.count;
}

bool entriesWritable(Form& form, const QString& command)
{
    const QStringList problems = Editor::completeEntries(form);
    if (problems.isEmpty())
        return true;
    err() << "vireo " << command << ": these entries cannot be written:\n";
    for (const QString& p : problems)
        err() << "  " << p << "\n";
    err().flush();
    return false;
}

bool wordsWritable(const BoardImage& image, int product, const QString& command)
{
    const QStringList words = Editor::malformedWords(image, LinkOperations::lastWord(product));
    if (words.isEmpty())
        return true;
    report(command, QStringLiteral("nothing was written: ") + words.front());
    return false;
}

void backUp(const BoardImage& image, int product, bool read, const QString& command)
{
    const QDateTime now = QDateTime::currentDateTime();
    const Backups::Result saved = Backups::save(image, product, read ? Backups::Kind::Read : Backups::Kind::Write, now);
    if (!saved.ok)
        report(command, QStringLiteral("warning: ") + saved.message);
    const Backups::PruneResult pruned = Backups::prune(now);
    if (!pruned.message.isEmpty())
        report(command, QStringLiteral("warning: ") + pruned.message);
}

int writeToBoard(BoardLine& line, const Target& t, const QString& command, const QString& code,
                 const BoardImage& image, bool verifying)
{
    bool transferred = false;
    const int written = linkCheckAndTransfer(line, t, command, code, QStringLiteral("Writing Logic Board"),
                                             [&](LinkContext& ctx) {
                                                 transferred = true;
                                                 return LinkOperations::write(ctx, t.product, image);
                                             });
    if (transferred)
        backUp(image, t.product, false, command);
    if (written != kOk || !verifying)
        return written;
    return verify(line, t, image, command);
}

int verify(BoardLine& line, const Target& t, const BoardImage& sent, const QString& command)
{
    BoardImage back = sent; // words above N are not read, so they compare equal
    const Target noLinkCheck = [&] {
        Target v = t;
        v.linkCheck = false;
        return v;
    }();
    const int status = linkCheckAndTransfer(line, noLinkCheck, command, {}, QStringLiteral("Verifying Logic Board"),
                                            [&](LinkContext& ctx) {
                                                return LinkOperations::read(ctx, t.product, back);
                                            });
    if (status != kOk) {
        report(command, QStringLiteral("Verify FAILED: the board could not be read back"));
        return status;
    }
    const std::vector<Compare::Difference> diffs =
        Compare::differences(sent, back, t.product, LinkOperations::lastWord(t.product));
    for (const Compare::Difference& d : diffs)
        out() << Compare::describe(d, QStringLiteral(" on file, "), QStringLiteral(" on board")) << "\n";
    if (diffs.empty()) {
        out() << "Verify passed\n";
        out().flush();
        return kOk;
    }
    out() << "Verify FAILED: " << diffs.size() << (diffs.size() == 1 ? " difference\n" : " differences\n");
    out().flush();
    return kVerifyFailed;
}

} // namespace Cli
