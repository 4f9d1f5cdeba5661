#include "PortInspection.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#ifdef Q_OS_WIN
#include "WinSerialPort.h"
#endif

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <vector>

namespace PortInspection {

namespace {

#ifdef Q_OS_UNIX

QString nameOfUser(uid_t uid)
{
    const struct passwd* pw = ::getpwuid(uid);
    return pw ? QString::fromLocal8Bit(pw->pw_name) : QString::number(uid);
}

QString nameOfGroup(gid_t gid)
{
    const struct group* g = ::getgrgid(gid);
    return g ? QString::fromLocal8Bit(g->gr_name) : QString::number(gid);
}

bool sessionHasGroup(gid_t gid)
{
    if (::getegid() == gid)
        return true;
    const int n = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(n > 0 ? n : 0));
    if (n > 0 && ::getgroups(n, groups.data()) == n)
        return std::find(groups.begin(), groups.end(), gid) != groups.end();
    return false;
}

bool userHasGroup(gid_t gid)
{
    const struct passwd* pw = ::getpwuid(::geteuid());
    if (!pw)
        return false;
    int n = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(n));
    if (::getgrouplist(pw->pw_name, pw->pw_gid, groups.data(), &n) < 0) {
        groups.resize(static_cast<std::size_t>(n));
        if (::getgrouplist(pw->pw_name, pw->pw_gid, groups.data(), &n) < 0)
            return false;
    }
    groups.resize(static_cast<std::size_t>(n));
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

QString readLink(const QByteArray& path)
{
    char target[4096];
    const ssize_t n = ::readlink(path.constData(), target, sizeof target - 1);
    return n > 0 ? QString::fromLocal8Bit(target, static_cast<qsizetype>(n)) : QString();
}

QByteArray readSmallFile(const QByteArray& path)
{
    QFile f(QString::fromLocal8Bit(path));
    return f.open(QIODevice::ReadOnly) ? f.read(4096) : QByteArray();
}

// The program of a process as its command line names it ("vireo-programmer"): the
// kernel's own name for it (/proc/PID/comm) stops at 15 characters.
QString programOf(const QByteArray& base)
{
    const QByteArray argv0 = readSmallFile(base + "/cmdline").split('\0').value(0);
    if (!argv0.isEmpty())
        return QFileInfo(QString::fromLocal8Bit(argv0)).fileName();
    return QString::fromLocal8Bit(readSmallFile(base + "/comm")).trimmed();
}

// The pseudo-terminal a master descriptor serves ("tty-index: 3" in its fdinfo).
std::optional<int> ptyIndexOfMaster(const QByteArray& fdinfo)
{
    for (const QByteArray& line : readSmallFile(fdinfo).split('\n')) {
        if (line.startsWith("tty-index:")) {
            bool ok = false;
            const int index = line.mid(10).trimmed().toInt(&ok);
            if (ok)
                return index;
        }
    }
    return std::nullopt;
}

// /dev/pts/3: 3; anything else is no pseudo-terminal.
std::optional<int> ptyIndexOf(const QString& resolved)
{
    if (!resolved.startsWith(QLatin1String("/dev/pts/")))
        return std::nullopt;
    bool ok = false;
    const int index = resolved.mid(9).toInt(&ok);
    return ok ? std::optional<int>(index) : std::nullopt;
}

void findHolders(Device& d)
{
#ifdef Q_OS_LINUX
    const std::optional<int> pty = ptyIndexOf(d.resolved);
    const long self = static_cast<long>(::getpid());
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return;
    while (const dirent* entry = ::readdir(proc)) {
        bool numeric = false;
        const long pid = QByteArray(entry->d_name).toLong(&numeric);
        if (!numeric || pid == self)
            continue;
        const QByteArray base = QByteArray("/proc/") + entry->d_name;
        DIR* fds = ::opendir((base + "/fd").constData());
        if (!fds) {
            ++d.unseenProcesses;
            continue;
        }
        bool holds = false;
        bool farEnd = false;
        while (const dirent* fd = ::readdir(fds)) {
            if (fd->d_name[0] == '.')
                continue;
            const QString target = readLink(base + "/fd/" + fd->d_name);
            if (target == d.resolved)
                holds = true;
            else if (pty && (target == QLatin1String("/dev/ptmx") || target == QLatin1String("/dev/pts/ptmx")))
                farEnd = farEnd || ptyIndexOfMaster(base + "/fdinfo/" + fd->d_name) == pty;
        }
        ::closedir(fds);
        if (holds && !farEnd)
            d.holders.append({pid, programOf(base)});
    }
    ::closedir(proc);
#else
    Q_UNUSED(d);
#endif
}

void inspectFile(Device& d)
{
    const QByteArray native = QFile::encodeName(d.resolved);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return;
    d.exists = true;
    d.owner = nameOfUser(st.st_uid);
    d.group = nameOfGroup(st.st_gid);
    d.mode = st.st_mode & 07777;
    d.mayOpen = ::access(native.constData(), R_OK | W_OK) == 0;
    d.groupMayOpen = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    d.inGroupNotSession = !d.mayOpen && !sessionHasGroup(st.st_gid) && userHasGroup(st.st_gid);
}

#endif

} // namespace

QString Adapter::details() const
{
    QStringList parts;
    if (!manufacturer.isEmpty())
        parts << manufacturer;
    if (!description.isEmpty())
        parts << description;
    if (vendorId && productId)
        parts << QStringLiteral("USB %1:%2")
                     .arg(*vendorId, 4, 16, QLatin1Char('0'))
                     .arg(*productId, 4, 16, QLatin1Char('0'));
    if (!serialNumber.isEmpty())
        parts << QStringLiteral("serial number %1").arg(serialNumber);
    return parts.isEmpty() ? QStringLiteral("no details") : parts.join(QStringLiteral(", "));
}

QList<Adapter> serialPorts()
{
    QList<Adapter> ports;
    for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts()) {
        Adapter a{p.portName(), p.systemLocation(), p.description(), p.manufacturer(), p.serialNumber(), {}, {}};
        if (p.hasVendorIdentifier())
            a.vendorId = p.vendorIdentifier();
        if (p.hasProductIdentifier())
            a.productId = p.productIdentifier();
        ports.append(a);
    }
    return ports;
}

QString userName()
{
#ifdef Q_OS_UNIX
    return nameOfUser(::geteuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

namespace {

// FTDI's driver shows the adapter's latency timer beside the tty it makes.
[[maybe_unused]] void findLatencyTimer(Device& d, const QString& sysfs)
{
    const QString file =
        QStringLiteral("%1/bus/usb-serial/devices/%2/latency_timer").arg(sysfs, QFileInfo(d.resolved).fileName());
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return;
    bool ok = false;
    const int millis = f.read(16).trimmed().toInt(&ok);
    if (ok) {
        d.latencyTimerMillis = millis;
        d.latencyTimerFile = file;
    }
}

} // namespace

Device inspect(const QString& path, const QString& sysfs)
{
    Device d;
    d.path = path;
    d.user = userName();
#ifdef Q_OS_WIN
    Q_UNUSED(sysfs);
    // Windows says whether a port is there and free only to a program that opens it.
    d.resolved = WinSerialPort::displayName(path);
    const WinSerialPort::Presence presence = WinSerialPort::probe(path);
    d.exists = presence != WinSerialPort::Presence::Missing;
    d.mayOpen = d.exists;
    d.inUse = presence == WinSerialPort::Presence::InUse;
#else
    d.resolved = QFileInfo(path).canonicalFilePath();
    if (d.resolved.isEmpty())
        return d;
    inspectFile(d);
    findHolders(d);
    findLatencyTimer(d, sysfs);
#endif
    for (const Adapter& a : serialPorts()) {
        if (a.location == d.resolved || a.location == path || a.name == d.resolved)
            d.adapter = a;
    }
    return d;
}

} // namespace PortInspection
