#pragma once

#include "BoardFaults.h"
#include "BoardImage.h"
#include "Product.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <random>

// Bytes the board puts on the line in one go, and when.
struct Piece {
    QByteArray bytes;
    // Line silence before the piece: counted from the later of the board's last
    // received byte and the end of its previous piece, or, for a piece that waits
    // for the programmer to take the previous one, from the moment it was taken.
    std::chrono::microseconds pause{0};
    // Only the unplug fault waits: the cable is pulled once the programmer has the
    // words before it. Everything else goes out on the board's own time.
    bool afterTaken = false;
    bool hangup = false; // close the line instead of sending
};

struct BoardSetup {
    int product = 4;
    std::optional<QString> accessCode; // fixed code; else the one in words 17..19
    BoardFaults faults;
    std::chrono::microseconds turnaround{std::chrono::milliseconds(5)};
    // Between read replies, which the board sends one after another on its own.
    std::chrono::microseconds replyGap{std::chrono::milliseconds(5)};
    bool requireCode = true; // read and write only after the access code was accepted
};

// A logic board in its own terms: a 301-word memory, an access code and the
// dialogue state, fed with the bytes it receives. What it says back is queued as
// pieces, taken one by one by whoever drives the line.
//
// The board's dialogue, common to the three families:
//  - the wake-up (at any time, whatever the board was doing) starts a new
//    dialogue and locks the board; the next text is taken as the access code;
//  - "02" reads words 0..N to the programmer, "03" takes words 0..N from it
//    (N is the product's last transferred word);
//  - "01" (Force Initialization) restores the factory memory, code 47203
//    included, and locks the board; it needs no access code and has no answer.
// The families differ in how messages are framed and in their answers.
class VirtualBoard {
public:
    static constexpr int kWakeUpFirst = 0xE5;
    static constexpr int kWakeUpSecond = 0x2C;
    static constexpr std::chrono::milliseconds kLateBy{400};
    static constexpr std::chrono::milliseconds kSplitGap{4};
    inline static const QString kFactoryCode = QStringLiteral("47203");

    static std::unique_ptr<VirtualBoard> create(const BoardSetup& setup, const BoardImage& memory);
    // Header word, access code 47203, every other word "0000".
    static BoardImage factoryMemory(int product);

    virtual ~VirtualBoard() = default;
    VirtualBoard(const VirtualBoard&) = delete;
    VirtualBoard& operator=(const VirtualBoard&) = delete;

    void receive(QByteArrayView bytes);
    // The next piece for the line, if any. Read replies are made as they are taken.
    std::optional<Piece> takePiece();
    // Changes whenever queued output becomes void (a new dialogue started), so a
    // piece taken earlier and not yet sent must be dropped.
    quint64 epoch() const { return epoch_; }

    const BoardImage& memory() const { return memory_; }
    // A word changed behind the programmer's back, as a faulty memory cell would.
    void setWord(int index, const QString& word) { memory_.setWord(index, word); }
    const ProductInfo& product() const { return product_; }
    QString accessCode() const;
    bool unlocked() const { return unlocked_; }
    bool hung() const { return state_ == State::Hung; }

protected:
    VirtualBoard(const BoardSetup& setup, const BoardImage& memory);

    // Family framing: turn received bytes into wake-ups and texts.
    virtual void parse(char byte) = 0;
    void onWakeUp(const QByteArray& raw);
    void onText(const QByteArray& text, const QByteArray& raw);

    // Family answers. An empty answer means the board stays silent.
    virtual QByteArray wakeUpAnswer() const = 0;
    virtual QByteArray codeAnswer(bool accepted) const = 0;
    virtual QByteArray readReply(int index, const QByteArray& word) const = 0;
    virtual QByteArray writeCommandAnswer() const = 0;
    virtual QByteArray wordAck(const QByteArray& word, bool proper) const = 0;

    // A word as the board holds it: four characters ("12" written reads back "0012").
    QByteArray boardWord(int index) const;

    // Shared by the two families whose messages end in CR.
    void parseLine(char byte);

private:
    enum class State { Idle, AwaitCode, Unlocked, Reading, Writing, Hung };

    void answer(const QByteArray& bytes);
    void queue(QByteArray bytes, std::chrono::microseconds pause, bool afterTaken);
    void echo(const QByteArray& raw);
    void queueReadReply();
    void storeWord(const QByteArray& text);
    bool endsTransfer(int index); // a stopat/unplug fault fires after this word
    QByteArray scrambled(qsizetype size);

    const ProductInfo& product_;
    BoardSetup setup_;
    BoardImage memory_;
    State state_ = State::Idle;
    bool unlocked_ = false;
    int index_ = 0; // next word of a read or write
    quint64 epoch_ = 0;
    std::deque<Piece> outbox_;
    QByteArray line_;
    std::mt19937 random_{20261207};
};
