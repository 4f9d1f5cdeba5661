#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Misbehaviours a virtual board can be told to show, so the programmer can be
// tried against boards that are dead, slow, confused or unplugged.
struct BoardFaults {
    bool silent = false;         // answers nothing at all
    bool late = false;           // every answer starts after the programmer has stopped looking
    bool wrongCode = false;      // refuses every access code
    bool garbage = false;        // answers with random bytes of the right length
    bool wrongAck = false;       // write acknowledgements the programmer does not recognise
    bool splitReplies = false;   // each reply goes out in several pieces
    bool echo = false;           // the programmer's own message comes back first
    bool merged = false;         // two read replies in one piece ...
    std::optional<int> mergedAt; // ... at this word only, else throughout
    std::optional<int> stopAt;   // the board hangs after this word
    std::optional<int> unplugAt; // the line is closed after this word

    // Adds one switch as written on the command line ("late", "stopat:40").
    // Returns an explanation when the text is not a known switch.
    std::optional<QString> add(const QString& text);

    // One line per switch, for --help.
    static QStringList descriptions();
};
