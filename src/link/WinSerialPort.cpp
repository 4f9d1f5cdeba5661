#include "WinSerialPort.h"

#include "SerialPortTexts.h"

#include <QRegularExpression>

#include <utility>

#include <windows.h>

namespace {

using SerialPortTexts::kDisconnected;
using SerialPortTexts::kNotOpen;
using SerialPortTexts::kSettingsRefused;
using SerialPortTexts::kTakesNoMore;

// A write of a few bytes is on the line in milliseconds; one that takes this long
// has met a line that takes nothing more (a flow-controlled or stuck adapter).
constexpr DWORD kWriteTimeoutMillis = 2000;
constexpr DWORD kWriteMillisPerByte = 10;
constexpr DWORD kReadChunk = 4096;

// Qt keeps the JIT stack of its regular expressions in a thread_local object. Under
// Wine a program whose link thread had one (that thread matches port names) never
// ended: MinGW's C++ runtime, cleaning up at exit, waited forever in
// pthread_key_delete. Port names need no compiled matching; set before main, before
// Qt looks at it.
const bool kRegexJitOff = qputenv("QT_ENABLE_REGEXP_JIT", "0");

HANDLE native(void* handle)
{
    return static_cast<HANDLE>(handle);
}

const QRegularExpression& comName()
{
    static const QRegularExpression name(QStringLiteral("^(?:\\\\\\\\\\.\\\\)?COM([0-9]+):?$"),
                                         QRegularExpression::CaseInsensitiveOption);
    return name;
}

// What CreateFile opens: "\\.\COMn" (the only form that reaches COM10 and above).
std::wstring win32Path(const QString& device)
{
    const QRegularExpressionMatch m = comName().match(device.trimmed());
    const QString path = m.hasMatch() ? QStringLiteral("\\\\.\\COM%1").arg(m.captured(1)) : device;
    return path.toStdWString();
}

BYTE win32Parity(LineSettings::Parity p)
{
    switch (p) {
    case LineSettings::Parity::None: return NOPARITY;
    case LineSettings::Parity::Even: return EVENPARITY;
    case LineSettings::Parity::Odd: return ODDPARITY;
    case LineSettings::Parity::Mark: return MARKPARITY;
    case LineSettings::Parity::Space: return SPACEPARITY;
    }
    return NOPARITY;
}

BYTE win32StopBits(LineSettings::StopBits s)
{
    switch (s) {
    case LineSettings::StopBits::One: return ONESTOPBIT;
    case LineSettings::StopBits::OneAndHalf: return ONE5STOPBITS;
    case LineSettings::StopBits::Two: return TWOSTOPBITS;
    }
    return TWOSTOPBITS;
}

WinSerialPort::Presence presenceAfter(DWORD openError)
{
    switch (openError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return WinSerialPort::Presence::Missing;
    // Windows opens a serial port for one program at a time.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return WinSerialPort::Presence::InUse;
    default: return WinSerialPort::Presence::Unknown;
    }
}

HANDLE openDevice(const QString& device)
{
    return CreateFileW(win32Path(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

} // namespace

WinSerialPort::WinSerialPort(const QString& portName, const PortMap& map) : handle_(INVALID_HANDLE_VALUE)
{
    setPortName(portName, map);
}

WinSerialPort::~WinSerialPort()
{
    if (isOpen())
        CloseHandle(native(handle_));
}

QString WinSerialPort::displayName(const QString& device)
{
    const QRegularExpressionMatch m = comName().match(device.trimmed());
    return m.hasMatch() ? QStringLiteral("COM%1").arg(m.captured(1)) : device;
}

WinSerialPort::Presence WinSerialPort::probe(const QString& device)
{
    const HANDLE h = openDevice(device);
    if (h == INVALID_HANDLE_VALUE)
        return presenceAfter(GetLastError());
    CloseHandle(h);
    return Presence::Free;
}

QString WinSerialPort::openFailure(const QString& name, unsigned long systemCode)
{
    switch (presenceAfter(systemCode)) {
    case Presence::Missing: return SerialPortTexts::notThere(name);
    case Presence::InUse: return name + QStringLiteral(" is in use by another program");
    default: return name + QStringLiteral(": the port cannot be opened");
    }
}

void WinSerialPort::setPortName(const QString& portName, const PortMap& map)
{
    name_ = portName;
    map_ = map;
    path_ = map_.devicePathFor(name_);
}

bool WinSerialPort::isOpen() const
{
    return native(handle_) != INVALID_HANDLE_VALUE;
}

bool WinSerialPort::doOpen()
{
    if (isOpen())
        return true;
    forgetFailure();
    // The environment may have named another device since the port was named.
    path_ = map_.devicePathFor(name_);
    const HANDLE h = openDevice(path_);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        fail(openFailure(SerialPortTexts::portAndDevice(name_, displayName(path_)), code), code);
        return false;
    }
    handle_ = h;
    if (!configure())
        return false;
    // Nothing from before this open is the board's answer to this job.
    PurgeComm(h, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    return true;
}

// The product's line settings, no flow control, DTR and RTS raised (as Linux raises
// them on open: some programming cables take their power from them).
bool WinSerialPort::configure()
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(native(handle_), &dcb)) {
        fail(displayName(path_) + QStringLiteral(": not a serial port"), GetLastError());
        return false;
    }
    dcb.BaudRate = static_cast<DWORD>(settings_.baudRate);
    dcb.ByteSize = static_cast<BYTE>(settings_.dataBits);
    dcb.Parity = win32Parity(settings_.parity);
    dcb.StopBits = win32StopBits(settings_.stopBits);
    dcb.fBinary = TRUE;
    dcb.fParity = settings_.parity != LineSettings::Parity::None;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE; // a received 0x00 is a byte like any other
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;
    if (!SetCommState(native(handle_), &dcb)) {
        fail(displayName(path_) + kSettingsRefused, GetLastError());
        return false;
    }
    readWaitMillis_ = -1;
    return setReadWait(0);
}

// A read returns at once with what has arrived; with nothing there, it waits up to
// `ms` for the first byte and returns as soon as one comes (0: it never waits).
bool WinSerialPort::setReadWait(int ms)
{
    if (ms == readWaitMillis_)
        return true;
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = MAXDWORD;
    t.ReadTotalTimeoutMultiplier = ms > 0 ? MAXDWORD : 0;
    t.ReadTotalTimeoutConstant = ms > 0 ? static_cast<DWORD>(ms) : 0;
    t.WriteTotalTimeoutMultiplier = kWriteMillisPerByte;
    t.WriteTotalTimeoutConstant = kWriteTimeoutMillis;
    if (!SetCommTimeouts(native(handle_), &t)) {
        fail(displayName(path_) + kDisconnected, GetLastError());
        return false;
    }
    readWaitMillis_ = ms;
    return true;
}

void WinSerialPort::doClose()
{
    if (isOpen())
        CloseHandle(native(handle_));
    handle_ = INVALID_HANDLE_VALUE;
    received_.clear();
    // A failure belongs to the job that closes the port now: the next one starts afresh.
    forgetFailure();
}

void WinSerialPort::forgetFailure()
{
    error_.clear();
    systemError_.clear();
}

bool WinSerialPort::doApplySettings(const LineSettings& settings)
{
    settings_ = settings;
    return !isOpen() || configure();
}

bool WinSerialPort::receive(int ms)
{
    if (!setReadWait(ms))
        return false;
    char chunk[kReadChunk];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(native(handle_), chunk, kReadChunk, &got, nullptr)) {
            fail(displayName(path_) + kDisconnected, GetLastError());
            return false;
        }
        received_.append(chunk, static_cast<qsizetype>(got));
        if (got < kReadChunk)
            return true;
        // More may be waiting: take it without waiting.
        if (!setReadWait(0))
            return false;
    }
}

qint64 WinSerialPort::doBytesAvailable()
{
    if (!requireOpen() || !receive(0))
        return 0;
    return received_.size();
}

QByteArray WinSerialPort::doReadAll()
{
    if (!requireOpen() || !receive(0))
        return {};
    return std::exchange(received_, {});
}

QByteArray WinSerialPort::doRead(qint64 maxBytes)
{
    if (!requireOpen() || !receive(0))
        return {};
    return takeFront(received_, maxBytes);
}

bool WinSerialPort::doWrite(const QByteArray& bytes)
{
    if (!requireOpen())
        return false;
    DWORD written = 0;
    if (!WriteFile(native(handle_), bytes.constData(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        fail(displayName(path_) + kDisconnected, GetLastError());
        return false;
    }
    if (written != static_cast<DWORD>(bytes.size())) {
        fail(displayName(path_) + kTakesNoMore, ERROR_TIMEOUT);
        return false;
    }
    return true;
}

bool WinSerialPort::doWaitForReadyRead(int ms)
{
    if (!requireOpen())
        return false;
    const qsizetype before = received_.size();
    return receive(ms) && received_.size() > before;
}

bool WinSerialPort::requireOpen()
{
    if (hasFailed())
        return false;
    if (!isOpen()) {
        fail(displayName(path_) + kNotOpen, 0);
        return false;
    }
    return true;
}

// The first failure of a job is the one the technician is told. A failed line is
// closed: what it had received goes with it.
void WinSerialPort::fail(const QString& why, unsigned long systemCode)
{
    if (error_.isEmpty()) {
        error_ = why;
        systemError_ = systemCode ? qt_error_string(static_cast<int>(systemCode)) : QString();
    }
    if (isOpen())
        CloseHandle(native(handle_));
    handle_ = INVALID_HANDLE_VALUE;
    received_.clear();
}
