#pragma once

#include <QString>

#include <array>
#include <optional>

// What the Serial Port menu's COM1..COM4 mean on this machine: the device chosen
// for COMn in the port assistant during this run; else the one in $VIREO_COMn, read
// each time the port opens; else the one remembered from an earlier run's port
// assistant; else /dev/ttyS0..3 (on Windows, the system's port COMn itself). Any
// other name is a device path (on Windows a port such as COM7), taken as typed.
class PortMap {
public:
    static constexpr int kPorts = 4;

    // COM1..COM4 (case ignored, a trailing ':' allowed): its number; else none.
    static std::optional<int> comNumber(const QString& portName);

    void choose(int com, const QString& device);
    void remember(int com, const QString& device);

    // The device to open for a port name, as said above.
    QString devicePathFor(const QString& portName) const;

    bool operator==(const PortMap&) const = default;

private:
    std::array<QString, kPorts + 1> chosen_;     // 1..4
    std::array<QString, kPorts + 1> remembered_; // 1..4
};
