#include "VirtualBoard.h"

#include "IcomBoard.h"
#include "LineBoard.h"
#include "MemoryMap.h"
#include "WordCodecs.h"

namespace {

constexpr qsizetype kMaxLine = 64; // longer input is noise, not a message

} // namespace

std::unique_ptr<VirtualBoard> VirtualBoard::create(const BoardSetup& setup, const BoardImage& memory)
{
    // The board of each family.
    const BoardFamily& family = Product::info(setup.product).family;
    if (family == BoardFamily::Vertex)
        return std::make_unique<LineBoard>(setup, memory, LineBoard::vertex());
    if (family == BoardFamily::Alinco)
        return std::make_unique<LineBoard>(setup, memory, LineBoard::alinco());
    if (family == BoardFamily::Icom)
        return std::make_unique<IcomBoard>(setup, memory);
    return nullptr;
}

BoardImage VirtualBoard::factoryMemory(int product)
{
    BoardImage image;
    for (int i = 1; i <= BoardImage::kLastIndex; ++i)
        image.setWord(i, WordCodec::kOff);
    image.setWord(MemoryMap::kHeader, QString::fromLatin1(Product::info(product).headerWord));
    const auto code = WordCodec::accessCodeWords(kFactoryCode);
    for (int k = 0; k < 3; ++k)
        image.setWord(MemoryMap::kAccessCode + k, code[static_cast<std::size_t>(k)]);
    return image;
}

VirtualBoard::VirtualBoard(const BoardSetup& setup, const BoardImage& memory)
    : product_(Product::info(setup.product)), setup_(setup), memory_(memory)
{
}

QString VirtualBoard::accessCode() const
{
    if (setup_.accessCode)
        return *setup_.accessCode;
    // The board checks the code it holds, so a write of new words 17..19 changes it.
    const QString held = WordCodec::accessCodeText(memory_.word(MemoryMap::kAccessCode),
                                                   memory_.word(MemoryMap::kAccessCode + 1),
                                                   memory_.word(MemoryMap::kAccessCode + 2));
    return WordCodec::isFiveDigitCode(held) ? held : kFactoryCode;
}

void VirtualBoard::receive(QByteArrayView bytes)
{
    for (char byte : bytes) {
        if (state_ == State::Hung)
            return;
        parse(byte);
    }
}

std::optional<Piece> VirtualBoard::takePiece()
{
    if (outbox_.empty() && state_ == State::Reading)
        queueReadReply();
    if (outbox_.empty())
        return std::nullopt;
    Piece piece = std::move(outbox_.front());
    outbox_.pop_front();
    return piece;
}

void VirtualBoard::parseLine(char byte)
{
    if (byte == kWakeUpSecond && line_.endsWith(static_cast<char>(kWakeUpFirst))) {
        line_.clear();
        onWakeUp(QByteArray("\xE5\x2C", 2));
        return;
    }
    if (byte == '\r') {
        const QByteArray text = line_;
        line_.clear();
        onText(text, text + '\r');
        return;
    }
    line_.append(byte);
    if (line_.size() > kMaxLine)
        line_ = line_.right(kMaxLine);
}

void VirtualBoard::onWakeUp(const QByteArray& raw)
{
    ++epoch_;
    outbox_.clear();
    echo(raw);
    state_ = State::AwaitCode;
    unlocked_ = false;
    answer(wakeUpAnswer());
}

void VirtualBoard::onText(const QByteArray& text, const QByteArray& raw)
{
    echo(raw);
    switch (state_) {
    case State::Writing: storeWord(text); return;
    case State::AwaitCode: {
        const bool accepted = !setup_.faults.wrongCode && text == accessCode().toLatin1();
        unlocked_ = accepted;
        state_ = accepted ? State::Unlocked : State::Idle;
        answer(codeAnswer(accepted));
        return;
    }
    case State::Reading: // busy talking: the programmer has nothing to say now
    case State::Hung: return;
    case State::Idle:
    case State::Unlocked: break;
    }

    const bool mayTransfer = unlocked_ || !setup_.requireCode;
    if (text == "01") {
        memory_ = factoryMemory(product_.index);
        unlocked_ = false;
        state_ = State::Idle;
    } else if (text == "02" && mayTransfer) {
        state_ = State::Reading;
        index_ = 0;
    } else if (text == "03" && mayTransfer) {
        state_ = State::Writing;
        index_ = 0;
        answer(writeCommandAnswer());
    }
}

QByteArray VirtualBoard::boardWord(int index) const
{
    QByteArray word = memory_.word(index).toLatin1().right(4);
    while (word.size() < 4)
        word.prepend('0');
    return word;
}

void VirtualBoard::echo(const QByteArray& raw)
{
    if (setup_.faults.echo && !setup_.faults.silent)
        outbox_.push_back(Piece{raw, {}, false, false});
}

void VirtualBoard::answer(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    auto pause = setup_.turnaround;
    if (setup_.faults.late)
        pause += kLateBy;
    queue(bytes, pause, false);
}

void VirtualBoard::queue(QByteArray bytes, std::chrono::microseconds pause, bool afterTaken)
{
    const BoardFaults& faults = setup_.faults;
    if (faults.silent)
        return;
    if (faults.garbage)
        bytes = scrambled(bytes.size());
    if (!faults.splitReplies || bytes.size() < 3) {
        outbox_.push_back(Piece{bytes, pause, afterTaken, false});
        return;
    }
    const qsizetype third = bytes.size() / 3;
    outbox_.push_back(Piece{bytes.left(third), pause, afterTaken, false});
    outbox_.push_back(Piece{bytes.mid(third, third), kSplitGap, false, false});
    outbox_.push_back(Piece{bytes.mid(2 * third), kSplitGap, false, false});
}

void VirtualBoard::queueReadReply()
{
    const BoardFaults& faults = setup_.faults;
    const int first = index_;
    int last = first;
    if (faults.merged && first < product_.lastWord && (faults.mergedAt ? first == *faults.mergedAt : first % 2 == 0))
        last = first + 1;

    QByteArray bytes;
    for (int i = first; i <= last; ++i)
        bytes += readReply(i, boardWord(i));
    if (first == 0) {
        auto pause = setup_.turnaround;
        if (faults.late)
            pause += kLateBy;
        queue(bytes, pause, false);
    } else {
        queue(bytes, setup_.replyGap, false);
    }

    for (int i = first; i <= last; ++i) {
        if (endsTransfer(i))
            return;
    }
    index_ = last + 1;
    if (index_ > product_.lastWord)
        state_ = State::Unlocked;
}

void VirtualBoard::storeWord(const QByteArray& text)
{
    memory_.setWord(index_, QString::fromLatin1(text));
    answer(wordAck(boardWord(index_), !setup_.faults.wrongAck));
    if (endsTransfer(index_))
        return;
    if (++index_ > product_.lastWord)
        state_ = State::Unlocked;
}

bool VirtualBoard::endsTransfer(int index)
{
    const BoardFaults& faults = setup_.faults;
    if (faults.unplugAt == index) {
        // Only once the last reply was taken: a closed line loses what is still in it.
        outbox_.push_back(Piece{{}, setup_.replyGap, true, true});
        state_ = State::Hung;
        return true;
    }
    if (faults.stopAt == index) {
        state_ = State::Hung;
        return true;
    }
    return false;
}

QByteArray VirtualBoard::scrambled(qsizetype size)
{
    // Random, but never a byte the programmer looks for at the ends of replies,
    // so garbage cannot pass for an answer by chance.
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray bytes;
    while (bytes.size() < size) {
        const int b = byte(random_);
        if (b != kWakeUpFirst && b != 0xFD && b != '\n' && b != '\r')
            bytes.append(static_cast<char>(b));
    }
    return bytes;
}
