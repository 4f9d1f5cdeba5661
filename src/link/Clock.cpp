#include "Clock.h"

#include <chrono>
#include <thread>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
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
    const Steady::time_point due{std::chrono::microseconds(micros)};
    while (Steady::now() < due)
        std::this_thread::sleep_until(due);
}
