#include "IcomBoard.h"

namespace {

constexpr qsizetype kMaxFrame = 128; // longer input is noise, not a frame
constexpr char kWakeUpType = 0x00;
constexpr char kTextType = 0x02;

QByteArray boardFrame(char type, const QByteArray& text)
{
    return IcomBoard::boardHeader() + type + text + IcomBoard::kEnd;
}

QByteArray textFrame(const QByteArray& text)
{
    return boardFrame(kTextType, text + "\n\r");
}

} // namespace

void IcomBoard::parse(char byte)
{
    frame_.append(byte);
    if (byte == kEnd) {
        const QByteArray frame = frame_;
        frame_.clear();
        takeFrame(frame);
    } else if (frame_.size() > kMaxFrame) {
        frame_ = frame_.right(kMaxFrame);
    }
}

void IcomBoard::takeFrame(const QByteArray& frame)
{
    // Anything before the header is line noise; a frame without it is ignored.
    const QByteArray header = programmerHeader();
    const qsizetype start = frame.lastIndexOf(header);
    if (start < 0 || frame.size() - start < header.size() + 2)
        return;
    const QByteArray raw = frame.mid(start);
    const char type = raw.at(header.size());
    QByteArray text = raw.mid(header.size() + 1);
    text.chop(1); // FD
    if (type == kWakeUpType) {
        onWakeUp(raw);
    } else if (type == kTextType) {
        if (text.endsWith("\r\n"))
            text.chop(2);
        onText(text, raw);
    }
}

QByteArray IcomBoard::wakeUpAnswer() const
{
    return boardFrame(kWakeUpType, "1");
}

QByteArray IcomBoard::codeAnswer(bool accepted) const
{
    return textFrame(accepted ? "2" : "?");
}

QByteArray IcomBoard::readReply(int, const QByteArray& word) const
{
    return textFrame(word);
}

QByteArray IcomBoard::writeCommandAnswer() const
{
    return textFrame("3");
}

QByteArray IcomBoard::wordAck(const QByteArray&, bool proper) const
{
    return textFrame(proper ? QByteArray() : QByteArray("?"));
}
