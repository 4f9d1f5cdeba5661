#pragma once

#include <QStringList>

#include <span>

// The commands of `vireo`. Each command gets its own arguments (without the program
// and command names) and returns the exit status. To add a command, write its
// function in the file of its group and add a line to commands() in Commands.cpp.
namespace Cli {

enum ExitStatus {
    kOk = 0,
    kFailed = 1,          // the command ran but was refused or could not finish
    kInvalid = 2,         // wrong usage, or an input file that is unreadable or not a board data file
    kCodeRefused = 3,     // the board refused the access code
    kStopped = 4,         // cancelled (Ctrl+C) or the board fell silent for the timeout
    kPortUnavailable = 5, // the serial port cannot be opened
    kVerifyFailed = 6,    // write --verify, fleet --verify: the board holds other words than were sent
};

struct Command {
    const char* name;
    const char* summary; // one line for the overview
    int (*run)(const QStringList& args);
    // It lays out pages (fonts, PDF): it runs under a QGuiApplication.
    bool drawsPages = false;
};

std::span<const Command> commands();

// CliEdit.cpp
int dump(const QStringList& args);
int convert(const QStringList& args);
int diff(const QStringList& args);

// CliBoard.cpp
int ping(const QStringList& args);
int read(const QStringList& args);
int write(const QStringList& args);
int restore(const QStringList& args);

// CliBackups.cpp
int backups(const QStringList& args);

// CliDoctor.cpp
int doctor(const QStringList& args);

// CliFleet.cpp
int fleet(const QStringList& args);

// CliLists.cpp
int exportLists(const QStringList& args);
int importLists(const QStringList& args);

// CliReport.cpp
int report(const QStringList& args);

} // namespace Cli
