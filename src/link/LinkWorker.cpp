#include "LinkWorker.h"

#include "SystemPort.h"

LinkWorker::LinkWorker(QObject* parent, PortFactory makePort, ClockFactory makeClock,
                       std::shared_ptr<SerialTrace> trace)
    : QObject(parent), makePort_(std::move(makePort)), makeClock_(std::move(makeClock)), trace_(std::move(trace))
{
    if (!makePort_)
        makePort_ = makeSystemPort;
    if (!makeClock_)
        makeClock_ = [] { return std::make_unique<SteadyClock>(); };
    thread_.setObjectName(QStringLiteral("vireo-link"));
    threadContext_.moveToThread(&thread_);
    // Every connection is made before the thread starts; afterwards the signals
    // only say "look in the hand-off".
    connect(
        this, &LinkWorker::jobPosted, &threadContext_, [this] { runPendingJob(); }, Qt::QueuedConnection);
    connect(
        this, &LinkWorker::stopRequested, &threadContext_,
        [this] {
            // The port must go on the thread that made it; then the thread ends.
            // Held to the end: the destructor takes the lock after the thread has
            // gone, so everything done here is seen there.
            const std::lock_guard lock(handOff_);
            port_.reset();
            clock_.reset();
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    connect(
        this, &LinkWorker::eventsNoticed, this, [this] { deliverEvents(); }, Qt::QueuedConnection);
    connect(
        this, &LinkWorker::holdNoticed, this, [this] { deliverHold(); }, Qt::QueuedConnection);
    connect(
        this, &LinkWorker::jobEnded, this, [this] { deliverResult(); }, Qt::QueuedConnection);
    thread_.start();
}

LinkWorker::~LinkWorker()
{
    cancel();
    emit stopRequested(QPrivateSignal{});
    thread_.wait();
    const std::lock_guard lock(handOff_); // pairs with the stop above
}

bool LinkWorker::isBusy() const
{
    return busy_;
}

bool LinkWorker::isRunningDialogue() const
{
    return busy_ && dialogue_ && !holding_;
}

void LinkWorker::cancel()
{
    {
        const std::lock_guard lock(handOff_); // a job held before its verify wakes to it
        cancel_ = true;
    }
    resumedOrCancelled_.notify_all();
}

void LinkWorker::resume()
{
    {
        const std::lock_guard lock(handOff_);
        resumed_ = true;
    }
    resumedOrCancelled_.notify_all();
}

bool LinkWorker::start(Work work, std::function<void()> deliver, bool dialogue, Told told, Held held)
{
    bool idle = false;
    if (!busy_.compare_exchange_strong(idle, true))
        return false;
    dialogue_ = dialogue;
    cancel_ = false;
    deliver_ = std::move(deliver);
    told_ = std::move(told);
    const bool holds = bool(held);
    held_ = std::move(held);
    {
        const std::lock_guard lock(handOff_);
        pendingJob_ = Job{dialogue, std::move(work), holds};
    }
    emit jobPosted(QPrivateSignal{});
    return true;
}

void LinkWorker::runPendingJob()
{
    std::optional<Job> job;
    {
        const std::lock_guard lock(handOff_);
        job.swap(pendingJob_);
    }
    if (!job)
        return;
    if (job->dialogue)
        talk(*job);
    else
        job->work(nullptr); // a port change makes its own port
    {
        const std::lock_guard lock(handOff_); // publishes what the job wrote
        jobDone_ = true;
    }
    // Queued behind every signal of this job, so they all come first.
    emit jobEnded(QPrivateSignal{});
}

void LinkWorker::talk(const Job& job)
{
    LinkContext ctx{port(), *clock_, cancel_};
    ctx.tell = [this](const JobEvent& event) {
        {
            const std::lock_guard lock(handOff_);
            pendingEvents_.push_back(event);
        }
        emit eventsNoticed(QPrivateSignal{});
    };
    if (job.holds)
        ctx.holdBeforeVerify = [this] { return waitForResume(); };
    job.work(&ctx);
    tellSilence(ctx, false); // queued ahead of the result
    closeFailedPort(*port_);
}

bool LinkWorker::waitForResume()
{
    std::unique_lock lock(handOff_);
    resumed_ = false;
    holding_ = true;
    lock.unlock();
    // Behind the events told so far: the caller has seen the write end first.
    emit holdNoticed(QPrivateSignal{});
    lock.lock();
    resumedOrCancelled_.wait(lock, [this] { return resumed_ || cancel_; });
    holding_ = false;
    return !cancel_;
}

void LinkWorker::deliverEvents()
{
    std::vector<JobEvent> events;
    {
        const std::lock_guard lock(handOff_);
        events.swap(pendingEvents_);
    }
    for (const JobEvent& event : events) {
        if (told_)
            told_(event);
        emit jobEvent(event);
    }
}

void LinkWorker::deliverHold()
{
    if (held_)
        held_();
    else
        resume();
}

void LinkWorker::deliverResult()
{
    {
        const std::lock_guard lock(handOff_);
        if (!std::exchange(jobDone_, false))
            return;
    }
    // busy_ is cleared right before the caller hears the result, so a handler may
    // start the next job.
    std::function<void()> deliver = std::move(deliver_);
    told_ = {};
    held_ = {};
    busy_ = false;
    dialogue_ = false;
    if (deliver)
        deliver();
}

void LinkWorker::setPortMap(const PortMap& map)
{
    const std::lock_guard lock(handOff_);
    portMap_ = map;
}

PortMap LinkWorker::portMap()
{
    const std::lock_guard lock(handOff_);
    return portMap_;
}

Port& LinkWorker::port()
{
    if (!clock_)
        clock_ = makeClock_();
    if (!port_) {
        port_ = makePort_(portName_, portMap());
        if (trace_)
            port_->followTrace(trace_, *clock_);
    }
    return *port_;
}

bool LinkWorker::openPort(const QString& portName, const LineSettings& settings,
                          std::function<void(const PortChange&)> done)
{
    auto change = std::make_shared<PortChange>();
    return start(
        [this, portName, settings, change](LinkContext*) {
            if (port_)
                port_->close();
            portName_ = portName;
            settings_ = settings;
            port().setPortName(portName_, portMap());
            change->opened = openWorkingPort(port(), settings_, &change->message);
        },
        [done = std::move(done), change] {
            if (done)
                done(*change);
        },
        false);
}

bool LinkWorker::closePort(std::function<void()> done)
{
    return start(
        [this](LinkContext*) {
            if (port_)
                port_->close();
        },
        std::move(done), false);
}
