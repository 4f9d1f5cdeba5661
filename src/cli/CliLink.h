#pragma once

#include "BoardImage.h"
#include "BoardJob.h"
#include "Compare.h"
#include "DataFile.h"
#include "DialogueResults.h"
#include "EditorSession.h"
#include "Form.h"
#include "LinkContext.h"
#include "SystemPort.h"

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

// The window as start-up leaves it: the product's profile, then its default data
// file from the working directory, when there is one.
EditorSession startUp(int product);

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

// --product, --port, --code, --trace; with `transfer` also --timeout, with `raw`
// --raw, and with `linkCheckOption` --no-link-check. `productDefault` says where the
// product comes from without --product, when not from Config.ini.
void addTargetOptions(QCommandLineParser& parser, bool transfer, bool raw = true, bool linkCheckOption = true,
                      const QString& productDefault = {});
// --backup-first, of write and fleet: the board read into a before-write backup first.
void addBackupFirstOption(QCommandLineParser& parser);

// A board command's name, usage line, number of file arguments, whether it transfers words.
struct BoardCommand {
    QString name;
    QString usage;
    int files;
    bool transfer;
    QString extraHelp = {};       // after the exit statuses in --help
    bool transferStatuses = true; // --help lists the transfers' exit statuses
    // Without --product: the product the file arguments name (a backup's name), in
    // place of Config.ini's; reports why not itself.
    std::function<std::optional<int>(const QStringList& files)> productOfFiles = {};
};

// Parses a board command's arguments; nothing when it should end now with *status
// (its help was shown, or a usage error reported).
std::optional<Target> parseBoardCommand(QCommandLineParser& parser, const BoardCommand& c, const QStringList& args,
                                        int* status);

// The code the window would hand the board: what its Access Code box shows after start-up.
QString accessCode(const Target& t, const EditorSession& start);

// "vireo COMMAND: what" and the window's message under it, on stderr.
void report(const QString& command, const QString& what, const QString& message = {});

// The dialogues notice this at their next wait; Ctrl+C sets it while an InterruptGuard lives.
const CancelToken& interruptToken();

// Ctrl+C (or a stop request; on Windows also Ctrl+Break) cancels the dialogue instead
// of killing the program, so the port is closed and nothing half-written is saved. A
// second Ctrl+C kills it.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
#ifndef Q_OS_WIN
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
#endif
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
    std::unique_ptr<Port> serial_;
};

// A file Open refused, reported ("vireo write: name.tv2: Invalid Tervalo File"); false then.
bool reportOpen(const DataFile::LoadResult& loaded, const QString& path, const QString& command);
// What "Write to Logic Board" would send (EditorSession::outgoing); the entries it
// refuses, or a word a board cannot take, are reported, and nothing returned.
std::optional<BoardImage> outgoingImage(EditorSession& session, const QString& command);
std::optional<BoardImage> outgoingImage(const EditorSession::Outgoing& outgoing, const QString& command);

// A board job's end as an exit status.
int exitStatus(BoardJob::End end);

// Runs a board job over the line, with a progress bar on stderr for each transfer
// when it is a terminal; reports how it ended (the window's message under vireo's
// own line), a backup that failed, and a verify's findings; returns the exit status.
int runJob(BoardLine& line, const Target& t, const QString& command, const BoardJob::Request& request,
           BoardJob::Result* result = nullptr);

} // namespace Cli
