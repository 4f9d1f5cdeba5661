#include "SystemPort.h"

#ifdef Q_OS_WIN
#include "WinSerialPort.h"
using SystemSerialPort = WinSerialPort;
#else
#include "SerialPort.h"
using SystemSerialPort = SerialPort;
#endif

std::unique_ptr<Port> makeSystemPort(const QString& portName, const PortMap& map)
{
    return std::make_unique<SystemSerialPort>(portName, map);
}
