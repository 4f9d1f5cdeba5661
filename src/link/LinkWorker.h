#pragma once

#include "Clock.h"
#include "DialogueResults.h"
#include "Port.h"
#include "SerialTrace.h"

#include <BoardImage.h>

#include <QObject>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

// What a job of the LinkWorker came to.
struct LinkJobResult {
    enum class Job { OpenPort, ClosePort, Ping, Read, Write, ForceInitialization };

    Job job = Job::OpenPort;
    // False when the job could not open the port (OpenPort, Read, Write,
    // ForceInitialization); message says why.
    bool portOpened = true;
    QString message = {};
    PingResult ping = {};         // Ping
    TransferResult transfer = {}; // Read, Write
    // Read, Write: the caller's copy of the image, holding exactly the words the
    // dialogue got to (completed, cancelled or failed). Replace the image with it.
    BoardImage image = {};
};
Q_DECLARE_METATYPE(LinkJobResult)

// Runs the board dialogues on a thread of its own, so the window never freezes.
// Create and use it on the GUI thread. It owns the serial port, which lives on
// its thread; jobs run one at a time, in the order given.
//
// A job method returns false (and does nothing) while another job is running
// or when the product is none of the product menu's.
// Each job ends with one finished(result), delivered on the caller's thread;
// a read or write emits progress(value) on that thread too, after each progress
// step and before the result, with value counting 1, 2, ... from the start of
// the job (the progress bar's maximum is LinkOperations::progressMaximum(product)).
//
// The port is not opened by ping() (a closed port makes the check fail);
// read(), write() and forceInitialization() open it first when it is closed,
// with the name and settings of the last openPort(). A port that fails during
// a job is closed, so the next job can open it again. The worker has one port
// for its life, made on its first job: openPort() closes and renames it.
class LinkWorker : public QObject {
    Q_OBJECT

public:
    using PortFactory = std::function<std::unique_ptr<Port>(const QString& portName, const PortMap& map)>;
    using ClockFactory = std::function<std::unique_ptr<Clock>()>;

    // The default factories make a SerialPort and a SteadyClock; both are made
    // and destroyed on the worker's thread. The port's trace follows `trace`
    // when one is given.
    explicit LinkWorker(QObject* parent = nullptr, PortFactory makePort = {}, ClockFactory makeClock = {},
                        std::shared_ptr<SerialTrace> trace = {});
    ~LinkWorker() override; // cancels a running transfer and waits for it to end

    // What COM1..COM4 mean from the next openPort() on. Callable from any thread.
    void setPortMap(const PortMap& map);

    // portName: "COM1".."COM4" or a device path; settings: the product's.
    // Closes the port, changes name and settings, opens it again.
    bool openPort(const QString& portName, const LineSettings& settings);
    bool closePort();
    bool ping(int product, const QString& accessCode);
    bool read(int product, const BoardImage& image);
    bool write(int product, const BoardImage& image);
    // "01" CR, paced; nothing is read back.
    bool forceInitialization();

    // Callable from any thread. A transfer ends at its next wait that finds too
    // few bytes (Icom: next pass of its framed wait); nothing is sent to the board.
    void cancel();
    bool isBusy() const;

signals:
    void progress(int value);
    void finished(const LinkJobResult& result);
    // During a read or write: the board has said nothing for a while (true), or its
    // next byte arrived (false). Always false again before the transfer's finished().
    void boardSilenceChanged(bool silent);

    // The hand-offs between the two threads. They carry nothing: the job and its
    // result travel in pendingJob_ and pendingResult_ under handOff_.
    void jobPosted(QPrivateSignal);
    void stepTaken(QPrivateSignal);
    void jobEnded(QPrivateSignal);
    void stopRequested(QPrivateSignal);
    void silenceNoticed(QPrivateSignal);

private:
    using Job = std::function<LinkJobResult()>;

    bool start(Job job);
    void runPendingJob();     // on thread_
    void deliverResult();     // on the caller's thread
    Port& port();
    PortMap portMap();
    bool ensureOpen(LinkJobResult& result);
    LinkJobResult transfer(LinkJobResult::Job job, int product, const BoardImage& image);

    PortFactory makePort_;
    ClockFactory makeClock_;
    std::shared_ptr<SerialTrace> trace_;
    QThread thread_;
    QObject threadContext_; // lives on thread_: jobs are posted to it

    // Touched only on thread_.
    std::unique_ptr<Port> port_;
    std::unique_ptr<Clock> clock_;
    QString portName_ = QStringLiteral("COM1");
    LineSettings settings_;

    // Every hand-off between the threads passes through these, under the lock,
    // never inside a posted functor: the order of events between the threads
    // is then plain to read, and plain to ThreadSanitizer, which cannot see
    // through Qt's event queue.
    std::mutex handOff_;
    std::optional<Job> pendingJob_;
    std::optional<LinkJobResult> pendingResult_;
    PortMap portMap_;

    int progressValue_ = 0; // the caller's thread only
    std::atomic<bool> busy_{false};
    std::atomic<bool> cancel_{false};
    std::atomic<bool> boardSilent_{false};
};
