// vireo ping, read and write: the Clone menu's link check, read and write, run
// over the serial port as the window runs them, for scripts and batch programming.
#include "CliSupport.h"
#include "Commands.h"

#include "DataFile.h"
#include "Editor.h"
#include "LinkMessages.h"
#include "LinkOperations.h"
#include "MemoryMap.h"
#include "Product.h"
#include "SerialPort.h"
#include "SettingsFile.h"
#include "WordCodecs.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <csignal>
#include <functional>

#include <unistd.h>

namespace Cli {

namespace {

const QString kPingUsage = QStringLiteral("vireo ping [--product N] [--port PORT] [--code CODE]");
const QString kReadUsage = QStringLiteral("vireo read -o OUT.tv2 [--product N] [--port PORT] [--code CODE] [--raw] "
                                          "[--no-link-check] [--timeout SECONDS]");
const QString kWriteUsage = QStringLiteral("vireo write FILE.tv2 [--product N] [--port PORT] [--code CODE] [--raw] "
                                           "[--no-link-check] [--timeout SECONDS]");

const QString kCancelledMessage = QStringLiteral("Data Transfer Cancelled...\nLogic Board Power must be re-cycled.");

const QString kExitStatuses = QStringLiteral(
    "Exit status: 0 done; 1 no answer from the board, or the port failed during the dialogue;\n"
    "2 wrong usage or invalid data file; 3 access code refused; 4 cancelled (Ctrl+C) or timed out;\n"
    "5 the serial port cannot be opened.");

constexpr double kDefaultTimeoutSeconds = 10;

// The dialogues notice this at their next wait; Ctrl+C sets it.
CancelToken interrupted{false};
static_assert(CancelToken::is_always_lock_free, "set from a signal handler");

extern "C" void onInterrupt(int) { interrupted.store(true); }

// Ctrl+C (or a stop request) cancels the dialogue instead of killing the program, so
// the port is closed and nothing half-written is saved. A second Ctrl+C kills it.
class InterruptGuard {
public:
    InterruptGuard()
    {
        interrupted.store(false);
        struct sigaction action {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
    }
    ~InterruptGuard()
    {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

// The window as start-up leaves it: design time, the product's profile, then its
// default data file from the working directory, when there is one.
struct Window {
    Form form = Form::designTime();
    BoardImage image;
    bool defaultLoaded = false;
};

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

// Where and how to talk to the board.
struct Target {
    int product = 0;
    QString port;
    QString code;
    std::chrono::milliseconds timeout{qRound64(kDefaultTimeoutSeconds * 1000)};
    bool linkCheck = true;
    bool raw = false;
};

void addTargetOptions(QCommandLineParser& parser, bool transfer)
{
    parser.addOption({QStringLiteral("product"),
                      QStringLiteral("The product 1..5 of the Product menu (default: the programmer's, from "
                                     "Config.ini in the working directory)."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("port"),
                      QStringLiteral("COM1..COM4 (on Linux the device in $VIREO_COM1..$VIREO_COM4, else "
                                     "/dev/ttyS0..3) or a device path (default: the programmer's, from Config.ini)."),
                      QStringLiteral("PORT")});
    parser.addOption({QStringLiteral("code"),
                      QStringLiteral("The five-digit access code (default: the one in the product's default data "
                                     "file in the working directory, else 47203)."),
                      QStringLiteral("CODE")});
    if (!transfer)
        return;
    parser.addOption({QStringLiteral("raw"),
                      QStringLiteral("Take the words as they are, without the editor's reading of them.")});
    parser.addOption({QStringLiteral("no-link-check"),
                      QStringLiteral("Do not run the link check first (the board must already be unlocked).")});
    parser.addOption({QStringLiteral("timeout"),
                      QStringLiteral("Give up after this many seconds without a byte from the board (default 10)."),
                      QStringLiteral("SECONDS")});
}

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
    t.linkCheck = !parser.isSet(QStringLiteral("no-link-check"));
    t.raw = parser.isSet(QStringLiteral("raw"));
    return t;
}

// The code the window would hand the board: what its Access Code box shows after start-up.
QString accessCode(const Target& t, const Window& start)
{
    if (!t.code.isEmpty())
        return t.code;
    return start.defaultLoaded ? start.form.ProgAccessCode.text : Editor::kDefaultAccessCode;
}

// The link's messages use CR LF for a message box; a terminal wants LF.
QString lines(const QString& message)
{
    QString text = message;
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

void report(const QString& command, const QString& what, const QString& message = {})
{
    err() << "vireo " << command << ": " << what << "\n";
    if (!message.isEmpty())
        err() << lines(message) << "\n";
    err().flush();
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
              << QString(kWidth - filled, QLatin1Char(' '))
              << "] " << value_ << "/" << maximum_;
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

// The port opened with the product's line settings, the clock and the cancel token;
// closed again when it goes.
class BoardLine {
public:
    explicit BoardLine(const Target& t) : target_(t), port_(t.port) {}
    ~BoardLine() { port_.close(); }
    BoardLine(const BoardLine&) = delete;
    BoardLine& operator=(const BoardLine&) = delete;

    // Exit status kOk, or kPortUnavailable with the reason reported.
    int open(const QString& command)
    {
        const std::optional<LineSettings> settings =
            LineSettings::parse(QString::fromLatin1(Product::info(target_.product).serialSettings));
        if (!settings || !port_.applySettings(*settings) || !port_.open()) {
            report(command, QStringLiteral("cannot open the serial port: ") + port_.errorMessage());
            return kPortUnavailable;
        }
        return kOk;
    }

    LinkContext context(std::function<void()> progress = {})
    {
        return LinkContext{port_, clock_, interrupted, std::move(progress), target_.timeout};
    }

private:
    const Target& target_;
    SerialPort port_;
    SteadyClock clock_;
};

// The link check's outcome as an exit status, with the window's message on stderr.
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

// A transfer's end as an exit status; kOk only when every word travelled.
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

// Opens the port, runs the link check unless told not to, then the transfer; the
// port is closed again whatever the end.
int runTransfer(const Target& t, const QString& command, const QString& code, const QString& label,
                const std::function<TransferResult(LinkContext&)>& transfer)
{
    InterruptGuard guard;
    BoardLine line(t);
    if (const int opened = line.open(command); opened != kOk)
        return opened;
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

// Parses a board command's arguments; nothing when it should end now with *status.
// A board command's name, usage line, number of file arguments, and whether it transfers words.
struct BoardCommand {
    QString name;
    QString usage;
    int files;
    bool transfer;
};

std::optional<Target> parseBoardCommand(QCommandLineParser& parser, const BoardCommand& c, const QStringList& args,
                                        int* status)
{
    const QString& command = c.name;
    const QString& usage = c.usage;
    *status = kInvalid;
    if (!parseArguments(parser, command, args))
        return std::nullopt;
    if (parser.isSet(QStringLiteral("help"))) {
        printHelp(parser, usage);
        out() << "\n" << kExitStatuses << "\n";
        out().flush();
        *status = kOk;
        return std::nullopt;
    }
    if (parser.positionalArguments().size() != c.files) {
        err() << "Usage: " << usage << "\n";
        return std::nullopt;
    }
    return resolveTarget(parser, command, c.transfer);
}

bool isBoardWord(const QString& word)
{
    static const QRegularExpression fourHexDigits(QStringLiteral("^[0-9A-F]{4}$"));
    return fourHexDigits.match(word).hasMatch();
}

// The window's Open of a file up to its marker test; the number of words read, or
// nothing (reported) when the file is refused and the image untouched.
std::optional<int> openFile(const QString& path, BoardImage& image)
{
    const DataFile::LoadResult loaded = DataFile::load(path, image, DataFile::MarkerRule::Required);
    if (!loaded.ok()) {
        const bool unmarked = loaded.error == DataFile::Error::MissingMarker;
        const QString where = unmarked ? QFileInfo(path).fileName() + QStringLiteral(": ") : QString();
        report(QStringLiteral("write"), where + loaded.message);
        return std::nullopt;
    }
    return loaded.count;
}

// "write --raw": the file's words 0..N exactly, each four hexadecimal digits, marker in word 0.
std::optional<BoardImage> rawFileImage(const QString& path, const Target& t, BoardImage image)
{
    const std::optional<int> count = openFile(path, image);
    if (!count)
        return std::nullopt;
    const int last = LinkOperations::lastWord(t.product);
    if (*count <= last) {
        report(QStringLiteral("write"), QStringLiteral("%1 holds %2 words; %3 sends words 0 to %4")
                                            .arg(QFileInfo(path).fileName())
                                            .arg(*count)
                                            .arg(QString::fromLatin1(Product::info(t.product).caption))
                                            .arg(last));
        return std::nullopt;
    }
    for (int k = 0; k <= last; ++k) {
        if (!isBoardWord(image.word(k))) {
            report(QStringLiteral("write"),
                   QStringLiteral("word %1 of %2 is \"%3\", not four hexadecimal digits (0-9, A-F)")
                                                .arg(k)
                                                .arg(QFileInfo(path).fileName(), image.word(k)));
            return std::nullopt;
        }
    }
    return image;
}


// Entries the window would refuse to write or save.
bool entriesWritable(const Form& form, const QString& command)
{
    const QStringList problems = Editor::entryProblems(form);
    if (problems.isEmpty())
        return true;
    err() << "vireo " << command << ": these entries cannot be written:\n";
    for (const QString& p : problems)
        err() << "  " << p << "\n";
    err().flush();
    return false;
}

} // namespace

int ping(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs the link check of \"Establish Comm Link to Logic Board\": wakes the board and hands it the "
        "access code."));
    addTargetOptions(parser, false);
    int status = kInvalid;
    const std::optional<Target> t =
        parseBoardCommand(parser, {QStringLiteral("ping"), kPingUsage, 0, false}, args, &status);
    if (!t)
        return status;
    const Window start = startUp(t->product);
    InterruptGuard guard;
    BoardLine line(*t);
    if (const int opened = line.open(QStringLiteral("ping")); opened != kOk)
        return opened;
    LinkContext ctx = line.context();
    status = pingStatus(LinkOperations::ping(ctx, t->product, accessCode(*t, start)), QStringLiteral("ping"));
    if (status == kOk)
        out() << "Communications Link is Established\n";
    return status;
}

int read(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reads the board's words 0..N (N = 98, or 249 for products 3 and 4) and saves OUT as the window would "
        "save after \"Read from Logic Board\" and \"Save As...\": the product's default data file in the working "
        "directory fills the words the board does not send. OUT is written only after a complete read."));
    parser.addOption({{QStringLiteral("o"), QStringLiteral("output")},
                      QStringLiteral("The board data file to write."), QStringLiteral("OUT")});
    addTargetOptions(parser, true);
    int status = kInvalid;
    const std::optional<Target> t =
        parseBoardCommand(parser, {QStringLiteral("read"), kReadUsage, 0, true}, args, &status);
    if (!t)
        return status;
    if (!parser.isSet(QStringLiteral("o"))) {
        err() << "Usage: " << kReadUsage << "\n";
        return kInvalid;
    }
    const QString outPath = parser.value(QStringLiteral("o"));
    Window w = startUp(t->product);
    BoardImage image = w.image; // the transfer works on a copy
    status = runTransfer(*t, QStringLiteral("read"), accessCode(*t, w), QStringLiteral("Reading Logic Board"),
                         [&](LinkContext& ctx) { return LinkOperations::read(ctx, t->product, image); });
    if (status != kOk)
        return status;
    if (!t->raw) {
        Editor::UpdateGUI(w.form, image);
        if (!WordCodec::hasMarker(image.word(MemoryMap::kHeader))) {
            report(QStringLiteral("read"), QStringLiteral("word 0 from the board is \"%1\": ").arg(image.word(0))
                                               + DataFile::kInvalidFileMessage);
            return kInvalid;
        }
        Editor::ReadGUI(w.form, image);
    }
    const DataFile::SaveResult saved = DataFile::save(outPath, image);
    if (!saved.ok()) {
        report(QStringLiteral("read"), saved.message);
        return kInvalid;
    }
    return kOk;
}

int write(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes FILE to the board as the window would after \"Open...\" and \"Write to Logic Board\": words 0..N "
        "(N = 98, or 249 for products 3 and 4) as the editor reads them from the file."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A board data file (*.tv2)."));
    addTargetOptions(parser, true);
    int status = kInvalid;
    const std::optional<Target> t =
        parseBoardCommand(parser, {QStringLiteral("write"), kWriteUsage, 1, true}, args, &status);
    if (!t)
        return status;
    const QString path = parser.positionalArguments().front();
    Window w = startUp(t->product);
    const QString code = accessCode(*t, w); // the code in the box before the file is opened
    BoardImage image;
    if (t->raw) {
        const std::optional<BoardImage> file = rawFileImage(path, *t, w.image);
        if (!file)
            return kInvalid;
        image = *file;
    } else {
        if (!openFile(path, w.image))
            return kInvalid;
        Editor::UpdateGUI(w.form, w.image);
        if (!entriesWritable(w.form, QStringLiteral("write")))
            return kInvalid;
        Editor::ReadGUI(w.form, w.image);
        image = w.image;
    }
    return runTransfer(*t, QStringLiteral("write"), code, QStringLiteral("Writing Logic Board"),
                       [&](LinkContext& ctx) { return LinkOperations::write(ctx, t->product, image); });
}

} // namespace Cli
