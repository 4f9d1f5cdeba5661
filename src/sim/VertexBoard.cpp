#include "VertexBoard.h"

namespace {
const QByteArray kEnd("\n\r"); // LF CR ends the board's lines
}

QByteArray VertexBoard::wakeUpAnswer() const { return QByteArray("\xE5\r\n"); }

QByteArray VertexBoard::codeAnswer(bool accepted) const
{
    return accepted ? QByteArray("OK") + kEnd : QByteArray("?\r\n");
}

QByteArray VertexBoard::readReply(int index, const QByteArray& word) const
{
    return (index == 0 ? QByteArray("RD:") : QByteArray()) + word + kEnd;
}

QByteArray VertexBoard::writeCommandAnswer() const { return QByteArray("W") + kEnd; }

QByteArray VertexBoard::wordAck(const QByteArray& word, bool proper) const
{
    // A short acknowledgement leaves the programmer waiting for the rest.
    return proper ? QByteArray("=") + word + kEnd : QByteArray("?") + kEnd;
}
