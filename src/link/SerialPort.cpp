#include "SerialPort.h"

#include "SerialPortTexts.h"

#include <limits>

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif
#ifdef Q_OS_UNIX
#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr int kWriteTimeoutMillis = 2000;

using SerialPortTexts::kDisconnected;
using SerialPortTexts::kNotOpen;
using SerialPortTexts::kSettingsRefused;
using SerialPortTexts::kTakesNoMore;

QSerialPort::Parity qtParity(LineSettings::Parity p)
{
    switch (p) {
    case LineSettings::Parity::None: return QSerialPort::NoParity;
    case LineSettings::Parity::Even: return QSerialPort::EvenParity;
    case LineSettings::Parity::Odd: return QSerialPort::OddParity;
    case LineSettings::Parity::Mark: return QSerialPort::MarkParity;
    case LineSettings::Parity::Space: return QSerialPort::SpaceParity;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits qtStopBits(LineSettings::StopBits s)
{
    switch (s) {
    case LineSettings::StopBits::One: return QSerialPort::OneStop;
    case LineSettings::StopBits::OneAndHalf: return QSerialPort::OneAndHalfStop;
    case LineSettings::StopBits::Two: return QSerialPort::TwoStop;
    }
    return QSerialPort::TwoStop;
}

// A USB adapter hands over what the board sent once per tick of its latency timer
// (16 ms on FTDI's), so every acknowledgement of a write would wait that long. Low
// latency has the driver hand bytes over as they come (FTDI's: a 1 ms timer). A
// driver that does not take it (a pseudo-terminal) is left as it is.
void askForLowLatency([[maybe_unused]] QSerialPort& serial)
{
#ifdef Q_OS_LINUX
    const int fd = static_cast<int>(serial.handle());
    serial_struct line{};
    if (::ioctl(fd, TIOCGSERIAL, &line) == 0 && (line.flags & ASYNC_LOW_LATENCY) == 0) {
        line.flags |= ASYNC_LOW_LATENCY;
        ::ioctl(fd, TIOCSSERIAL, &line);
    }
#endif
}

} // namespace

QString SerialPort::devicePathFor(const QString& portName)
{
    return PortMap().devicePathFor(portName);
}

SerialPort::SerialPort(const QString& portName, const PortMap& map)
{
    QObject::connect(&serial_, &QSerialPort::errorOccurred, &serial_,
                     [this](QSerialPort::SerialPortError e) { noteLineError(e); });
    setPortName(portName, map);
}

void SerialPort::setPortName(const QString& portName, const PortMap& map)
{
    name_ = portName;
    map_ = map;
    path_ = map_.devicePathFor(name_);
}

bool SerialPort::doOpen()
{
    if (serial_.isOpen())
        return true;
    forgetFailure();
    // The environment may have named another device since the port was named.
    path_ = map_.devicePathFor(name_);
    serial_.setPortName(path_);
    serial_.setBaudRate(settings_.baudRate);
    serial_.setParity(qtParity(settings_.parity));
    serial_.setDataBits(static_cast<QSerialPort::DataBits>(settings_.dataBits));
    serial_.setStopBits(qtStopBits(settings_.stopBits));
    serial_.setFlowControl(QSerialPort::NoFlowControl);
    const bool opened = serial_.open(QIODevice::ReadWrite);
    if (!opened) {
        error_ = openFailureReason();
        systemError_ = serial_.errorString();
    } else {
        askForLowLatency(serial_);
    }
    // What QSerialPort said while opening is told above, or was no failure of the line.
    serial_.clearError();
    lineError_.clear();
    lineSystemError_.clear();
    return opened;
}

void SerialPort::doClose()
{
    if (serial_.isOpen())
        serial_.close();
    // A failure belongs to the job that closes the port now: the next one starts afresh.
    forgetFailure();
}

void SerialPort::forgetFailure()
{
    received_.clear();
    error_.clear();
    systemError_.clear();
    lineError_.clear();
    lineSystemError_.clear();
    serial_.clearError();
}

bool SerialPort::isOpen() const
{
    return serial_.isOpen();
}

bool SerialPort::doApplySettings(const LineSettings& settings)
{
    settings_ = settings;
    if (!serial_.isOpen())
        return true;
    const bool ok = serial_.setBaudRate(settings.baudRate) && serial_.setParity(qtParity(settings.parity))
                    && serial_.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits))
                    && serial_.setStopBits(qtStopBits(settings.stopBits));
    if (!ok)
        fail(path_ + kSettingsRefused, systemText());
    return ok;
}

qint64 SerialPort::doBytesAvailable()
{
    if (requireOpen())
        pullPending();
    return received_.size() + (serial_.isOpen() ? serial_.bytesAvailable() : 0);
}

QByteArray SerialPort::doReadAll()
{
    return doRead(std::numeric_limits<qint64>::max());
}

QByteArray SerialPort::doRead(qint64 maxBytes)
{
    if (requireOpen() && received_.size() + serial_.bytesAvailable() < maxBytes)
        pullPending();
    if (serial_.isOpen())
        received_ += serial_.readAll();
    return takeFront(received_, maxBytes);
}

bool SerialPort::doWrite(const QByteArray& bytes)
{
    if (!requireOpen())
        return false;
    if (serial_.write(bytes) != bytes.size()) {
        closeIfLineFailed();
        if (!hasFailed())
            fail(path_ + kTakesNoMore, systemText());
        return false;
    }
    // Hand the bytes to the line now: paced output times each byte from here.
    while (serial_.isOpen() && serial_.bytesToWrite() > 0) {
        if (!serial_.waitForBytesWritten(kWriteTimeoutMillis)) {
            closeIfLineFailed();
            if (!hasFailed())
                fail(path_ + kTakesNoMore, systemText());
            return false;
        }
    }
    closeIfLineFailed();
    return !hasFailed();
}

bool SerialPort::doWaitForReadyRead(int ms)
{
    if (!requireOpen())
        return false;
    const bool arrived = serial_.waitForReadyRead(ms);
    closeIfLineFailed();
    return arrived && !hasFailed();
}

bool SerialPort::requireOpen()
{
    if (hasFailed())
        return false;
    if (!serial_.isOpen()) {
        fail(path_ + kNotOpen);
        return false;
    }
    return true;
}

// QSerialPort moves bytes from the device into its buffer only when it is told
// they are there; a dialogue that slept looks for them itself.
void SerialPort::pullPending()
{
    serial_.waitForReadyRead(0);
    closeIfLineFailed();
}

// The first failure of a job is the one the technician is told.
void SerialPort::fail(const QString& why, const QString& system)
{
    if (error_.isEmpty()) {
        error_ = why;
        systemError_ = system;
    }
    // What arrived before the failure can still be read: a reply that came in just
    // before the cable was pulled is not lost with the line.
    if (serial_.isOpen()) {
        received_ += serial_.readAll();
        serial_.close();
    }
}

// Called from inside QSerialPort: only note the error here, act on it after the call returns.
void SerialPort::noteLineError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
        if (lineError_.isEmpty()) {
            lineError_ = path_ + kDisconnected;
            lineSystemError_ = serial_.errorString();
        }
        break;
    default: break;
    }
}

QString SerialPort::systemText() const
{
    return serial_.error() == QSerialPort::NoError ? QString() : serial_.errorString();
}

void SerialPort::closeIfLineFailed()
{
    if (!lineError_.isEmpty())
        fail(lineError_, lineSystemError_);
    else if (serial_.error() == QSerialPort::TimeoutError)
        serial_.clearError();
}

QString SerialPort::notThere() const
{
    return SerialPortTexts::notThere(SerialPortTexts::portAndDevice(name_, path_));
}

QString SerialPort::openFailureReason() const
{
#ifdef Q_OS_UNIX
    const QByteArray native = path_.toLocal8Bit();
    struct stat st {};
    if (::stat(native.constData(), &st) != 0 && errno == ENOENT)
        return notThere();
    if (::access(native.constData(), R_OK | W_OK) != 0 && errno == EACCES) {
        const struct group* g = ::getgrgid(st.st_gid);
        const QString group = g ? QString::fromLocal8Bit(g->gr_name) : QString::number(st.st_gid);
        return path_
               + QStringLiteral(": permission denied \u2014 add your user to the group '%1' "
                                "(sudo usermod -aG %1 $USER) and log in again")
                     .arg(group);
    }
#endif
    switch (serial_.error()) {
    case QSerialPort::DeviceNotFoundError: return notThere();
    case QSerialPort::PermissionError: return path_ + QStringLiteral(": in use by another program");
    case QSerialPort::UnsupportedOperationError: return path_ + QStringLiteral(": not a serial port");
    default: return path_ + QStringLiteral(": the port cannot be opened");
    }
}
