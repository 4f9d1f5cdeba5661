#pragma once

#include "Port.h"

#include <memory>

// The serial port of the system the program runs on: QSerialPort on Linux
// (SerialPort.h), the Win32 serial API on Windows (WinSerialPort.h says why).
std::unique_ptr<Port> makeSystemPort(const QString& portName, const PortMap& map = {});
