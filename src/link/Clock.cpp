#include "Clock.h"

#include <chrono>
#include <thread>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>

#include <timeapi.h>
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif
#endif

namespace {

using Steady = std::chrono::steady_clock;

void lowerTimerSlackOnce()
{
#ifdef Q_OS_LINUX
    // 50 us, also where the program inherited a larger slack (some session
    // managers raise it for background programs): pauses of 8 ms stay near 8 ms.
    thread_local const bool done = [] {
        prctl(PR_SET_TIMERSLACK, 50000UL, 0UL, 0UL, 0UL);
        return true;
    }();
    (void)done;
#endif
}

} // namespace

#ifdef Q_OS_WIN
// Windows's timer ticks every 15.6 ms, and a plain sleep of 8 ms lasts a whole tick.
// A waitable timer made high-resolution (Windows 10 1803 and later) wakes within a
// fraction of a millisecond; where the system refuses one, the system timer is set to
// 1 ms for the length of each pause and put back after it.
class SteadyClock::PauseTimer {
public:
    PauseTimer()
        : timer_(CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS))
    {
    }
    ~PauseTimer()
    {
        if (timer_)
            CloseHandle(timer_);
    }
    PauseTimer(const PauseTimer&) = delete;
    PauseTimer& operator=(const PauseTimer&) = delete;

    void pause(qint64 micros)
    {
        if (timer_) {
            LARGE_INTEGER due;
            due.QuadPart = -micros * 10; // relative, in units of 100 ns
            if (SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE)) {
                WaitForSingleObject(timer_, INFINITE);
                return;
            }
        }
        timeBeginPeriod(1);
        Sleep(static_cast<DWORD>((micros + 999) / 1000));
        timeEndPeriod(1);
    }

private:
    HANDLE timer_;
};
#else
class SteadyClock::PauseTimer {};
#endif

SteadyClock::SteadyClock() = default;
SteadyClock::~SteadyClock() = default;

qint64 SteadyClock::nowMicros() const
{
    return std::chrono::duration_cast<std::chrono::microseconds>(Steady::now().time_since_epoch()).count();
}

void SteadyClock::sleepFor(qint64 micros)
{
    sleepUntil(nowMicros() + micros);
}

void SteadyClock::sleepUntil(qint64 micros)
{
    lowerTimerSlackOnce();
#ifdef Q_OS_WIN
    if (!timer_)
        timer_ = std::make_unique<PauseTimer>();
    for (qint64 left = micros - nowMicros(); left > 0; left = micros - nowMicros())
        timer_->pause(left);
#else
    const Steady::time_point due{std::chrono::microseconds(micros)};
    while (Steady::now() < due)
        std::this_thread::sleep_until(due);
#endif
}
