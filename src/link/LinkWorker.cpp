#include "LinkWorker.h"

#include "LinkOperations.h"
#include "SerialPort.h"

#include <Product.h>

LinkWorker::LinkWorker(QObject* parent, PortFactory makePort, ClockFactory makeClock,
                       std::shared_ptr<SerialTrace> trace)
    : QObject(parent), makePort_(std::move(makePort)), makeClock_(std::move(makeClock)), trace_(std::move(trace))
{
    qRegisterMetaType<LinkJobResult>();
    if (!makePort_)
        makePort_ = [](const QString& name, const PortMap& map) { return std::make_unique<SerialPort>(name, map); };
    if (!makeClock_)
        makeClock_ = [] { return std::make_unique<SteadyClock>(); };
    thread_.setObjectName(QStringLiteral("vireo-link"));
    threadContext_.moveToThread(&thread_);
    // Every connection is made before the thread starts; afterwards the signals
    // only say "look in the hand-off".
    connect(this, &LinkWorker::jobPosted, &threadContext_, [this] { runPendingJob(); }, Qt::QueuedConnection);
    connect(this, &LinkWorker::stopRequested, &threadContext_, [this] {
        // The port must go on the thread that made it; then the thread ends.
        // Held to the end: the destructor takes the lock after the thread has
        // gone, so everything done here is seen there.
        const std::lock_guard lock(handOff_);
        port_.reset();
        clock_.reset();
        QThread::currentThread()->quit();
    }, Qt::QueuedConnection);
    connect(this, &LinkWorker::stepTaken, this, [this] { emit progress(++progressValue_); }, Qt::QueuedConnection);
    connect(this, &LinkWorker::jobEnded, this, [this] { deliverResult(); }, Qt::QueuedConnection);
    connect(this, &LinkWorker::silenceNoticed, this, [this] { emit boardSilenceChanged(boardSilent_); },
            Qt::QueuedConnection);
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

void LinkWorker::cancel()
{
    cancel_ = true;
}

bool LinkWorker::start(Job job)
{
    bool idle = false;
    if (!busy_.compare_exchange_strong(idle, true))
        return false;
    cancel_ = false;
    progressValue_ = 0;
    {
        const std::lock_guard lock(handOff_);
        pendingJob_ = std::move(job);
    }
    emit jobPosted(QPrivateSignal{});
    return true;
}

void LinkWorker::runPendingJob()
{
    Job job;
    {
        const std::lock_guard lock(handOff_);
        if (!pendingJob_)
            return;
        job = std::move(*pendingJob_);
        pendingJob_.reset();
    }
    LinkJobResult result = job();
    {
        const std::lock_guard lock(handOff_);
        pendingResult_ = std::move(result);
    }
    // Queued behind every stepTaken of this job, so the progress comes first.
    emit jobEnded(QPrivateSignal{});
}

void LinkWorker::deliverResult()
{
    std::optional<LinkJobResult> result;
    {
        const std::lock_guard lock(handOff_);
        result.swap(pendingResult_);
    }
    if (!result)
        return;
    // busy_ is cleared right before the caller hears the result, so a slot of
    // finished may start the next job.
    busy_ = false;
    emit finished(*result);
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

bool LinkWorker::ensureOpen(LinkJobResult& result)
{
    if (port().isOpen())
        return true;
    if (port().applySettings(settings_) && port().open())
        return true;
    result.portOpened = false;
    result.message = port().errorMessage();
    // The reason went with this job; the next one finds the port closed and says so.
    port().close();
    return false;
}

bool LinkWorker::openPort(const QString& portName, const LineSettings& settings)
{
    return start([this, portName, settings] {
        LinkJobResult result{LinkJobResult::Job::OpenPort};
        if (port_)
            port_->close();
        portName_ = portName;
        settings_ = settings;
        port().setPortName(portName_, portMap());
        ensureOpen(result);
        return result;
    });
}

bool LinkWorker::closePort()
{
    return start([this] {
        if (port_)
            port_->close();
        return LinkJobResult{LinkJobResult::Job::ClosePort};
    });
}

bool LinkWorker::ping(int product, const QString& accessCode)
{
    if (!Product::isValid(product))
        return false;
    return start([this, product, accessCode] {
        LinkJobResult result{LinkJobResult::Job::Ping};
        LinkContext ctx{port(), *clock_, cancel_};
        result.ping = LinkOperations::ping(ctx, product, accessCode);
        if (port_->hasFailed())
            port_->close();
        return result;
    });
}

LinkJobResult LinkWorker::transfer(LinkJobResult::Job job, int product, const BoardImage& image)
{
    LinkJobResult result{job};
    result.image = image;
    if (!ensureOpen(result)) {
        result.transfer = {TransferResult::End::Failed, 0, result.message};
        return result;
    }
    LinkContext ctx{*port_, *clock_, cancel_, [this] { emit stepTaken(QPrivateSignal{}); }};
    const auto tellSilence = [this](bool silent) {
        boardSilent_ = silent;
        emit silenceNoticed(QPrivateSignal{});
    };
    ctx.silenceChanged = tellSilence;
    result.transfer = job == LinkJobResult::Job::Read ? LinkOperations::read(ctx, product, result.image)
                                                      : LinkOperations::write(ctx, product, result.image);
    if (ctx.boardSilent)
        tellSilence(false); // queued ahead of the result
    if (port_->hasFailed())
        port_->close();
    return result;
}

bool LinkWorker::read(int product, const BoardImage& image)
{
    if (!Product::isValid(product))
        return false;
    return start([this, product, image] { return transfer(LinkJobResult::Job::Read, product, image); });
}

bool LinkWorker::write(int product, const BoardImage& image)
{
    if (!Product::isValid(product))
        return false;
    return start([this, product, image] { return transfer(LinkJobResult::Job::Write, product, image); });
}

bool LinkWorker::forceInitialization()
{
    return start([this] {
        LinkJobResult result{LinkJobResult::Job::ForceInitialization};
        if (!ensureOpen(result))
            return result;
        LinkContext ctx{*port_, *clock_, cancel_};
        const LinkStatus sent = LinkOperations::forceInitialization(ctx);
        if (!sent.ok()) {
            result.message = sent.message;
            port_->close();
        }
        return result;
    });
}
