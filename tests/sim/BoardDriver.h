#pragma once

#include "IcomBoard.h"
#include "VirtualBoard.h"

#include <QByteArray>

#include <memory>
#include <vector>

// Builds boards and speaks to them with the exact bytes the programmer sends.
namespace BoardDriver {

inline BoardImage numberedMemory(int product)
{
    // Word i holds i (word 0 keeps the header), so a word out of place shows.
    BoardImage memory = VirtualBoard::factoryMemory(product);
    for (int i = 1; i <= BoardImage::kLastIndex; ++i)
        memory.setWord(i, QStringLiteral("%1").arg(i, 4, 16, QLatin1Char('0')).toUpper());
    memory.setWord(17, QStringLiteral("0004"));
    memory.setWord(18, QStringLiteral("0702"));
    memory.setWord(19, QStringLiteral("0003")); // access code 47203
    return memory;
}

inline std::unique_ptr<VirtualBoard> board(int product, BoardFaults faults = {}, bool requireCode = true)
{
    BoardSetup setup;
    setup.product = product;
    setup.faults = faults;
    setup.requireCode = requireCode;
    return VirtualBoard::create(setup, numberedMemory(product));
}

inline BoardFaults faults(std::initializer_list<const char*> names)
{
    BoardFaults f;
    for (const char* name : names)
        f.add(QString::fromLatin1(name));
    return f;
}

inline std::vector<Piece> takeAll(VirtualBoard& b)
{
    std::vector<Piece> pieces;
    while (auto piece = b.takePiece())
        pieces.push_back(*piece);
    return pieces;
}

inline QByteArray joined(const std::vector<Piece>& pieces)
{
    QByteArray bytes;
    for (const Piece& p : pieces)
        bytes += p.bytes;
    return bytes;
}

// Sends a message and returns everything the board says back.
inline QByteArray say(VirtualBoard& b, const QByteArray& bytes)
{
    b.receive(bytes);
    return joined(takeAll(b));
}

inline QByteArray icomFrame(char type, const QByteArray& text)
{
    return IcomBoard::programmerHeader() + type + text + IcomBoard::kEnd;
}
inline QByteArray icomText(const QByteArray& text)
{
    return icomFrame(0x02, text + "\r\n");
}
inline const QByteArray kIcomWakeUp = icomFrame(0x00, {});

const QByteArray kWakeUp("\xE5\x2C", 2);

// Wakes the board and hands it the code, as the programmer's link check does.
inline void unlock(VirtualBoard& b, const QByteArray& code = "47203")
{
    if (b.product().family == BoardFamily::Icom) {
        say(b, kIcomWakeUp);
        say(b, icomText(code));
    } else {
        say(b, kWakeUp);
        say(b, code + '\r');
    }
}

} // namespace BoardDriver
