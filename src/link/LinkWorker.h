#pragma once

#include "Clock.h"
#include "LineSettings.h"
#include "LinkContext.h"
#include "Port.h"
#include "SerialTrace.h"

#include <QObject>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// Runs the dialogues with the board on a thread of its own, so the window never
// freezes. Create and use it on the GUI thread. It owns the serial port, which
// lives on its thread; jobs run one at a time.
//
// A job is any function over a LinkContext (in practice BoardJob::run); it runs on
// the worker's thread and its result goes to the handler the job was started with,
// on the caller's thread. Meanwhile the job's events (its phases, their steps, the
// board's silence) come back in order, before the handler.
// A job method returns false (and does nothing) while another job is running.
class LinkWorker : public QObject {
    Q_OBJECT

public:
    using PortFactory = std::function<std::unique_ptr<Port>(const QString& portName, const PortMap& map)>;
    using ClockFactory = std::function<std::unique_ptr<Clock>()>;
    using Told = std::function<void(const JobEvent& event)>;
    using Held = std::function<void()>;

    // The default factories make the system's serial port (SystemPort.h) and a
    // SteadyClock; both are made and destroyed on the worker's thread. The worker has
    // one port for its life, made on its first job; its trace follows `trace` when one
    // is given.
    explicit LinkWorker(QObject* parent = nullptr, PortFactory makePort = {}, ClockFactory makeClock = {},
                        std::shared_ptr<SerialTrace> trace = {});
    ~LinkWorker() override; // cancels a running job and waits for it to end

    // What COM1..COM4 mean from the next openPort() on. Callable from any thread.
    void setPortMap(const PortMap& map);

    // How a port change ended.
    struct PortChange {
        bool opened = true;
        QString message; // why the port did not open
    };
    // portName: "COM1".."COM4" or a device path; settings: the product's. Closes the
    // port, renames it, opens it again with the settings.
    bool openPort(const QString& portName, const LineSettings& settings,
                  std::function<void(const PortChange&)> done = {});
    bool closePort(std::function<void()> done = {});

    // A dialogue with the board. `told`, when given, hears of each of the job's events
    // on the caller's thread (as jobEvent does). `held`, when given, is called on the
    // caller's thread when the job waits between a write and its verify
    // (LinkContext::holdBeforeVerify); the job goes on at resume(), or ends at cancel().
    template <typename Result>
    bool run(std::function<Result(LinkContext&)> job, std::function<void(const Result&)> done, Told told = {},
             Held held = {})
    {
        auto result = std::make_shared<std::optional<Result>>();
        return start([job = std::move(job), result](LinkContext* ctx) { result->emplace(job(*ctx)); },
                     [done = std::move(done), result] {
                         if (done)
                             done(**result);
                     },
                     true, std::move(told), std::move(held));
    }

    // Callable from any thread. A transfer ends at its next wait that finds too
    // few bytes (Icom: next pass of its framed wait); nothing is sent to the board.
    void cancel();
    // The job held before its verify goes on. Callable from any thread.
    void resume();
    bool isBusy() const;
    // A dialogue with the board is running (not a port change, nor a job held before
    // its verify).
    bool isRunningDialogue() const;

signals:
    // Each event of the running job. The board's silence is always told false again
    // before the job's handler runs.
    void jobEvent(const JobEvent& event);

    // The hand-offs between the two threads. They carry nothing: the job and what
    // it tells travel in the slots under handOff_.
    void jobPosted(QPrivateSignal);
    void eventsNoticed(QPrivateSignal);
    void holdNoticed(QPrivateSignal);
    void jobEnded(QPrivateSignal);
    void stopRequested(QPrivateSignal);

private:
    // A dialogue gets the context over the port; a port change gets none.
    using Work = std::function<void(LinkContext*)>;
    struct Job {
        bool dialogue;
        Work work;
        bool holds; // the caller hears of a hold and resumes it
    };

    bool start(Work work, std::function<void()> deliver, bool dialogue, Told told = {}, Held held = {});
    void runPendingJob();      // on thread_
    void talk(const Job& job); // on thread_
    bool waitForResume();      // on thread_
    void deliverEvents();      // on the caller's thread
    void deliverHold();        // on the caller's thread
    void deliverResult();      // on the caller's thread
    Port& port();
    PortMap portMap();

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
    std::vector<JobEvent> pendingEvents_;
    bool resumed_ = false; // the hold may end
    std::condition_variable resumedOrCancelled_;
    bool jobDone_ = false;
    PortMap portMap_;

    // The caller's thread only.
    std::function<void()> deliver_;
    Told told_;
    Held held_;

    std::atomic<bool> busy_{false};
    std::atomic<bool> dialogue_{false};
    std::atomic<bool> cancel_{false};
    std::atomic<bool> holding_{false}; // the job waits before its verify: nothing is said to the board
};
