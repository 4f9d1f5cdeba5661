#pragma once

// A pseudo-terminal made for a test: the programmer opens path() (the slave end) as
// its serial port; the test plays the far end on the master, or leaves nobody there.
// Both ends stay open while it lives, so the line stays up while a port is reopened.
#include <QString>

#include <pty.h>
#include <unistd.h>

class PseudoTerminal {
public:
    PseudoTerminal()
    {
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) == 0)
            path_ = QString::fromLocal8Bit(name);
        else
            master_ = slave_ = -1;
    }
    ~PseudoTerminal()
    {
        closeMaster();
        if (slave_ >= 0)
            ::close(slave_);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return master_ >= 0; }
    QString path() const { return path_; }
    int master() const { return master_; }
    int slave() const { return slave_; }
    // The far end gone, as a pulled cable.
    void closeMaster()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    QString path_;
};
