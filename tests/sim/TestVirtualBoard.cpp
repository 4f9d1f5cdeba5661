#include "BoardDriver.h"

#include <QTest>

using namespace BoardDriver;
using namespace std::chrono_literals;

namespace {

// What the programmer looks at in each answer.
bool vertexWakeUpPasses(const QByteArray& r)
{
    return !r.isEmpty() && static_cast<uchar>(r.at(0)) == 0xE5;
}
bool vertexCodePasses(const QByteArray& r)
{
    return r.endsWith("\n\r");
}
bool icomWakeUpPasses(const QByteArray& r)
{
    return r.endsWith("1\xFD");
}
bool icomCodePasses(const QByteArray& r)
{
    return r.endsWith(QByteArray("\x02"
                                 "2\n\r\xFD"));
}
bool icomAckPasses(const QByteArray& r)
{
    return r.endsWith(QByteArray("\x02\n\r\xFD"));
}
QByteArray icomWord(const QByteArray& r)
{
    return r.endsWith("\n\r\xFD") ? r.right(7).left(4) : QByteArray();
}

} // namespace

class TestVirtualBoard : public QObject {
    Q_OBJECT
private slots:
    void vertexLinkCheckWakesTheBoardAndChecksTheCode()
    {
        auto b = board(4);
        QVERIFY(vertexWakeUpPasses(say(*b, kWakeUp)));
        QVERIFY(!vertexCodePasses(say(*b, "47204\r")));
        QVERIFY(!b->unlocked());

        // The programmer sends one byte at a time; the board assembles them.
        for (char c : kWakeUp)
            say(*b, QByteArray(1, c));
        QByteArray answer;
        for (char c : QByteArray("47203\r"))
            answer += say(*b, QByteArray(1, c));
        QVERIFY(vertexCodePasses(answer));
        QVERIFY(b->unlocked());
    }

    void vertexReadSendsEveryWordOneReplyAtATime()
    {
        for (int product : {4, 5}) {
            auto b = board(product);
            unlock(*b);
            b->receive("02\r");
            const auto pieces = takeAll(*b);
            const int last = Product::info(product).lastWord;
            QCOMPARE(int(pieces.size()), last + 1);
            QVERIFY(pieces[0].bytes.size() >= 9);
            QCOMPARE(pieces[0].bytes.mid(3, 4), QByteArray(Product::info(product).headerWord));
            for (int i = 1; i <= last; ++i) {
                QVERIFY2(pieces[size_t(i)].bytes.size() == 6, qPrintable(QString::number(i)));
                QCOMPARE(pieces[size_t(i)].bytes.left(4), b->memory().word(i).toLatin1());
                QVERIFY(!pieces[size_t(i)].afterTaken); // sent on the board's own time, as a board does
            }
            // The read is over: the board takes commands again.
            QCOMPARE(say(*b, "03\r").size(), 3);
        }
    }

    void vertexWriteStoresTheWordsAndAcknowledgesEach()
    {
        auto b = board(5);
        unlock(*b);
        QCOMPARE(say(*b, "03\r").size(), 3);
        for (int i = 0; i <= 98; ++i) {
            const QByteArray word = i == 7 ? QByteArray("12") : QByteArray::number(0xA000 + i, 16).toUpper();
            QCOMPARE(say(*b, word + '\r').size(), 7);
        }
        QCOMPARE(b->memory().word(0), QStringLiteral("A000"));
        QCOMPARE(b->memory().word(98), QStringLiteral("A062"));
        QCOMPARE(b->memory().word(7), QStringLiteral("12"));    // as sent
        QCOMPARE(b->memory().word(99), QStringLiteral("0063")); // beyond the product's words
        // After the last word the board is back to commands; a short word reads back as four digits.
        b->receive("02\r");
        const auto pieces = takeAll(*b);
        QCOMPARE(pieces[7].bytes.left(4), QByteArray("0012"));
    }

    void boardObeysReadAndWriteOnlyAfterTheCode()
    {
        auto locked = board(4);
        QVERIFY(say(*locked, "02\r").isEmpty());
        QVERIFY(say(*locked, "03\r").isEmpty());
        say(*locked, kWakeUp);
        say(*locked, "11111\r");
        QVERIFY(say(*locked, "02\r").isEmpty());

        auto open = board(4, {}, false);
        open->receive("02\r");
        QCOMPARE(int(takeAll(*open).size()), 250);

        // A new wake-up in the middle of a read ends it: what was still to come is void.
        auto b = board(4);
        unlock(*b);
        b->receive("02\r");
        QVERIFY(b->takePiece());
        const auto epoch = b->epoch();
        QVERIFY(vertexWakeUpPasses(say(*b, kWakeUp)));
        QVERIFY(b->epoch() != epoch);
        QVERIFY(!b->takePiece());
    }

    void accessCodeFollowsTheMemoryUnlessFixed()
    {
        auto b = board(4);
        QCOMPARE(b->accessCode(), QStringLiteral("47203"));
        unlock(*b);
        say(*b, "03\r");
        for (int i = 0; i <= 249; ++i)
            say(*b, i == 17 ? "0001\r" : i == 18 ? "0203\r" : i == 19 ? "0405\r" : "0000\r");
        QCOMPARE(b->accessCode(), QStringLiteral("12345"));
        say(*b, kWakeUp);
        QVERIFY(vertexCodePasses(say(*b, "12345\r")));

        BoardSetup setup;
        setup.accessCode = QStringLiteral("99999");
        auto fixed = VirtualBoard::create(setup, numberedMemory(4));
        say(*fixed, kWakeUp);
        QVERIFY(!vertexCodePasses(say(*fixed, "47203\r")));
        say(*fixed, kWakeUp);
        QVERIFY(vertexCodePasses(say(*fixed, "99999\r")));
    }

    void forceInitializationRestoresTheFactoryMemory()
    {
        for (int product : {1, 3, 4}) {
            auto b = board(product);
            unlock(*b);
            const QByteArray answer = product == 3 ? say(*b, icomText("01")) : say(*b, "01\r");
            QVERIFY(answer.isEmpty());
            QVERIFY(b->memory() == VirtualBoard::factoryMemory(product));
            QVERIFY(!b->unlocked());
            QCOMPARE(b->accessCode(), QStringLiteral("47203"));
        }
    }

    void alincoBoardAnswersWithItsOwnCounts()
    {
        auto b = board(1);
        QVERIFY(!say(*b, kWakeUp).isEmpty());
        QVERIFY(say(*b, "47204\r").isEmpty()); // a refusal is silence
        say(*b, kWakeUp);
        QVERIFY(!say(*b, "47203\r").isEmpty());

        b->receive("02\r");
        const auto pieces = takeAll(*b);
        QCOMPARE(int(pieces.size()), 99);
        for (int i = 0; i <= 98; ++i) {
            QCOMPARE(pieces[size_t(i)].bytes.size(), 6);
            QCOMPARE(pieces[size_t(i)].bytes.left(4), b->memory().word(i).toLatin1());
        }

        QVERIFY(say(*b, "03\r").isEmpty());
        for (int i = 0; i <= 98; ++i)
            QCOMPARE(say(*b, "BEEF\r").size(), 2);
        QCOMPARE(b->memory().word(98), QStringLiteral("BEEF"));
        QCOMPARE(b->memory().word(99), QStringLiteral("0063"));
    }

    void icomBoardAnswersTheProgrammersFrames()
    {
        auto b = board(3);
        const QByteArray wakeUp = QByteArray::fromHex("FEFEEEEFE820240000"
                                                      "00FD");
        QVERIFY(icomWakeUpPasses(say(*b, wakeUp)));
        QVERIFY(!icomCodePasses(say(*b, icomText("47204"))));
        QVERIFY(icomWakeUpPasses(say(*b, wakeUp)));
        // Line noise before a frame does not hide it.
        QVERIFY(icomCodePasses(say(*b, "\x11\x22" + icomText("47203"))));

        b->receive(QByteArray::fromHex("FEFEEEEFE82024000002"
                                       "3032"
                                       "0D0AFD"));
        const auto pieces = takeAll(*b);
        QCOMPARE(int(pieces.size()), 250);
        for (int i = 0; i <= 249; ++i) {
            QCOMPARE(icomWord(pieces[size_t(i)].bytes), b->memory().word(i).toLatin1());
            QVERIFY(!pieces[size_t(i)].afterTaken);
        }

        say(*b, icomText("03"));
        const QByteArray wordFrame = QByteArray::fromHex("FEFEEEEFE82024000002"
                                                         "30304535"
                                                         "0D0AFD");
        QVERIFY(icomAckPasses(say(*b, wordFrame)));
        QCOMPARE(b->memory().word(0), QStringLiteral("00E5"));
        for (int i = 1; i <= 249; ++i)
            QVERIFY(icomAckPasses(say(*b, icomText("ABCD"))));
        QCOMPARE(b->memory().word(249), QStringLiteral("ABCD"));
        QCOMPARE(b->memory().word(250), QStringLiteral("00FA"));
    }

    void faultsThatSilenceOrRefuse()
    {
        auto silent = board(4, faults({"silent"}));
        QVERIFY(say(*silent, kWakeUp).isEmpty());
        QVERIFY(say(*silent, "47203\r").isEmpty());

        auto wrongCode = board(4, faults({"wrongcode"}));
        say(*wrongCode, kWakeUp);
        QVERIFY(!vertexCodePasses(say(*wrongCode, "47203\r")));
        auto wrongCodeIcom = board(2, faults({"wrongcode"}));
        say(*wrongCodeIcom, kIcomWakeUp);
        QVERIFY(!icomCodePasses(say(*wrongCodeIcom, icomText("47203"))));

        // Late answers start after the programmer's 250 ms look.
        auto late = board(4, faults({"late"}));
        late->receive(kWakeUp);
        const auto pieces = takeAll(*late);
        QCOMPARE(int(pieces.size()), 1);
        QVERIFY(pieces[0].pause > 250ms);
    }

    void faultsThatCorruptAnswers()
    {
        auto garbage = board(3, faults({"garbage"}));
        const QByteArray wake = say(*garbage, kIcomWakeUp);
        QCOMPARE(wake.size(), 12);
        QVERIFY(!icomWakeUpPasses(wake));
        auto vertexGarbage = board(4, faults({"garbage"}));
        QVERIFY(!vertexWakeUpPasses(say(*vertexGarbage, kWakeUp)));

        // Wrong acknowledgements leave the programmer waiting on every family.
        for (int product : {1, 3, 4}) {
            auto b = board(product, faults({"wrongack"}));
            unlock(*b);
            if (product == 3) {
                say(*b, icomText("03"));
                QVERIFY(!icomAckPasses(say(*b, icomText("1234"))));
            } else {
                say(*b, "03\r");
                QVERIFY(say(*b, "1234\r").size() < (product == 1 ? 2 : 7));
            }
            QCOMPARE(b->memory().word(0), QStringLiteral("1234"));
        }
    }

    void faultsThatEndATransfer()
    {
        auto stopped = board(4, faults({"stopat:10"}));
        unlock(*stopped);
        stopped->receive("02\r");
        QCOMPARE(int(takeAll(*stopped).size()), 11);
        QVERIFY(stopped->hung());
        QVERIFY(say(*stopped, kWakeUp).isEmpty());

        auto stoppedWrite = board(1, faults({"stopat:3"}));
        unlock(*stoppedWrite);
        say(*stoppedWrite, "03\r");
        for (int i = 0; i <= 3; ++i)
            QCOMPARE(say(*stoppedWrite, "1111\r"), QByteArray("OK"));
        QVERIFY(say(*stoppedWrite, "2222\r").isEmpty());

        // The line is closed after word 5, once the programmer has taken it.
        auto unplugged = board(2, faults({"unplug:5"}));
        unlock(*unplugged);
        unplugged->receive(icomText("02"));
        const auto pieces = takeAll(*unplugged);
        QCOMPARE(int(pieces.size()), 7);
        QVERIFY(pieces.back().hangup);
        QVERIFY(pieces.back().afterTaken);
        QCOMPARE(icomWord(pieces[5].bytes), QByteArray("0005"));

        auto unpluggedWrite = board(4, faults({"unplug:0"}));
        unlock(*unpluggedWrite);
        say(*unpluggedWrite, "03\r");
        unpluggedWrite->receive("1234\r");
        const auto writePieces = takeAll(*unpluggedWrite);
        QCOMPARE(int(writePieces.size()), 2);
        QCOMPARE(writePieces[0].bytes.size(), 7);
        QVERIFY(writePieces[1].hangup);
    }

    void icomLineFaults()
    {
        // Split: the frame arrives in pieces a few milliseconds apart, and joins up.
        auto split = board(3, faults({"splitreplies"}));
        split->receive(kIcomWakeUp);
        const auto wakePieces = takeAll(*split);
        QCOMPARE(int(wakePieces.size()), 3);
        QVERIFY(!icomWakeUpPasses(wakePieces[0].bytes));
        QVERIFY(wakePieces[1].pause > 0ms);
        QVERIFY(icomWakeUpPasses(joined(wakePieces)));

        // Merged at word 4: words 4 and 5 come in one piece.
        auto mergedAt = board(2, faults({"mergedframes:4"}));
        unlock(*mergedAt);
        mergedAt->receive(icomText("02"));
        const auto mergedPieces = takeAll(*mergedAt);
        QCOMPARE(int(mergedPieces.size()), 98);
        QCOMPARE(icomWord(mergedPieces[4].bytes), QByteArray("0005"));
        QCOMPARE(mergedPieces[4].bytes.count("\n\r\xFD"), 2);
        QCOMPARE(icomWord(mergedPieces[5].bytes), QByteArray("0006"));

        auto mergedAll = board(2, faults({"mergedframes"}));
        unlock(*mergedAll);
        mergedAll->receive(icomText("02"));
        QCOMPARE(int(takeAll(*mergedAll).size()), 50);

        // Echo: the programmer's own frame first (it does not end a wait), then the answer.
        auto echo = board(3, faults({"echo"}));
        echo->receive(kIcomWakeUp);
        const auto echoPieces = takeAll(*echo);
        QCOMPARE(int(echoPieces.size()), 2);
        QCOMPARE(echoPieces[0].bytes, kIcomWakeUp);
        QVERIFY(icomWakeUpPasses(echoPieces[1].bytes));
    }

    void faultSwitchesAreReadFromTheirNames()
    {
        BoardFaults f;
        QVERIFY(!f.add(QStringLiteral("late")));
        QVERIFY(!f.add(QStringLiteral("StopAt:40")));
        QVERIFY(!f.add(QStringLiteral("mergedframes")));
        QVERIFY(f.late && f.stopAt == 40 && f.merged && !f.mergedAt);
        QVERIFY(f.add(QStringLiteral("stopat"))); // needs its word
        QVERIFY(f.add(QStringLiteral("late:3"))); // takes none
        QVERIFY(f.add(QStringLiteral("unplug:x")));
        QVERIFY(f.add(QStringLiteral("unplug:301")));
        QVERIFY(f.add(QStringLiteral("smoke")));
        QVERIFY(!f.unplugAt);
    }
};

QTEST_GUILESS_MAIN(TestVirtualBoard)
#include "TestVirtualBoard.moc"
