#pragma once

// A virtual board served on a pseudo-terminal, started: the far end of a real serial
// line for the end-to-end tests (the programmer opens slavePath()).
#include <PtyBoard.h>
#include <VirtualBoard.h>

#include <QDebug>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

// baud 0: the board's bytes go out as fast as the pseudo-terminal takes them; with a
// latency, through an adapter that hands them over once per tick. When no
// pseudo-terminal could be made, *why says so, or the test's log when why is null.
inline std::unique_ptr<PtyBoard> boardOnPty(std::unique_ptr<VirtualBoard> board, int baud = 0,
                                            std::chrono::microseconds latency = {},
                                            std::optional<QString>* why = nullptr)
{
    auto pty = std::make_unique<PtyBoard>(std::move(board), baud, latency);
    const std::optional<QString> failed = pty->start();
    if (why)
        *why = failed;
    else if (failed)
        qWarning("no pseudo-terminal: %s", qPrintable(*failed));
    return pty;
}

inline std::unique_ptr<PtyBoard> boardOnPty(const BoardSetup& setup, const BoardImage& memory, int baud = 0,
                                            std::chrono::microseconds latency = {},
                                            std::optional<QString>* why = nullptr)
{
    return boardOnPty(VirtualBoard::create(setup, memory), baud, latency, why);
}
