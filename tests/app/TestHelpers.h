#pragma once

#include "Messages.h"

#include <QDir>
#include <QList>
#include <QTemporaryDir>

// Takes every message box the program shows, instead of a modal loop.
class CapturedMessages {
public:
    CapturedMessages()
    {
        previous_ = Messages::setSink([this](QWidget*, const Messages::Message& m) { messages.append(m); });
    }
    ~CapturedMessages() { Messages::setSink(std::move(previous_)); }
    CapturedMessages(const CapturedMessages&) = delete;
    CapturedMessages& operator=(const CapturedMessages&) = delete;

    QList<Messages::Message> messages;

private:
    Messages::Sink previous_;
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
