#pragma once

// The programmer's real serial port against the in-process virtual board over a
// pseudo-terminal, set up in one line: the end-to-end tests, the soak and the
// benchmark all run over it.
#include <BoardOnPty.h>
#include <LinkContext.h>
#include <Product.h>
#include <SerialPort.h>

#include <QString>

#include <chrono>
#include <memory>
#include <optional>

struct RigSetup {
    int product = 4;
    BoardFaults faults = {};
    bool lineRate = true; // emulate the line's character rate
    std::chrono::microseconds turnaround{std::chrono::milliseconds(5)};
    std::chrono::microseconds replyGap{std::chrono::milliseconds(5)}; // between read replies; 0: back to back
    std::chrono::microseconds latency{0};                             // a USB adapter's latency timer
    bool requireCode = false;                                         // most runs skip the link check
    std::optional<std::chrono::milliseconds> silenceTimeout = std::chrono::milliseconds(1500);
};

// Word i holds a value that shows where it came from: `salt` tells a board's
// memory from the programmer's image.
inline BoardImage markedImage(int product, int salt)
{
    BoardImage image = VirtualBoard::factoryMemory(product);
    for (int i = 1; i <= BoardImage::kLastIndex; ++i) {
        if (i < 17 || i > 19) // words 17..19 keep the access code 47203
            image.setWord(i, QStringLiteral("%1").arg((salt * 0x1000 + i) & 0xFFFF, 4, 16, QLatin1Char('0')).toUpper());
    }
    return image;
}

class PtyRig {
public:
    explicit PtyRig(const RigSetup& setup, const BoardImage& memory) : setup_(setup), memory_(memory)
    {
        ctx.silenceTimeout = setup.silenceTimeout;
    }
    PtyRig(const PtyRig&) = delete;
    PtyRig& operator=(const PtyRig&) = delete;

    // Starts the board on a new pseudo-terminal and opens the port with the
    // product's line settings; returns why not.
    std::optional<QString> start()
    {
        std::optional<QString> why;
        board_ = boardOnPty(makeBoard(setup_, memory_), setup_.lineRate ? baudOf(setup_.product) : 0, setup_.latency,
                            &why);
        if (why)
            return why;
        port.setPortName(board_->slavePath());
        port.applySettings(Product::info(setup_.product).line);
        if (!port.open())
            return port.errorMessage();
        return std::nullopt;
    }

    // A fresh board with `memory` on a new pseudo-terminal, and the same port
    // closed and opened again on it.
    std::optional<QString> replaceBoard(const BoardImage& memory)
    {
        port.close();
        memory_ = memory;
        return start();
    }

    static int baudOf(int product) { return Product::info(product).line.baudRate; }
    PtyBoard& board() { return *board_; } // once started
    // The cable pulled: the board and its end of the line are gone.
    void unplug() { board_.reset(); }

    SerialPort port{QStringLiteral("/dev/null")};
    SteadyClock clock;
    CancelToken cancel{false};
    int steps = 0;
    LinkContext ctx{port, clock, cancel,
                    [this](const JobEvent& e) { steps += e.kind == JobEvent::Kind::StepDone ? 1 : 0; }};

    static std::unique_ptr<VirtualBoard> makeBoard(const RigSetup& s, const BoardImage& memory)
    {
        BoardSetup setup;
        setup.product = s.product;
        setup.faults = s.faults;
        setup.turnaround = s.turnaround;
        setup.replyGap = s.replyGap;
        setup.requireCode = s.requireCode;
        return VirtualBoard::create(setup, memory);
    }

private:
    RigSetup setup_;
    BoardImage memory_; // the board's when it starts
    std::unique_ptr<PtyBoard> board_;
};
