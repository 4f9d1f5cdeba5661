#pragma once

#include "VirtualBoard.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Serves a virtual board on the master side of a pseudo-terminal, on its own
// thread; the programmer opens the slave side as its serial port.
//
// A pseudo-terminal has no line speed, so the board puts its bytes out at the
// character rate of the baud it is given (11 bits a character). Like a board, it
// sends its read replies on its own, one after another, whether or not the
// programmer has taken the last one. With an adapter latency it stands in for a
// USB serial adapter as well: what it sends reaches the programmer once per tick
// of the adapter's latency timer, in one batch. Closing the master, which the
// unplug fault does, is what the programmer sees as a pulled cable; it is pulled
// once the programmer has taken what was sent before it (its receive queue, watched
// through a descriptor of the board's own, is empty, and it has read from it since
// the last byte went out, watched with inotify), so the words before the fault
// always get through.
class PtyBoard {
public:
    using Clock = std::chrono::steady_clock;

    // baud 0: bytes go out as fast as the pseudo-terminal takes them. latency 0:
    // each byte is handed over as it leaves the board; else once per latency tick.
    PtyBoard(std::unique_ptr<VirtualBoard> board, int baud,
             std::chrono::microseconds latency = std::chrono::microseconds(0));
    ~PtyBoard();
    PtyBoard(const PtyBoard&) = delete;
    PtyBoard& operator=(const PtyBoard&) = delete;

    // Returns why the pseudo-terminal could not be made.
    std::optional<QString> start();
    void stop();

    QString slavePath() const { return slavePath_; }
    static std::chrono::microseconds charTime(int baud);

    // The byte logs below are for tests; a board that serves for hours keeps none.
    void setLogging(bool on) { logging_ = on; }

    BoardImage memory() const;
    // Changes one word of the board's memory (a cell that did not keep its value).
    void setWord(int index, const QString& word);
    QByteArray received() const;                         // every byte from the programmer
    std::vector<Clock::time_point> receiveTimes() const; // one per received byte
    QByteArray sent() const;                             // every byte put on the line
    std::vector<Clock::time_point> sendTimes() const;    // one per byte sent
    bool unplugged() const { return unplugged_; }

private:
    struct Outgoing {
        Piece piece;
        quint64 epoch = 0;
        qsizetype offset = 0;
        Clock::time_point due;
        std::optional<Clock::time_point> takenSince; // when the programmer's queue was last seen empty
    };

    void serve();
    void receiveFromLine(Clock::time_point now);
    bool programmerHasTakenAll();
    // Whether the programmer has read from the line since the board last wrote to it.
    bool programmerReadSinceWrite();
    // How long to wait before the current piece may go out; zero when it may go now.
    std::optional<Clock::duration> holdBack(Outgoing& out, Clock::time_point now);
    // false when the line is gone.
    bool transmit(Outgoing& out, Clock::time_point now);
    // Bytes handed to the programmer's end; -1 when the line is gone, 0 when its
    // queue is full for now.
    ssize_t handOver(const char* bytes, std::size_t count, Clock::time_point now);
    // The adapter's batch, at its tick; false when the line is gone.
    bool flushAdapter(Clock::time_point now);
    void closeLine();

    std::unique_ptr<VirtualBoard> board_;
    const std::chrono::microseconds charTime_;
    const std::chrono::microseconds latency_;
    Clock::time_point started_{};
    QByteArray adapter_;                           // sent by the board, not yet handed over
    std::optional<Clock::time_point> adapterTick_; // when adapter_ goes
    int master_ = -1;
    int slave_ = -1; // held so the slave's queue can be watched and survives the programmer closing it
    int wakePipe_[2] = {-1, -1};
    int reads_ = -1; // inotify: the programmer's reads from the slave; -1 where it cannot be watched
    bool readSinceWrite_ = false;
    QString slavePath_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> unplugged_{false};
    std::atomic<bool> logging_{true};
    Clock::time_point lineFree_{};
    // Bytes written to the master reach the slave's queue a little later (the kernel
    // moves them on its own time), so an empty queue right after a write says nothing.
    Clock::time_point lastWrite_{};
    bool landed_ = true; // the last bytes written were seen waiting at the programmer
    Clock::time_point lastReceived_{};

    mutable std::mutex mutex_; // guards board_ and the logs below
    QByteArray received_;
    std::vector<Clock::time_point> receiveTimes_;
    QByteArray sent_;
    std::vector<Clock::time_point> sendTimes_;
};
