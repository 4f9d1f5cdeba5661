#pragma once

#include "LineSettings.h"

#include <QByteArray>
#include <QString>

// The serial port as the board dialogues use it. Every byte 0x00..0xFF travels
// unchanged both ways. An operation on a port that is closed or has failed
// (device gone, peer vanished) leaves it failed: hasFailed() then stays true and
// errorMessage() keeps the reason of the first failure, until close() or the next
// successful open(). A failure belongs to the job it happened in: the job closes
// the port when it ends, and the next operation on the closed port fails afresh,
// saying the port is not open.
class Port {
public:
    virtual ~Port() = default;

    // Opens the port; on failure errorMessage() gives a reason a technician can act on.
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Only applied while closed, as the board families change line settings.
    virtual bool applySettings(const LineSettings& settings) = 0;

    // Received bytes not yet read.
    virtual qint64 bytesAvailable() = 0;
    // Every received byte not yet read, in one piece; afterwards none is pending.
    virtual QByteArray readAll() = 0;
    // Hands the bytes over to the line, in order.
    virtual bool write(const QByteArray& bytes) = 0;
    // Blocks until new bytes arrive or ms pass; true when new bytes arrived.
    // Only new bytes wake it: look at bytesAvailable() first.
    virtual bool waitForReadyRead(int ms) = 0;

    virtual bool hasFailed() const = 0;
    // In the technician's words, starting with the device.
    virtual QString errorMessage() const = 0;
    // The operating system's own words for the same failure, for the serial trace
    // only; empty when it said nothing.
    virtual QString systemError() const { return {}; }
};
