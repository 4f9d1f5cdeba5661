#include "PtyBoard.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr int kBitsPerChar = 11; // start, 8 data, 2 stop
constexpr int kBoardNice = -20;
constexpr auto kQueuePoll = std::chrono::milliseconds(1);
constexpr auto kLandingPoll = std::chrono::microseconds(25);
constexpr auto kLandingAllowance = std::chrono::milliseconds(1);

void makeRaw(int fd)
{
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
}

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

PtyBoard::PtyBoard(std::unique_ptr<VirtualBoard> board, int baud, std::chrono::microseconds latency)
    : board_(std::move(board)), charTime_(charTime(baud)), latency_(latency)
{
}

PtyBoard::~PtyBoard()
{
    stop();
    closeLine();
    closeFd(wakePipe_[0]);
    closeFd(wakePipe_[1]);
}

std::chrono::microseconds PtyBoard::charTime(int baud)
{
    if (baud <= 0)
        return {};
    return std::chrono::microseconds(kBitsPerChar * 1'000'000LL / baud);
}

std::optional<QString> PtyBoard::start()
{
    if (thread_.joinable())
        return std::nullopt;
    if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0)
        return systemError("cannot create a pseudo-terminal");
    char name[256] = {};
    if (ptsname_r(master_, name, sizeof name) != 0) {
        closeLine();
        return systemError("cannot name the pseudo-terminal");
    }
    slavePath_ = QString::fromLocal8Bit(name);
    // Each read by the programmer that returns bytes is an access to the slave.
    reads_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (reads_ >= 0 && inotify_add_watch(reads_, name, IN_ACCESS) < 0)
        closeFd(reads_);
    makeRaw(master_);
    makeRaw(slave_); // until the programmer sets its own line settings
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slave_, F_SETFD, FD_CLOEXEC);
    if (pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        closeLine();
        return systemError("cannot create a pipe");
    }
    stopping_ = false;
    thread_ = std::thread([this] { serve(); });
    return std::nullopt;
}

void PtyBoard::stop()
{
    if (!thread_.joinable())
        return;
    stopping_ = true;
    const char wake = 1;
    [[maybe_unused]] const auto n = ::write(wakePipe_[1], &wake, 1);
    thread_.join();
}

BoardImage PtyBoard::memory() const
{
    std::lock_guard lock(mutex_);
    return board_->memory();
}

void PtyBoard::setWord(int index, const QString& word)
{
    std::lock_guard lock(mutex_);
    board_->setWord(index, word);
}

QByteArray PtyBoard::received() const
{
    std::lock_guard lock(mutex_);
    return received_;
}

std::vector<PtyBoard::Clock::time_point> PtyBoard::receiveTimes() const
{
    std::lock_guard lock(mutex_);
    return receiveTimes_;
}

QByteArray PtyBoard::sent() const
{
    std::lock_guard lock(mutex_);
    return sent_;
}

std::vector<PtyBoard::Clock::time_point> PtyBoard::sendTimes() const
{
    std::lock_guard lock(mutex_);
    return sendTimes_;
}

void PtyBoard::serve()
{
    prctl(PR_SET_TIMERSLACK, 1000UL); // 1 us: the character rate is a few milliseconds
    // A board is a device of its own: it keeps its time whatever else the PC is doing,
    // and a busy PC only delays the programmer. Where the system allows it (root), the
    // board's thread gets the processor before everything else of normal priority;
    // elsewhere it stays as it is.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kBoardNice);
    started_ = Clock::now();
    std::optional<Outgoing> out;
    while (!stopping_) {
        const auto now = Clock::now();
        if (adapterTick_ && now >= *adapterTick_) {
            if (!flushAdapter(now))
                return;
            continue;
        }
        {
            std::lock_guard lock(mutex_);
            if (out && out->epoch != board_->epoch())
                out.reset(); // the board started a new dialogue: what it meant to say is void
            if (!out) {
                if (auto piece = board_->takePiece()) {
                    out = Outgoing{*piece, board_->epoch(), 0, std::max(lineFree_, lastReceived_) + piece->pause, {}};
                }
            }
        }

        std::optional<Clock::duration> wait; // none: until something arrives
        if (out) {
            wait = holdBack(*out, now);
            if (*wait == Clock::duration::zero()) {
                if (!transmit(*out, now))
                    return;
                if (out->offset >= out->piece.bytes.size())
                    out.reset();
                continue;
            }
        }
        if (adapterTick_)
            wait = std::min(wait.value_or(Clock::duration::max()), *adapterTick_ - now);

        pollfd fds[2] = {{master_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
        timespec timeout{};
        if (wait) {
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(*wait).count();
            timeout.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
            timeout.tv_nsec = static_cast<long>(ns % 1'000'000'000);
        }
        if (ppoll(fds, 2, wait ? &timeout : nullptr, nullptr) < 0 && errno != EINTR)
            return;
        if (fds[0].revents & (POLLERR | POLLNVAL))
            return;
        if (fds[0].revents & POLLIN)
            receiveFromLine(Clock::now());
    }
}

void PtyBoard::receiveFromLine(Clock::time_point now)
{
    char buffer[512];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0)
        return;
    std::lock_guard lock(mutex_);
    if (logging_) {
        received_.append(buffer, n);
        receiveTimes_.insert(receiveTimes_.end(), static_cast<std::size_t>(n), now);
    }
    lastReceived_ = now;
    board_->receive(QByteArrayView(buffer, n));
}

bool PtyBoard::programmerHasTakenAll()
{
    int pending = 0;
    if (ioctl(slave_, FIONREAD, &pending) != 0)
        return true;
    if (pending > 0)
        landed_ = true;
    return pending == 0;
}

bool PtyBoard::programmerReadSinceWrite()
{
    alignas(inotify_event) char events[1024];
    while (reads_ >= 0 && ::read(reads_, events, sizeof events) > 0)
        readSinceWrite_ = true; // an overflow of the queue says so too
    return readSinceWrite_;
}

std::optional<PtyBoard::Clock::duration> PtyBoard::holdBack(Outgoing& out, Clock::time_point now)
{
    auto due = out.due;
    if (out.offset == 0 && out.piece.afterTaken) {
        // Bytes still in the adapter have not reached the programmer at all.
        if (adapterTick_)
            return *adapterTick_ - now;
        if (!programmerHasTakenAll()) {
            out.takenSince.reset();
            return kQueuePoll;
        }
        // Not yet seen arriving: look closely for a while, as a quick programmer
        // takes the bytes within a fraction of a millisecond of their arrival.
        if (!landed_ && now - lastWrite_ < kLandingAllowance)
            return kLandingPoll;
        // Neither seen arriving nor read: the kernel has not handed them over yet
        // (it does so on its own time, later under load).
        if (!landed_ && reads_ >= 0 && !programmerReadSinceWrite())
            return kLandingPoll;
        if (!out.takenSince)
            out.takenSince = now;
        due = std::max(due, *out.takenSince + out.piece.pause);
    }
    if (now >= due)
        return Clock::duration::zero();
    return due - now;
}

ssize_t PtyBoard::handOver(const char* bytes, std::size_t count, Clock::time_point now)
{
    programmerReadSinceWrite(); // reads of earlier bytes do not count for these
    readSinceWrite_ = false;
    const ssize_t written = ::write(master_, bytes, count);
    if (written < 0)
        return errno == EAGAIN || errno == EINTR ? 0 : -1;
    lastWrite_ = now;
    landed_ = false;
    return written;
}

bool PtyBoard::flushAdapter(Clock::time_point now)
{
    const ssize_t written = handOver(adapter_.constData(), static_cast<std::size_t>(adapter_.size()), now);
    if (written < 0)
        return false;
    adapter_.remove(0, written);
    // What the programmer's queue could not take goes at the next tick.
    adapterTick_.reset();
    if (!adapter_.isEmpty())
        adapterTick_ = now + latency_;
    return true;
}

bool PtyBoard::transmit(Outgoing& out, Clock::time_point now)
{
    if (out.piece.hangup) {
        unplugged_ = true; // before the close, so whoever sees the hang-up also sees this
        closeLine();
        return false;
    }
    const QByteArray& bytes = out.piece.bytes;
    if (bytes.isEmpty())
        return true;
    // At a line rate the bytes go one at a time, a character time apart.
    const qsizetype count = charTime_.count() > 0 ? 1 : bytes.size() - out.offset;
    ssize_t written = count;
    if (latency_.count() > 0) {
        // The adapter collects what arrives and hands it over at its next tick.
        adapter_.append(bytes.constData() + out.offset, count);
        if (!adapterTick_)
            adapterTick_ = started_ + (((now - started_) / latency_) + 1) * latency_;
    } else {
        written = handOver(bytes.constData() + out.offset, static_cast<std::size_t>(count), now);
        if (written < 0)
            return false;
        if (written == 0) {
            out.due = now + kQueuePoll; // the programmer's queue is full: try again shortly
            return true;
        }
    }
    {
        std::lock_guard lock(mutex_);
        if (logging_) {
            sent_.append(bytes.constData() + out.offset, written);
            sendTimes_.insert(sendTimes_.end(), static_cast<std::size_t>(written), now);
        }
    }
    out.offset += written;
    lineFree_ = now + charTime_ * written;
    out.due = lineFree_;
    return true;
}

void PtyBoard::closeLine()
{
    closeFd(reads_);
    closeFd(master_);
    closeFd(slave_);
}
