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
        this, &LinkWorker::stepTaken, this, [this] { emit progress(++progressValue_); }, Qt::QueuedConnection);
    connect(
        this, &LinkWorker::startNoticed, this, [this] { deliverStart(); }, Qt::QueuedConnection);
    connect(
        this, &LinkWorker::silenceNoticed, this, [this] { emit boardSilenceChanged(boardSilent_); },
        Qt::QueuedConnection);
    connect(
        this, &LinkWorker::jobEnded, this, [this] { deliverResult(); }, Qt::QueuedConnection);
    thread_.start();
}

LinkWorker::~LinkWorker()
{
    cancel_ = true;
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
    return busy_ && dialogue_;
}

void LinkWorker::cancel()
{
    cancel_ = true;
}

bool LinkWorker::start(Work work, std::function<void()> deliver, bool dialogue, Starting starting)
{
    bool idle = false;
    if (!busy_.compare_exchange_strong(idle, true))
        return false;
    dialogue_ = dialogue;
    cancel_ = false;
    progressValue_ = 0;
    deliver_ = std::move(deliver);
    starting_ = std::move(starting);
    {
        const std::lock_guard lock(handOff_);
        pendingJob_ = Job{dialogue, std::move(work)};
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
        talk(job->work);
    else
        job->work(nullptr); // a port change makes its own port
    {
        const std::lock_guard lock(handOff_); // publishes what the job wrote
        jobDone_ = true;
    }
    // Queued behind every signal of this job, so they all come first.
    emit jobEnded(QPrivateSignal{});
}

void LinkWorker::talk(const Work& work)
{
    const auto tellSilence = [this](bool silent) {
        boardSilent_ = silent;
        emit silenceNoticed(QPrivateSignal{});
    };
    LinkContext ctx{port(), *clock_, cancel_, [this] { emit stepTaken(QPrivateSignal{}); }};
    ctx.silenceChanged = tellSilence;
    ctx.transferStarting = [this](const QString& label, int maximum) {
        {
            const std::lock_guard lock(handOff_);
            pendingStart_.emplace(label, maximum);
        }
        emit startNoticed(QPrivateSignal{});
    };
    work(&ctx);
    if (ctx.boardSilent)
        tellSilence(false); // queued ahead of the result
    // A port that failed is closed, so the next job can open it again.
    if (port_->hasFailed())
        port_->close();
}

void LinkWorker::deliverStart()
{
    std::optional<std::pair<QString, int>> start;
    {
        const std::lock_guard lock(handOff_);
        start.swap(pendingStart_);
    }
    if (!start)
        return;
    if (starting_)
        starting_(start->first, start->second);
    emit transferStarting(start->first, start->second);
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
    starting_ = {};
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

bool LinkWorker::ensureOpen(QString* why)
{
    if (port().isOpen())
        return true;
    if (port().applySettings(settings_) && port().open())
        return true;
    *why = port().errorMessage();
    // A port that did not open is closed, so the next link check finds it closed and
    // says so, instead of repeating the reason of this open.
    port().close();
    return false;
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
            change->opened = ensureOpen(&change->message);
        },
        [done = std::move(done), change] {
            if (done)
                done(*change);
        },
        false, {});
}

bool LinkWorker::closePort(std::function<void()> done)
{
    return start(
        [this](LinkContext*) {
            if (port_)
                port_->close();
        },
        std::move(done), false, {});
}
