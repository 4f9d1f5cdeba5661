#pragma once

#include "Port.h"

#include <QSerialPort>

// The real serial port, over QSerialPort. Use it on one thread only (the one
// that created it). When the line fails (device unplugged, peer gone) the port
// is closed at once: a port left open after its peer vanished spins a core.
// The failure is kept, as Port says, until close() or the next open(); so are the
// bytes that arrived before it, which can still be read.
class SerialPort final : public Port {
public:
    // The device for a port name with no mapping: COM1..COM4 as $VIREO_COM1..4 or
    // /dev/ttyS0..3 say (on Windows that port), any other text as typed (PortMap).
    static QString devicePathFor(const QString& portName);

    explicit SerialPort(const QString& portName = QStringLiteral("COM1"), const PortMap& map = {});

    // Only while closed. The device is looked up again each time the port opens.
    void setPortName(const QString& portName, const PortMap& map = {}) override;
    QString devicePath() const { return path_; }

    bool isOpen() const override;
    bool hasFailed() const override { return !error_.isEmpty(); }
    QString errorMessage() const override { return error_; }
    QString systemError() const override { return systemError_; }

protected:
    bool doOpen() override;
    void doClose() override;
    bool doApplySettings(const LineSettings& settings) override;
    qint64 doBytesAvailable() override;
    QByteArray doReadAll() override;
    QByteArray doRead(qint64 maxBytes) override;
    bool doWrite(const QByteArray& bytes) override;
    bool doWaitForReadyRead(int ms) override;

private:
    bool requireOpen();
    void pullPending();
    void fail(const QString& why, const QString& system = {});
    void forgetFailure();
    void noteLineError(QSerialPort::SerialPortError error);
    void closeIfLineFailed();
    QString openFailureReason() const;
    // QSerialPort's own text for its current error; empty when it has none.
    QString systemText() const;

    QSerialPort serial_;
    QString name_;
    PortMap map_;
    QString path_;
    LineSettings settings_;
    // Received bytes taken out of QSerialPort: kept when the line fails, until close().
    QByteArray received_;
    QString error_;
    QString systemError_;
    // A line failure QSerialPort reported from inside a call, acted on after it.
    QString lineError_;
    QString lineSystemError_;
};
