#pragma once

#include "Port.h"

#include <QSerialPort>

// The real serial port, over QSerialPort. Use it on one thread only (the one
// that created it). When the line fails (device unplugged, peer gone) the port
// is closed at once: a port left open after its peer vanished spins a core.
// The failure is kept, as Port says, until close() or the next open().
class SerialPort final : public Port {
public:
    // COM1..COM4 (case ignored, a trailing ':' allowed): on Windows that port;
    // elsewhere the device in $VIREO_COM1..$VIREO_COM4, else /dev/ttyS0..3.
    // Any other text is a device path, taken as typed.
    static QString devicePathFor(const QString& portName);

    explicit SerialPort(const QString& portName = QStringLiteral("COM1"));

    // Only while closed.
    void setPortName(const QString& portName);
    QString devicePath() const { return path_; }

    bool open() override;
    void close() override;
    bool isOpen() const override;
    bool applySettings(const LineSettings& settings) override;
    qint64 bytesAvailable() override;
    QByteArray readAll() override;
    bool write(const QByteArray& bytes) override;
    bool waitForReadyRead(int ms) override;
    bool hasFailed() const override { return !error_.isEmpty(); }
    QString errorMessage() const override { return error_; }
    QString systemError() const override { return systemError_; }

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
    QString path_;
    LineSettings settings_;
    QString error_;
    QString systemError_;
    // A line failure QSerialPort reported from inside a call, acted on after it.
    QString lineError_;
    QString lineSystemError_;
};
