#pragma once

#include "BoardImage.h"
#include "Compare.h"
#include "DialogueResults.h"
#include "Form.h"
#include "LinkContext.h"
#include "SerialPort.h"

#include <QCommandLineParser>
#include <QString>

#include <chrono>
#include <csignal>
#include <functional>
#include <optional>

// What the board commands (ping, read, write, fleet) share: the window as start-up
// leaves it, where and how to reach the board, the open line with its optional
// trace, Ctrl+C, and each outcome as an exit status with the window's message.
namespace Cli {

// The window as start-up leaves it: design time, the product's profile, then its
// default data file from the working directory, when there is one.
struct Window {
    Form form = Form::designTime();
    BoardImage image;
    bool defaultLoaded = false;
};
Window startUp(int product);

// Where and how to talk to the board.
struct Target {
    int product = 0;
    QString port;
    QString code;
    std::chrono::milliseconds timeout{10000};
    bool linkCheck = true;
    bool raw = false;
    QString trace; // trace file; empty: no trace
};

// --product, --port, --code, --trace; with `transfer` also --timeout, and with
// `rawAndLinkCheck` --raw and --no-link-check.
void addTargetOptions(QCommandLineParser& parser, bool transfer, bool rawAndLinkCheck = true);

// A board command's name, usage line, number of file arguments, whether it transfers words.
struct BoardCommand {
    QString name;
    QString usage;
    int files;
    bool transfer;
    QString extraHelp = {}; // after the exit statuses in --help
};

// Parses a board command's arguments; nothing when it should end now with *status
// (its help was shown, or a usage error reported).
std::optional<Target> parseBoardCommand(QCommandLineParser& parser, const BoardCommand& c, const QStringList& args,
                                        int* status);

// The code the window would hand the board: what its Access Code box shows after start-up.
QString accessCode(const Target& t, const Window& start);

// "vireo COMMAND: what" and the window's message under it, on stderr.
void report(const QString& command, const QString& what, const QString& message = {});

// The dialogues notice this at their next wait; Ctrl+C sets it while an InterruptGuard lives.
const CancelToken& interruptToken();

// Ctrl+C (or a stop request) cancels the dialogue instead of killing the program, so
// the port is closed and nothing half-written is saved. A second Ctrl+C kills it.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

// The port with the product's line settings, traced when asked, the clock and the
// cancel token; closed again when it goes.
class BoardLine {
public:
    explicit BoardLine(const Target& t);
    ~BoardLine();
    BoardLine(const BoardLine&) = delete;
    BoardLine& operator=(const BoardLine&) = delete;

    // Starts the trace, when one was asked for; kOk, or kInvalid with the reason reported.
    int startTrace(const QString& command);
    // Opens the port unless it is open and working; kOk, or kPortUnavailable with the reason reported.
    int open(const QString& command);
    LinkContext context(std::function<void()> progress = {});

private:
    const Target& target_;
    SteadyClock clock_;
    SerialPort serial_;
};

// The link check's outcome as an exit status, with the window's message on stderr.
int pingStatus(const PingResult& result, const QString& command);
int cancelledStatus(const QString& command);
// A transfer's end as an exit status; kOk only when every word travelled.
int transferStatus(const TransferResult& result, const Target& t, const QString& command);

// Runs the link check unless told not to (the line must be open), then the transfer
// with a progress bar on a terminal.
int linkCheckAndTransfer(BoardLine& line, const Target& t, const QString& command, const QString& code,
                         const QString& label, const std::function<TransferResult(LinkContext&)>& transfer);

// The window's Open of a file up to its marker test; the number of words read, or
// nothing (reported) when the file is refused and the image untouched.
std::optional<int> openFile(const QString& path, BoardImage& image, const QString& command);
// Completes the entries as the window does before a write or a save; the ones it would
// still refuse are reported, and false returned.
bool entriesWritable(Form& form, const QString& command);
// The outgoing image holds only four-hexadecimal-digit words in 0..N, also where a file
// carried another word into a place no box writes; else reported, and false.
bool wordsWritable(const BoardImage& image, int product, const QString& command);

// The write of "Write to Logic Board" after the link check (unless told not to),
// backed up once it started, and verified when asked after a complete write.
int writeToBoard(BoardLine& line, const Target& t, const QString& command, const QString& code,
                 const BoardImage& image, bool verifying);

// Saves a backup of a board transfer and prunes old ones; a failure is a warning
// line on stderr and never changes the command's outcome.
void backUp(const BoardImage& image, int product, bool read, const QString& command);

// Reads the board back (no new link check: the board stays unlocked after a write)
// and compares words 0..N with what was sent, each difference on stderr by setting.
// kOk for "Verify passed", kVerifyFailed, or the read's own failure status.
int verify(BoardLine& line, const Target& t, const BoardImage& sent, const QString& command);

} // namespace Cli
