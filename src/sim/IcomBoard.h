#pragma once

#include "VirtualBoard.h"

// The board fitted to the Icom radios: every message is a frame
//   FE FE <to> <from> E8 20 24 00 00, type, text, FD
// with type 00 for the wake-up and 02 for a text; texts from the programmer end
// in CR LF, the board's in LF CR. The board's frames swap the two addresses.
//   wake-up answer  type 00, "1"
//   code accepted   type 02, "2" LF CR   refused: type 02, "?" LF CR
//   read            type 02, word LF CR for every word
//   write command   type 02, "3" LF CR   each word: type 02, LF CR
class IcomBoard final : public VirtualBoard {
public:
    static QByteArray programmerHeader() { return QByteArray("\xFE\xFE\xEE\xEF\xE8\x20\x24\x00\x00", 9); }
    static QByteArray boardHeader() { return QByteArray("\xFE\xFE\xEF\xEE\xE8\x20\x24\x00\x00", 9); }
    static constexpr char kEnd = static_cast<char>(0xFD);

    IcomBoard(const BoardSetup& setup, const BoardImage& memory) : VirtualBoard(setup, memory) {}

protected:
    void parse(char byte) override;
    QByteArray wakeUpAnswer() const override;
    QByteArray codeAnswer(bool accepted) const override;
    QByteArray readReply(int index, const QByteArray& word) const override;
    QByteArray writeCommandAnswer() const override;
    QByteArray wordAck(const QByteArray& word, bool proper) const override;

private:
    void takeFrame(const QByteArray& frame);

    QByteArray frame_;
};
