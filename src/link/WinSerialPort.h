#pragma once

#include "Port.h"

#include <QByteArray>
#include <QString>

// The serial port on Windows, over the Win32 serial API in blocking mode: a read
// waits up to the time asked for the first byte and returns with whatever has come
// by then, a write returns once the system has taken the bytes. That is all the
// dialogues' polled waits need, and it needs no event thread: QSerialPort's Windows
// side learns of arriving bytes from a comm-event wait, which Wine does not keep
// running on a pseudo-terminal, so the tests under Wine could not see its replies
// in time.
//
// The port keeps the bytes it has taken from the system until they are read: a
// read may take fewer than have arrived, and bytesAvailable() counts them by taking
// them (the system's own count stays at 0 under Wine).
//
// Port names: COMn in any case, with or without a trailing ':' or the "\\.\"
// prefix (the device QSerialPortInfo gives); any other name is opened as typed.
// Use it on one thread. A failure is kept, as Port says, and closes the port.
class WinSerialPort final : public Port {
public:
    explicit WinSerialPort(const QString& portName = QStringLiteral("COM1"), const PortMap& map = {});
    ~WinSerialPort() override;

    // "COM7" for "\\.\com7" and "COM7:"; any other name as given.
    static QString displayName(const QString& device);

    // Whether the device is there and free, as opening it for a moment tells.
    enum class Presence { Free, InUse, Missing, Unknown };
    static Presence probe(const QString& device);
    // Why a port of that name did not open, from the system's error code:
    // "COM3 is in use by another program", "COM3 is not there: the adapter is unplugged or
    // was renamed".
    static QString openFailure(const QString& name, unsigned long systemCode);

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
    bool configure();
    // Takes the bytes the system holds, waiting up to `ms` for the first; false when
    // the line failed.
    bool receive(int ms);
    bool setReadWait(int ms);
    void fail(const QString& why, unsigned long systemCode);
    void forgetFailure();

    void* handle_; // the Win32 HANDLE; INVALID_HANDLE_VALUE while closed
    QString name_;
    PortMap map_;
    QString path_;
    LineSettings settings_;
    QByteArray received_;
    int readWaitMillis_ = -1; // the read timeout the system holds; -1 when unknown
    QString error_;
    QString systemError_;
};
