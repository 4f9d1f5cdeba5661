#pragma once

#include "VirtualBoard.h"

// The board fitted to the Alinco radio: the Vertex messages, shorter answers.
//   wake-up answer  E5 CR LF
//   code accepted   "OK" LF CR          refused: no answer at all
//   read            word LF CR for every word, word 0 included
//   write command   no answer           each word: "OK"
class AlincoBoard final : public VirtualBoard {
public:
    AlincoBoard(const BoardSetup& setup, const BoardImage& memory) : VirtualBoard(setup, memory) {}

protected:
    void parse(char byte) override { parseLine(byte); }
    QByteArray wakeUpAnswer() const override;
    QByteArray codeAnswer(bool accepted) const override;
    QByteArray readReply(int index, const QByteArray& word) const override;
    QByteArray writeCommandAnswer() const override;
    QByteArray wordAck(const QByteArray& word, bool proper) const override;
};
