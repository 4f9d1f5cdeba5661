#include "LineBoard.h"

namespace {
const QByteArray kEnd("\n\r"); // LF CR ends the board's lines
}

const LineBoard::Answers& LineBoard::vertex()
{
    // A refusal must not end in LF CR; a short acknowledgement leaves the programmer waiting.
    static const Answers answers{"\xE5\r\n", "OK" + kEnd, "?\r\n", "RD:", "W" + kEnd, "=", true, kEnd, "?" + kEnd};
    return answers;
}

const LineBoard::Answers& LineBoard::alinco()
{
    // The programmer hears a refusal only as silence.
    static const Answers answers{"\xE5\r\n", "OK" + kEnd, {}, {}, {}, "OK", false, {}, "?"};
    return answers;
}

QByteArray LineBoard::codeAnswer(bool accepted) const
{
    return accepted ? answers_.accepted : answers_.refused;
}

QByteArray LineBoard::readReply(int index, const QByteArray& word) const
{
    return (index == 0 ? answers_.firstWordPrefix : QByteArray()) + word + kEnd;
}

QByteArray LineBoard::wordAck(const QByteArray& word, bool proper) const
{
    if (!proper)
        return answers_.wrongAck;
    return answers_.ackPrefix + (answers_.ackEchoesWord ? word : QByteArray()) + answers_.ackEnd;
}
