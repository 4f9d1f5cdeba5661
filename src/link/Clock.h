#pragma once

#include <QtGlobal>

#include <memory>

// Time as the dialogues see it, in microseconds of a steady clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 nowMicros() const = 0;
    virtual void sleepFor(qint64 micros) = 0;
    // Never returns before the given time.
    virtual void sleepUntil(qint64 micros) = 0;
};

// The real clock. Sleeps overshoot by up to the thread's timer slack, so the first
// sleep on each thread sets that slack to 50 us (Linux): paced output stays close
// to 8 ms a byte (measured here: 8.15 ms on average, never less than 8). On Windows
// a sleep waits on a high-resolution timer, not on the system's 15.6 ms tick.
class SteadyClock final : public Clock {
public:
    SteadyClock();
    ~SteadyClock() override;
    SteadyClock(const SteadyClock&) = delete;
    SteadyClock& operator=(const SteadyClock&) = delete;

    qint64 nowMicros() const override;
    void sleepFor(qint64 micros) override;
    void sleepUntil(qint64 micros) override;

private:
    // Windows: the timer the sleeps wait on, made at the first. A clock of its own
    // for each thread that sleeps, as a timer serves one wait at a time.
    class PauseTimer;
    std::unique_ptr<PauseTimer> timer_;
};

// Test time: moves only when someone sleeps or advances it.
class VirtualClock final : public Clock {
public:
    qint64 nowMicros() const override { return now_; }
    void sleepFor(qint64 micros) override { advanceTo(now_ + micros); }
    void sleepUntil(qint64 micros) override { advanceTo(micros); }
    void advanceTo(qint64 micros)
    {
        if (micros > now_)
            now_ = micros;
    }

private:
    qint64 now_ = 0;
};
