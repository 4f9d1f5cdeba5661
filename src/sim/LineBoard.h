#pragma once

#include "VirtualBoard.h"

// The boards fitted to the Vertex and Alinco radios: messages end in CR and the
// two speak the same dialogue with different answers. Every answer has exactly
// the length the programmer waits for, so no answer spills into the next.
//
//                    Vertex                    Alinco
//   wake-up answer   E5 CR LF                  E5 CR LF
//   code accepted    "OK" LF CR                "OK" LF CR
//   code refused     "?" CR LF                 no answer
//   read, word 0     "RD:" word LF CR          word LF CR
//   read, others     word LF CR                word LF CR
//   write command    "W" LF CR                 no answer
//   each word        "=" word LF CR            "OK"
//   (wrongack)       "?" LF CR                 "?"
class LineBoard final : public VirtualBoard {
public:
    struct Answers {
        QByteArray wakeUp;
        QByteArray accepted;
        QByteArray refused;
        QByteArray firstWordPrefix;
        QByteArray writeCommand;
        QByteArray ackPrefix;
        bool ackEchoesWord;
        QByteArray ackEnd;
        QByteArray wrongAck;
    };
    static const Answers& vertex();
    static const Answers& alinco();

    LineBoard(const BoardSetup& setup, const BoardImage& memory, const Answers& answers)
        : VirtualBoard(setup, memory), answers_(answers)
    {
    }

protected:
    void parse(char byte) override { parseLine(byte); }
    QByteArray wakeUpAnswer() const override { return answers_.wakeUp; }
    QByteArray codeAnswer(bool accepted) const override;
    QByteArray readReply(int index, const QByteArray& word) const override;
    QByteArray writeCommandAnswer() const override { return answers_.writeCommand; }
    QByteArray wordAck(const QByteArray& word, bool proper) const override;

private:
    const Answers& answers_;
};
