// Saves that cannot be made: no space, no permission, the folder gone. The file
// already there must come through untouched and the technician must be told
// why. Permission is checked in a child that has dropped root's privileges,
// since root may write anywhere.
#include "DataFile.h"
#include "SettingsFile.h"

#include <PseudoTerminal.h>
#include <SerialPort.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;
const QByteArray kOldSettings("3\r\n4\r\n");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

BoardImage someImage()
{
    BoardImage image;
    for (int i = 0; i <= BoardImage::kLastIndex; ++i)
        image.setWord(i, QStringLiteral("%1").arg(i, 4, 16, QLatin1Char('0')).toUpper());
    return image;
}

// A save that fails: the message it gave, empty if it did not fail.
using FailedSave = std::function<QString(const QString& dir)>;

QString dataFileSave(const QString& dir)
{
    const DataFile::SaveResult r = DataFile::save(QDir(dir).filePath(QStringLiteral("fleet.tv2")), someImage());
    return r.ok() ? QString() : r.message;
}

QString settingsWrite(const QString& dir)
{
    const SettingsFile::WriteResult r = SettingsFile::write(dir, 1, 2);
    return r.ok ? QString() : r.message;
}

// Runs `check` in a child without root's privileges; true when it returned true.
bool asNobody(const std::function<bool()>& check)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::geteuid() != 0 || (::setgid(kNobody) == 0 && ::setuid(kNobody) == 0);
        ::_exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

class TestFailedSaves : public QObject {
    Q_OBJECT

private slots:
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void aPortWithoutPermissionSaysWhichGroup();
};

void TestFailedSaves::failedSaveKeepsTheOldFile_data()
{
    QTest::addColumn<FailedSave>("save");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cause");
    const QStringList causes{QStringLiteral("no space"), QStringLiteral("read-only folder"),
                             QStringLiteral("read-only file"), QStringLiteral("folder gone")};
    for (const QString& cause : causes) {
        QTest::addRow("data file, %s", qPrintable(cause))
            << FailedSave(dataFileSave) << QStringLiteral("fleet.tv2") << cause;
        QTest::addRow("settings, %s", qPrintable(cause))
            << FailedSave(settingsWrite) << QStringLiteral("CONFIG.ini") << cause;
    }
}

void TestFailedSaves::failedSaveKeepsTheOldFile()
{
    QFETCH(FailedSave, save);
    QFETCH(QString, name);
    QFETCH(QString, cause);

    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString dir = tmp.filePath(QStringLiteral("work"));
    QVERIFY(QDir().mkpath(dir));
    const QString target = QDir(dir).filePath(name);
    const QByteArray old = name.endsWith(QLatin1String(".tv2")) ? DataFile::serialize(BoardImage()) : kOldSettings;
    writeFile(target, old);
    // The unprivileged child must reach the folder, but not write in it.
    ::chmod(QFile::encodeName(tmp.path()).constData(), 0755);
    ::chmod(QFile::encodeName(dir).constData(), 0755);
    ::chmod(QFile::encodeName(target).constData(), 0644);

    if (cause == QLatin1String("no space")) {
        // Every write past 3 bytes fails, as on a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 3;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString message = save(dir);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY2(message.contains(name), qPrintable(message));
    } else if (cause == QLatin1String("folder gone")) {
        const QString gone = QDir(dir).filePath(QStringLiteral("gone"));
        QVERIFY(QDir().mkpath(gone));
        QVERIFY(QDir(gone).removeRecursively());
        const QString message = save(gone);
        QVERIFY2(!message.isEmpty(), qPrintable(message));
        QVERIFY(!QFileInfo::exists(gone));
    } else {
        const bool folder = cause == QLatin1String("read-only folder");
        // The file alone is read-only in a folder open to everyone.
        ::chmod(QFile::encodeName(dir).constData(), folder ? 0555 : 0777);
        ::chmod(QFile::encodeName(target).constData(), 0444);
        QVERIFY(asNobody([&] { return save(dir).contains(name); }));
        ::chmod(QFile::encodeName(dir).constData(), 0755);
    }
    QCOMPARE(readAll(target), old);
    QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{name}); // no temporary left behind
}

void TestFailedSaves::aPortWithoutPermissionSaysWhichGroup()
{
    if (::geteuid() != 0)
        QSKIP("needs root to open the line as one user and refuse it to another");
    bool refused = false;
    {
        PseudoTerminal line;
        QVERIFY(line.ok());
        const QString path = line.path();
        ::fchmod(line.slave(), 0600); // owned by whoever runs the test; nobody else may open it
        refused = asNobody([&] {
            SerialPort port(path);
            return !port.open()
                   && port.errorMessage().startsWith(
                       path + QStringLiteral(": permission denied \u2014 add your user to the group '"));
        });
    }
    QVERIFY(refused);
}

QTEST_GUILESS_MAIN(TestFailedSaves)
#include "TestFailedSaves.moc"
