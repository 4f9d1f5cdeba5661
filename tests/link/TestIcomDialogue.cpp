// The Icom dialogue against a scripted board: frames, tails, pieces and pacing.
#include "LinkTestData.h"
#include "ScriptedPort.h"

#include <IcomDialogue.h>
#include <Primitives.h>

#include <QTest>

using namespace LinkTestData;
using Outcome = PingResult::Outcome;
using End = TransferResult::End;

namespace {

const QByteArray kHeader = bytes({0xFE, 0xFE, 0xEE, 0xEF, 0xE8, 0x20, 0x24, 0x00, 0x00});
const QByteArray kWakeFrame = kHeader + bytes({0x00, 0xFD});
const QByteArray kReadFrame = kHeader + bytes({0x02, 0x30, 0x32, 0x0D, 0x0A, 0xFD});
const QByteArray kWriteFrame = kHeader + bytes({0x02, 0x30, 0x33, 0x0D, 0x0A, 0xFD});
const QByteArray kCodeFrame = kHeader + '\x02' + "47203" + bytes({0x0D, 0x0A, 0xFD});
const QByteArray kWakeAnswer = kHeader + "01" + bytes({0xFD});
const QByteArray kCodeAnswer = kHeader + bytes({0x02, '2', 0x0A, 0x0D, 0xFD});

// The board's frame carrying one word, ending LF CR FD.
QByteArray boardFrame(const QString& word)
{
    return kHeader + '\x02' + word.toLatin1() + bytes({0x0A, 0x0D, 0xFD});
}

QByteArray pcWordFrame(const QString& word)
{
    return kHeader + '\x02' + word.toLatin1() + bytes({0x0D, 0x0A, 0xFD});
}

const QByteArray kAck = kHeader + bytes({0x02, 0x0A, 0x0D, 0xFD});

} // namespace

class TestIcomDialogue : public QObject {
    Q_OBJECT

private slots:
    void framesAreExactlyTheBoardsFrames();
    void pingJudgesTheTailsOfBothAnswers_data();
    void pingJudgesTheTailsOfBothAnswers();
    void readTakesEachWordFromItsFrameAndStepsPerWord();
    void readJoinsPiecesAndIgnoresEchoesAndStrayBytes();
    void readStoresEveryWordOfFramesMergedInOnePiece();
    void writeGoesAtLineSpeedAndStepsAfterEachAck();
    void writeWaitsForAMatchingAckUntilCancelled();
};

void TestIcomDialogue::framesAreExactlyTheBoardsFrames()
{
    QCOMPARE(IcomFrame::wakeUp(), bytes({0xFE, 0xFE, 0xEE, 0xEF, 0xE8, 0x20, 0x24, 0x00, 0x00, 0x00, 0xFD}));
    QCOMPARE(IcomFrame::withText("02"),
             bytes({0xFE, 0xFE, 0xEE, 0xEF, 0xE8, 0x20, 0x24, 0x00, 0x00, 0x02, 0x30, 0x32, 0x0D, 0x0A, 0xFD}));
    QCOMPARE(IcomFrame::withText("00E5"), bytes({0xFE, 0xFE, 0xEE, 0xEF, 0xE8, 0x20, 0x24, 0x00, 0x00, 0x02, 0x30, 0x30,
                                                 0x45, 0x35, 0x0D, 0x0A, 0xFD}));
    QCOMPARE(IcomFrame::withText("47203").size(), 18);
}

void TestIcomDialogue::pingJudgesTheTailsOfBothAnswers_data()
{
    QTest::addColumn<QByteArray>("wakeAnswer");
    QTest::addColumn<qint64>("wakeAfter");
    QTest::addColumn<QByteArray>("codeAnswer");
    QTest::addColumn<int>("outcome");
    QTest::newRow("accepted") << kWakeAnswer << qint64(30) << kCodeAnswer << int(Outcome::Established);
    QTest::newRow("CR LF refuses") << kWakeAnswer << qint64(30) << kHeader + bytes({0x02, '2', 0x0D, 0x0A, 0xFD})
                                   << int(Outcome::CodeRefused);
    QTest::newRow("wrong wake tail") << kHeader + "00" + bytes({0xFD}) << qint64(30) << kCodeAnswer
                                     << int(Outcome::LinkError);
    QTest::newRow("wake answer in transit") << kWakeAnswer << qint64(199) << kCodeAnswer << int(Outcome::LinkError);
}

void TestIcomDialogue::pingJudgesTheTailsOfBothAnswers()
{
    QFETCH(QByteArray, wakeAnswer);
    QFETCH(qint64, wakeAfter);
    QFETCH(QByteArray, codeAnswer);
    QFETCH(int, outcome);
    ScriptedLink link;
    // The answer's last two bytes are still on the line when the PC looks.
    link.port.onSent(kWakeFrame, QList<ScriptedPort::Piece>{{wakeAfter, wakeAnswer.chopped(2)},
                                                            {wakeAfter + 2, wakeAnswer.right(2)}});
    link.port.onSent(kCodeFrame, codeAnswer, 30);
    QCOMPARE(int(Ping_Icom(link.ctx, QStringLiteral("47203")).outcome), outcome);
    if (outcome != int(Outcome::LinkError))
        QCOMPARE(link.port.sentBytes(), kWakeFrame + kCodeFrame);
    QVERIFY(link.port.shortestGapMicros() >= kPaceMicros);
}

void TestIcomDialogue::readTakesEachWordFromItsFrameAndStepsPerWord()
{
    for (const int N : {98, 249}) {
        ScriptedLink link;
        QList<ScriptedPort::Piece> frames;
        for (int i = 0; i <= N; ++i)
            frames.append({5 + 20 * i, boardFrame(boardWord(i))});
        link.port.onSent(kReadFrame, frames);
        BoardImage image = filled(QStringLiteral("AAAA"));
        const TransferResult r = ReadIcom(link.ctx, image, N);
        QVERIFY(r.end == End::Completed);
        QCOMPARE(link.steps, N + 1);
        QCOMPARE(link.port.sentBytes(), kReadFrame);
        for (int i = 0; i <= N; ++i)
            QCOMPARE(image.word(i), boardWord(i));
        QCOMPARE(image.word(N + 1), QStringLiteral("AAAA"));
        QVERIFY(link.port.shortestGapMicros() >= kPaceMicros);
    }
}

void TestIcomDialogue::readJoinsPiecesAndIgnoresEchoesAndStrayBytes()
{
    ScriptedLink link;
    const QByteArray w0 = boardFrame(QStringLiteral("00E5"));
    const QByteArray w1 = boardFrame(QStringLiteral("1234"));
    const QByteArray w2 = boardFrame(QStringLiteral("5678"));
    link.port.onSent(kReadFrame, QList<ScriptedPort::Piece>{
                                     {1, kReadFrame},  // the PC's own frame echoed: not an answer
                                     {5, w0.left(12)}, // word 0 in three pieces
                                     {7, w0.mid(12, 3)},
                                     {9, w0.mid(15)},
                                     {20, w1 + kHeader.left(3)},      // word 1 with the start of the next frame
                                     {40, kHeader.mid(3) + w2.mid(9)} // the rest of word 2
                                 });
    BoardImage image = filled(QStringLiteral("AAAA"));
    link.port.cancelAt(500, link.cancel);
    const TransferResult r = ReadIcom(link.ctx, image, 98);
    QVERIFY(r.end == End::Cancelled);
    QCOMPARE(image.word(0), QStringLiteral("00E5"));
    QCOMPARE(image.word(1), QStringLiteral("1234"));
    QCOMPARE(image.word(2), QStringLiteral("5678"));
    QCOMPARE(image.word(3), QStringLiteral("AAAA"));
    QCOMPARE(r.wordsDone, 3);
    QCOMPARE(link.steps, 3);
}

void TestIcomDialogue::readStoresEveryWordOfFramesMergedInOnePiece()
{
    ScriptedLink link;
    link.port.onSent(kReadFrame, QList<ScriptedPort::Piece>{
                                     {5, boardFrame(QStringLiteral("00E5"))},
                                     {20, boardFrame(QStringLiteral("1111")) + boardFrame(QStringLiteral("2222"))},
                                     // an adapter's batch ends inside the next word
                                     {40, boardFrame(QStringLiteral("3333")) + boardFrame("4444").left(12)},
                                     {56, boardFrame("4444").mid(12) + boardFrame("5555").left(3)},
                                     {72, boardFrame("5555").mid(3)},
                                 });
    BoardImage image = filled(QStringLiteral("AAAA"));
    const TransferResult r = ReadIcom(link.ctx, image, 5);
    QVERIFY(r.end == End::Completed);
    QCOMPARE(image.word(0), QStringLiteral("00E5"));
    QCOMPARE(image.word(1), QStringLiteral("1111"));
    QCOMPARE(image.word(2), QStringLiteral("2222"));
    QCOMPARE(image.word(3), QStringLiteral("3333"));
    QCOMPARE(image.word(4), QStringLiteral("4444"));
    QCOMPARE(image.word(5), QStringLiteral("5555"));
    QCOMPARE(image.word(6), QStringLiteral("AAAA"));
    QCOMPARE(link.steps, 6);

    // Frames beyond the last word are not stored.
    ScriptedLink more;
    more.port.onSent(kReadFrame, boardFrame("AB01") + boardFrame("AB02") + boardFrame("AB03"), 5);
    image = filled(QStringLiteral("AAAA"));
    QVERIFY(ReadIcom(more.ctx, image, 1).end == End::Completed);
    QCOMPARE(image.word(1), QStringLiteral("AB02"));
    QCOMPARE(image.word(2), QStringLiteral("AAAA"));
    QCOMPARE(more.steps, 2);
}

void TestIcomDialogue::writeGoesAtLineSpeedAndStepsAfterEachAck()
{
    ScriptedLink link;
    BoardImage image = boardImage();
    image.setWord(0, QStringLiteral("00E5"));
    link.port.arriveAt(0, "stale"); // nothing is dropped before the command
    link.port.onSent(kWriteFrame, "ready", 20);
    for (int i = 0; i <= 98; ++i)
        link.port.onSent(pcWordFrame(image.word(i)), kAck, 4);

    const TransferResult r = WriteIcom(link.ctx, image, 98);
    QVERIFY(r.end == End::Completed);
    QCOMPARE(link.steps, 99);
    QCOMPARE(link.port.unusedRules(), 0);
    const QByteArray sent = link.port.sentBytes();
    QVERIFY(sent.startsWith(kWriteFrame + pcWordFrame(QStringLiteral("00E5"))));
    QCOMPARE(pcWordFrame(QStringLiteral("00E5")), bytes({0xFE, 0xFE, 0xEE, 0xEF, 0xE8, 0x20, 0x24, 0x00, 0x00, 0x02,
                                                         0x30, 0x30, 0x45, 0x35, 0x0D, 0x0A, 0xFD}));
    // Whole frames at once: every byte of the command at time 0, word 0 100 ms later.
    const auto& bytesSent = link.port.sent();
    QCOMPARE(bytesSent[0].atMicros, 0);
    QCOMPARE(bytesSent[14].atMicros, 0);
    QCOMPARE(bytesSent[15].atMicros, 100 * 1000);
    QCOMPARE(bytesSent[31].atMicros, 100 * 1000);
}

void TestIcomDialogue::writeWaitsForAMatchingAckUntilCancelled()
{
    ScriptedLink link;
    const BoardImage image = boardImage();
    link.port.onSent(pcWordFrame(image.word(0)), kAck, 4);
    // Word 1 is answered with its own echo and a frame of the wrong kind.
    link.port.onSent(pcWordFrame(image.word(1)), pcWordFrame(image.word(1)) + boardFrame("0000"), 4);
    link.port.cancelAt(2000, link.cancel);
    const TransferResult r = WriteIcom(link.ctx, image, 98);
    QVERIFY(r.end == End::Cancelled);
    QCOMPARE(r.wordsDone, 1);
    QCOMPARE(link.steps, 1);
    QVERIFY(link.port.sentBytes().endsWith(pcWordFrame(image.word(1))));
}

QTEST_GUILESS_MAIN(TestIcomDialogue)
#include "TestIcomDialogue.moc"
