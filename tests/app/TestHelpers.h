#pragma once

#include "Messages.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include "PseudoTerminal.h"
#endif

// Takes every message box the program shows, instead of a modal loop, and answers its
// questions: with the next of `answers` (a button's caption), else the question's default.
class CapturedMessages {
public:
    CapturedMessages()
    {
        previous_ = Messages::setSink([this](QWidget*, const Messages::Message& m) { messages.append(m); });
        previousAnswerer_ = Messages::setAnswerer([this](QWidget*, const Messages::Question& q) {
            questions.append(q);
            return answers.isEmpty() ? q.defaultButton : static_cast<int>(q.buttons.indexOf(answers.takeFirst()));
        });
    }
    ~CapturedMessages()
    {
        Messages::setSink(std::move(previous_));
        Messages::setAnswerer(std::move(previousAnswerer_));
    }
    CapturedMessages(const CapturedMessages&) = delete;
    CapturedMessages& operator=(const CapturedMessages&) = delete;

    QList<Messages::Message> messages;
    QList<Messages::Question> questions;
    QStringList answers;

private:
    Messages::Sink previous_;
    Messages::Answerer previousAnswerer_;
};

// Runs a test in a fresh working directory and goes back afterwards.
class WorkingDir {
public:
    WorkingDir() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~WorkingDir() { QDir::setCurrent(previous_); }
    WorkingDir(const WorkingDir&) = delete;
    WorkingDir& operator=(const WorkingDir&) = delete;

    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return QDir(dir_.path()).filePath(name); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

#ifdef Q_OS_WIN
// On Windows COMn is the system's port of that name: scripts/test-windows gives the
// tests' Wine prefix COM1..COM4 with nobody on the far end.
class SparePort {
public:
    explicit SparePort(int com) : device_(QStringLiteral("COM%1").arg(com)) {}
    QString device() const { return device_; }

private:
    QString device_;
};
#else
// A pseudo-terminal with nobody on the far end: a port that opens. COMn points at it
// while it lives.
class SparePort {
public:
    explicit SparePort(int com) : variable_(QByteArray("VIREO_COM") + QByteArray::number(com))
    {
        if (line_.ok())
            qputenv(variable_.constData(), QFile::encodeName(line_.path()));
    }
    ~SparePort() { qunsetenv(variable_.constData()); }
    SparePort(const SparePort&) = delete;
    SparePort& operator=(const SparePort&) = delete;
    QString device() const { return qEnvironmentVariable(variable_.constData()); }

private:
    PseudoTerminal line_;
    QByteArray variable_;
};
#endif

// The user's options (verify after write, port mappings) go to a store of the tests'
// own, emptied. Call before the first window is made. Each test process has its
// settings and backups under a home folder of its own: test mode alone puts every
// process's in one ~/.qttest, where tests run side by side cleared or filled each
// other's Recent Files, port map and backups.
inline void useTestUserSettings()
{
    static QTemporaryDir home;
    if (qEnvironmentVariable("HOME") != home.path()) {
        qputenv("HOME", QFile::encodeName(home.path()));
        const QString config = home.path() + QStringLiteral("/.qttest/config");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
    }
    QStandardPaths::setTestModeEnabled(true);
    QSettings(QStringLiteral("Tervalo"), QStringLiteral("Vireo Logic Board Programmer")).clear();
}

// Waits until the window's board command (and its link job) has ended.
#define WAIT_LINK_IDLE(window) QTRY_VERIFY_WITH_TIMEOUT(!(window).isLinkBusy(), 60000)
