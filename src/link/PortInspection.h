#pragma once

#include <QList>
#include <QString>

#include <optional>

// What the system says about the device behind a port, for the link doctor: whether
// it is there, who may open it, which other programs hold it open, and the adapter
// behind it as the system lists it.
namespace PortInspection {

// A serial port as QSerialPortInfo lists it (pseudo-terminals are not among them).
struct Adapter {
    QString name;        // "ttyUSB0"
    QString location;    // "/dev/ttyUSB0"
    QString description; // the product as the adapter names it
    QString manufacturer;
    QString serialNumber;
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;

    // "FTDI, FT232R USB UART, USB 0403:6001, serial number A1B2C3": what is known of it.
    QString details() const;
};
QList<Adapter> serialPorts();

// Another process that has the device open.
struct Holder {
    qint64 pid = 0;
    QString program; // as its command line names it; empty where the system does not show it
};

struct Device {
    QString path;     // as given
    QString resolved; // after symbolic links; empty when there is no such file (Windows: COMn)
    bool exists = false;
    QString owner;
    QString group;
    unsigned mode = 0; // permission bits
    QString user;      // this process's user
    bool mayOpen = false;
    bool groupMayOpen = false; // the device's group may read and write it
    // The user is a member of the device's group, but this session was started before
    // (the groups of a process are fixed at login).
    bool inGroupNotSession = false;
    // Other processes that have it open; neither this one nor, for a pseudo-terminal,
    // the program on its far end (which is the line itself).
    QList<Holder> holders;
    int unseenProcesses = 0; // processes whose open files the system does not let us see
    // Windows: another program has it open (which one, Windows does not say).
    bool inUse = false;
    std::optional<Adapter> adapter;
    // A USB adapter's latency timer, where the system shows one (FTDI): how long the
    // adapter holds what the board sent before the PC sees it.
    std::optional<int> latencyTimerMillis;
    QString latencyTimerFile;
};

// `sysfs`: where the system's device tree is (a test gives a tree of its own).
Device inspect(const QString& path, const QString& sysfs = QStringLiteral("/sys"));

// The login name of this process's user.
QString userName();

} // namespace PortInspection
