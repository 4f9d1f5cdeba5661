#pragma once

// vireo run from a test as a user runs it: the one program under test, from the build
// (VIREO_BIN_DIR), its exit status and what it wrote.
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct VireoRun {
    int status = -1; // -1: it crashed, or did not end in time
    QByteArray out;
    QByteArray err;
};

// Starts vireo with `args` in `dir` (empty: the test's own working directory).
inline void startVireo(QProcess& p, const QStringList& args, const QString& dir = {},
                       const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    if (!dir.isEmpty())
        p.setWorkingDirectory(dir);
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("VIREO_BIN_DIR") + QStringLiteral("/vireo"), args);
}

// Runs vireo to its end. Windows's console programs end their lines with CR LF: the
// output is given with LF, as elsewhere.
inline VireoRun runVireo(const QStringList& args, const QString& dir = {},
                         const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                         int timeoutMillis = 120000)
{
    QProcess p;
    startVireo(p, args, dir, env);
    VireoRun r;
    if (!p.waitForFinished(timeoutMillis))
        return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().replace("\r\n", "\n");
    r.err = p.readAllStandardError().replace("\r\n", "\n");
    return r;
}
