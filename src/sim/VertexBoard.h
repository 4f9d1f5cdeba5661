#pragma once

#include "VirtualBoard.h"

// The board fitted to the Vertex radios: messages end in CR; every answer has
// exactly the length the programmer waits for, so no answer spills into the next.
//   wake-up answer  E5 CR LF
//   code accepted   "OK" LF CR          refused: "?" CR LF
//   read            "RD:" word LF CR, then word LF CR for each further word
//   write command   "W" LF CR           each word: "=" word LF CR
class VertexBoard final : public VirtualBoard {
public:
    VertexBoard(const BoardSetup& setup, const BoardImage& memory) : VirtualBoard(setup, memory) {}

protected:
    void parse(char byte) override { parseLine(byte); }
    QByteArray wakeUpAnswer() const override;
    QByteArray codeAnswer(bool accepted) const override;
    QByteArray readReply(int index, const QByteArray& word) const override;
    QByteArray writeCommandAnswer() const override;
    QByteArray wordAck(const QByteArray& word, bool proper) const override;
};
