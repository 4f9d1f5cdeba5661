#include "AlincoBoard.h"

QByteArray AlincoBoard::wakeUpAnswer() const { return QByteArray("\xE5\r\n"); }

// The programmer only hears a refusal as silence.
QByteArray AlincoBoard::codeAnswer(bool accepted) const { return accepted ? QByteArray("OK\n\r") : QByteArray(); }

QByteArray AlincoBoard::readReply(int, const QByteArray& word) const { return word + "\n\r"; }

QByteArray AlincoBoard::writeCommandAnswer() const { return {}; }

QByteArray AlincoBoard::wordAck(const QByteArray&, bool proper) const
{
    return proper ? QByteArray("OK") : QByteArray("?");
}
