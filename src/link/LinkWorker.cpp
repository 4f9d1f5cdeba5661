#include "LinkWorker.h"

#include "LinkOperations.h"
#include "SerialPort.h"

#include <Product.h>

LinkWorker::LinkWorker(QObject* parent, PortFactory makePort, ClockFactory makeClock)
    : QObject(parent), makePort_(std::move(makePort)), makeClock_(std::move(makeClock))
{
    qRegisterMetaType<LinkJobResult>();
    if (!makePort_)
        makePort_ = [](const QString& name) { return std::make_unique<SerialPort>(name); };
    if (!makeClock_)
        makeClock_ = [] { return std::make_unique<SteadyClock>(); };
    thread_.setObjectName(QStringLiteral("vireo-link"));
    threadContext_.moveToThread(&thread_);
    thread_.start();
}

LinkWorker::~LinkWorker()
{
    cancel_ = true;
    // The port must go on the thread that made it; then the thread ends.
    QMetaObject::invokeMethod(&threadContext_, [this] {
        port_.reset();
        clock_.reset();
        QThread::currentThread()->quit();
    }, Qt::QueuedConnection);
    thread_.wait();
}

bool LinkWorker::isBusy() const
{
    return busy_;
}

void LinkWorker::cancel()
{
    cancel_ = true;
}

bool LinkWorker::start(std::function<LinkJobResult()> job)
{
    bool idle = false;
    if (!busy_.compare_exchange_strong(idle, true))
        return false;
    cancel_ = false;
    QMetaObject::invokeMethod(&threadContext_, [this, job = std::move(job)] {
        LinkJobResult result = job();
        // busy_ is cleared on the caller's thread, right before it hears the result.
        QMetaObject::invokeMethod(this, [this, result = std::move(result)] {
            busy_ = false;
            emit finished(result);
        }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
    return true;
}

Port& LinkWorker::port()
{
    if (!port_)
        port_ = makePort_(portName_);
    if (!clock_)
        clock_ = makeClock_();
    return *port_;
}

bool LinkWorker::ensureOpen(LinkJobResult& result)
{
    if (port().isOpen())
        return true;
    QString why;
    const auto settings = LineSettings::parse(settings_, &why);
    if (settings && port().applySettings(*settings) && port().open())
        return true;
    result.portOpened = false;
    result.message = settings ? port().errorMessage() : why;
    return false;
}

bool LinkWorker::openPort(const QString& portName, const QString& settings)
{
    return start([this, portName, settings] {
        LinkJobResult result{LinkJobResult::Job::OpenPort};
        if (port_)
            port_->close();
        port_.reset(); // a new name makes a new port
        portName_ = portName;
        settings_ = settings;
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
    int value = 0;
    LinkContext ctx{*port_, *clock_, cancel_, [this, &value] { emit progress(++value); }};
    result.transfer = job == LinkJobResult::Job::Read ? LinkOperations::read(ctx, product, result.image)
                                                      : LinkOperations::write(ctx, product, result.image);
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
