// The Vertex and Alinco dialogues against a scripted board.
#include "LinkTestData.h"
#include "ScriptedPort.h"

#include <AlincoDialogue.h>
#include <Primitives.h>
#include <VertexDialogue.h>

#include <QTest>

using namespace LinkTestData;
using Outcome = PingResult::Outcome;
using End = TransferResult::End;

namespace {

const QByteArray kWake("\xE5\x2C", 2);
const QByteArray kCode("47203\r");

// Replies of a board that sends words first..N on its own after "02" CR, one every 5 ms.
QList<ScriptedPort::Piece> wordReplies(int first, int N, qint64 startMillis = 5)
{
    QList<ScriptedPort::Piece> pieces;
    for (int i = first; i <= N; ++i)
        pieces.append({startMillis + 5 * (i - first), boardWord(i).toLatin1() + "\r\n"});
    return pieces;
}

enum class Arrival { OneAtATime, InPieces, InPairs, BackToBack, AdapterBatches };

// The replies of a board that sends words 0..N on its own, one reply every 2 ms,
// as they reach the programmer. Through an adapter, what the board sent reaches
// the PC once per 16 ms tick.
QList<ScriptedPort::Piece> arriving(const QList<QByteArray>& replies, Arrival arrival)
{
    QList<ScriptedPort::Piece> pieces;
    QByteArray all;
    for (qsizetype k = 0; k < replies.size(); ++k) {
        const qint64 at = 5 + 2 * k;
        const QByteArray& reply = replies[k];
        switch (arrival) {
        case Arrival::OneAtATime: pieces.append({at, reply}); break;
        case Arrival::InPieces:
            pieces.append({at, reply.left(1)});
            pieces.append({at, reply.mid(1, 4)}); // a piece may end mid-word
            pieces.append({at + 1, reply.mid(5)});
            break;
        case Arrival::InPairs:
            if (k % 2 == 1 || k + 1 == replies.size())
                pieces.append({at, (k % 2 == 1 ? replies[k - 1] : QByteArray()) + reply});
            break;
        case Arrival::BackToBack: all += reply; break;
        case Arrival::AdapterBatches:
            all += reply;
            if ((at + 2) / 16 != at / 16 || k + 1 == replies.size())
                pieces.append({(at / 16 + 1) * 16, std::exchange(all, {})});
            break;
        }
    }
    if (arrival == Arrival::BackToBack)
        pieces.append({5, all});
    return pieces;
}

// A board that answers every written word (4 characters and CR) with `answer`.
void answerEveryWord(ScriptedPort& port, const BoardImage& image, int N, const QByteArray& answer)
{
    for (int i = 0; i <= N; ++i)
        port.onSent(image.word(i).toLatin1() + '\r', answer, 3);
}

} // namespace

class TestCountedDialogues : public QObject {
    Q_OBJECT

private slots:
    void pingJudgesBothAnswers_data();
    void pingJudgesBothAnswers();
    void pingOnAClosedPortIsAPortError();
    void vertexReadTakesWordZeroFromTheFirstReply_data();
    void vertexReadTakesWordZeroFromTheFirstReply();
    void readsEveryWordHoweverTheRepliesArrive_data();
    void readsEveryWordHoweverTheRepliesArrive();
    void vertexReadCancelledAtTheFirstWaitStillOverwritesWordZero();
    void cancelDuringAWordWaitKeepsTheWordsReadSoFar();
    void vertexWriteSendsEveryWordPacedAndAwaitsEachAnswer();
    void vertexWriteCancelledAtTheFirstWaitStillSendsWordZero();
    void alincoReadStepsOncePerWordIncludingWordZero();
    void alincoWriteSendsWordZeroRightAfterTheCommand();
    void portFailureMidTransferKeepsTheWordsDone();
    void silentBoardTimesOutOnlyWithATimeout();
};

void TestCountedDialogues::pingJudgesBothAnswers_data()
{
    QTest::addColumn<bool>("vertex");
    QTest::addColumn<QByteArray>("wakeAnswer");
    QTest::addColumn<qint64>("codeAfter");
    QTest::addColumn<QByteArray>("codeAnswer");
    QTest::addColumn<int>("outcome");
    const QByteArray e5("\xE5");
    QTest::newRow("V accepted") << true << e5 << qint64(20) << QByteArray("OK\n\r") << int(Outcome::Established);
    QTest::newRow("V CR LF refuses") << true << e5 + "xy" << qint64(20) << QByteArray("OK\r\n")
                                     << int(Outcome::CodeRefused);
    QTest::newRow("V late code answer") << true << e5 << qint64(251) << QByteArray("\n\r") << int(Outcome::CodeRefused);
    QTest::newRow("V E5 as text") << true << QByteArray("E5") << qint64(20) << QByteArray("\n\r")
                                  << int(Outcome::LinkError);
    QTest::newRow("V no answer") << true << QByteArray() << qint64(20) << QByteArray("\n\r") << int(Outcome::LinkError);
    QTest::newRow("A any answers") << false << QByteArray("?") << qint64(20) << QByteArray("\r\n")
                                   << int(Outcome::Established);
    QTest::newRow("A silent on code") << false << QByteArray("?") << qint64(20) << QByteArray()
                                      << int(Outcome::CodeRefused);
    QTest::newRow("A late code answer") << false << QByteArray("?") << qint64(251) << QByteArray("x")
                                        << int(Outcome::CodeRefused);
    QTest::newRow("A no answer") << false << QByteArray() << qint64(20) << QByteArray("x") << int(Outcome::LinkError);
}

void TestCountedDialogues::pingJudgesBothAnswers()
{
    QFETCH(bool, vertex);
    QFETCH(QByteArray, wakeAnswer);
    QFETCH(qint64, codeAfter);
    QFETCH(QByteArray, codeAnswer);
    QFETCH(int, outcome);
    ScriptedLink link;
    link.port.arriveAt(0, "stale");
    link.port.onSent(kWake, wakeAnswer, 20);
    link.port.onSent(kCode, codeAnswer, codeAfter);
    const auto ping = vertex ? Ping_Vertex : Ping_Alinco;
    QCOMPARE(int(ping(link.ctx, QStringLiteral("47203")).outcome), outcome);
    QCOMPARE(link.port.sentBytes(), outcome == int(Outcome::LinkError) ? kWake : kWake + kCode);
    QVERIFY(link.port.shortestGapMicros() >= kPaceMicros);
}

void TestCountedDialogues::pingOnAClosedPortIsAPortError()
{
    ScriptedLink link;
    link.port.close();
    const PingResult r = Ping_Vertex(link.ctx, QStringLiteral("47203"));
    QVERIFY(r.outcome == Outcome::PortError);
    QVERIFY(!r.message.isEmpty());
    QVERIFY(link.port.sent().empty());
}

void TestCountedDialogues::vertexReadTakesWordZeroFromTheFirstReply_data()
{
    QTest::addColumn<QByteArray>("firstReply");
    QTest::addColumn<int>("N");
    QTest::newRow("9 characters, VT-60") << QByteArray("\x02"
                                                       "0:00E5\r\n")
                                         << 249;
    QTest::newRow("9 characters, VTP-50") << QByteArray("abc00E5\n\r") << 98;
}

void TestCountedDialogues::vertexReadTakesWordZeroFromTheFirstReply()
{
    QFETCH(QByteArray, firstReply);
    QFETCH(int, N);
    ScriptedLink link;
    link.port.arriveAt(0, "stale");
    link.port.onSent("02\r", QList<ScriptedPort::Piece>{{5, firstReply}} + wordReplies(1, N, 10));
    BoardImage image = filled(QStringLiteral("AAAA"));

    const TransferResult r = ReadVertex(link.ctx, image, N);
    QVERIFY(r.end == End::Completed);
    QCOMPARE(r.wordsDone, N + 1);
    QCOMPARE(link.steps, N); // word 0 makes no step
    QCOMPARE(link.port.sentBytes(), QByteArray("02\r"));
    QCOMPARE(image.word(0), QStringLiteral("00E5"));
    for (int i = 1; i <= N; ++i)
        QCOMPARE(image.word(i), boardWord(i));
    for (int i = N + 1; i <= BoardImage::kLastIndex; ++i)
        QCOMPARE(image.word(i), QStringLiteral("AAAA"));
}

void TestCountedDialogues::readsEveryWordHoweverTheRepliesArrive_data()
{
    QTest::addColumn<bool>("vertex");
    QTest::addColumn<int>("arrival");
    const std::pair<const char*, Arrival> arrivals[] = {{"one at a time", Arrival::OneAtATime},
                                                        {"in pieces", Arrival::InPieces},
                                                        {"merged in pairs", Arrival::InPairs},
                                                        {"back to back", Arrival::BackToBack},
                                                        {"in 16 ms adapter batches", Arrival::AdapterBatches}};
    for (const auto& [name, arrival] : arrivals) {
        QTest::addRow("Vertex, %s", name) << true << int(arrival);
        QTest::addRow("Alinco, %s", name) << false << int(arrival);
    }
}

void TestCountedDialogues::readsEveryWordHoweverTheRepliesArrive()
{
    QFETCH(bool, vertex);
    QFETCH(int, arrival);
    constexpr int N = 98;
    QList<QByteArray> replies;
    for (int i = 0; i <= N; ++i)
        replies.append((vertex && i == 0 ? "RD:" : "") + boardWord(i).toLatin1() + "\n\r");
    ScriptedLink link;
    link.port.onSent("02\r", arriving(replies, Arrival(arrival)));
    BoardImage image = filled(QStringLiteral("AAAA"));

    const TransferResult r = vertex ? ReadVertex(link.ctx, image, N) : ReadAlinco(link.ctx, image, N);
    QVERIFY(r.end == End::Completed);
    QCOMPARE(r.wordsDone, 99);
    QCOMPARE(link.steps, vertex ? 98 : 99);
    QCOMPARE(image.word(0), QStringLiteral("1000"));
    QCOMPARE(image.word(1), QStringLiteral("1007"));
    QCOMPARE(image.word(50), QStringLiteral("115E"));
    QCOMPARE(image.word(98), QStringLiteral("12AE"));
    QCOMPARE(image.word(99), QStringLiteral("AAAA"));
    for (int i = 0; i <= N; ++i)
        QCOMPARE(image.word(i), boardWord(i));
    QCOMPARE(link.port.bytesAvailable(), 0);
}

void TestCountedDialogues::vertexReadCancelledAtTheFirstWaitStillOverwritesWordZero()
{
    ScriptedLink link;
    link.port.onSent("02\r",
                     "\x02"
                     "0:",
                     5); // three characters, then silence
    link.port.cancelAt(100, link.cancel);
    BoardImage image = filled(QStringLiteral("AAAA"));

    const TransferResult r = ReadVertex(link.ctx, image, 98);
    QVERIFY(r.end == End::Cancelled);
    QCOMPARE(r.wordsDone, 1);
    QCOMPARE(image.word(0), QString()); // characters 4..7 of what had arrived: none
    QCOMPARE(image.word(1), QStringLiteral("AAAA"));
    QCOMPARE(link.steps, 0);
}

void TestCountedDialogues::cancelDuringAWordWaitKeepsTheWordsReadSoFar()
{
    // Vertex: words 0..10 arrive, then the board falls silent.
    ScriptedLink vertex;
    vertex.port.onSent("02\r", QList<ScriptedPort::Piece>{{5, "xyz00E5\r\n"}} + wordReplies(1, 10, 10));
    vertex.port.cancelAt(1000, vertex.cancel);
    BoardImage image = filled(QStringLiteral("AAAA"));
    TransferResult r = ReadVertex(vertex.ctx, image, 249);
    QVERIFY(r.end == End::Cancelled);
    QCOMPARE(r.wordsDone, 11);
    QCOMPARE(vertex.steps, 10);
    QCOMPARE(image.word(10), boardWord(10));
    QCOMPARE(image.word(11), QStringLiteral("AAAA"));

    // Alinco: the same cancel leaves the awaited word alone.
    ScriptedLink alinco;
    alinco.port.onSent("02\r", wordReplies(0, 4));
    alinco.port.cancelAt(1000, alinco.cancel);
    image = filled(QStringLiteral("AAAA"));
    r = ReadAlinco(alinco.ctx, image, 98);
    QVERIFY(r.end == End::Cancelled);
    QCOMPARE(r.wordsDone, 5);
    QCOMPARE(alinco.steps, 5);
    QCOMPARE(image.word(4), boardWord(4));
    QCOMPARE(image.word(5), QStringLiteral("AAAA"));
}

void TestCountedDialogues::vertexWriteSendsEveryWordPacedAndAwaitsEachAnswer()
{
    ScriptedLink link;
    const BoardImage image = boardImage();
    link.port.onSent("03\r", "OK\r", 5);
    answerEveryWord(link.port, image, 98, "ACK\r\n\r\n");

    const TransferResult r = WriteVertex(link.ctx, image, 98);
    QVERIFY(r.end == End::Completed);
    QCOMPARE(r.wordsDone, 99);
    QCOMPARE(link.steps, 99);
    QByteArray expected("03\r");
    for (int i = 0; i <= 98; ++i)
        expected += boardWord(i).toLatin1() + '\r';
    QCOMPARE(link.port.sentBytes(), expected);
    QCOMPARE(link.port.unusedRules(), 0);
    QVERIFY(link.port.shortestGapMicros() >= kPaceMicros);
}

void TestCountedDialogues::vertexWriteCancelledAtTheFirstWaitStillSendsWordZero()
{
    ScriptedLink link;
    link.port.cancelAt(100, link.cancel);
    const BoardImage image = boardImage();
    const TransferResult r = WriteVertex(link.ctx, image, 98);
    QVERIFY(r.end == End::Cancelled);
    QCOMPARE(r.wordsDone, 1);
    QCOMPARE(link.steps, 1);
    QCOMPARE(link.port.sentBytes(), "03\r" + boardWord(0).toLatin1() + '\r');
}

void TestCountedDialogues::alincoReadStepsOncePerWordIncludingWordZero()
{
    ScriptedLink link;
    link.port.onSent("02\r", wordReplies(0, 98));
    BoardImage image = filled(QStringLiteral("AAAA"));
    const TransferResult r = ReadAlinco(link.ctx, image, 98);
    QVERIFY(r.end == End::Completed);
    QCOMPARE(link.steps, 99);
    for (int i = 0; i <= 98; ++i)
        QCOMPARE(image.word(i), boardWord(i));
    QCOMPARE(image.word(99), QStringLiteral("AAAA"));
}

void TestCountedDialogues::alincoWriteSendsWordZeroRightAfterTheCommand()
{
    ScriptedLink link;
    const BoardImage image = boardImage();
    link.port.onSent("03\r", "!", 1); // counts towards word 0's answer
    link.port.onSent(boardWord(0).toLatin1() + '\r', "!", 3);
    for (int i = 1; i <= 98; ++i)
        link.port.onSent(boardWord(i).toLatin1() + '\r', "OK", 3);

    const TransferResult r = WriteAlinco(link.ctx, image, 98);
    QVERIFY(r.end == End::Completed);
    QCOMPARE(link.steps, 99);
    const auto& sent = link.port.sent();
    QCOMPARE(sent[3].atMicros - sent[2].atMicros, kPaceMicros); // no wait between "03" CR and word 0
    QVERIFY(link.port.shortestGapMicros() >= kPaceMicros);
}

void TestCountedDialogues::portFailureMidTransferKeepsTheWordsDone()
{
    ScriptedLink link;
    link.port.onSent("02\r", wordReplies(0, 98));
    link.port.failAt(5 + 8 * 3 + 5 * 20 + 2, QStringLiteral("/dev/ttyUSB0: device unplugged"));
    BoardImage image = filled(QStringLiteral("AAAA"));
    const TransferResult r = ReadAlinco(link.ctx, image, 98);
    QVERIFY(r.end == End::Failed);
    QCOMPARE(r.message, QStringLiteral("/dev/ttyUSB0: device unplugged"));
    QCOMPARE(r.wordsDone, 21);
    QCOMPARE(image.word(20), boardWord(20));
    QCOMPARE(image.word(21), QStringLiteral("AAAA"));

    // Writing to the failed port stops at once.
    QVERIFY(WriteVertex(link.ctx, image, 98).end == End::Failed);
}

void TestCountedDialogues::silentBoardTimesOutOnlyWithATimeout()
{
    ScriptedLink link;
    link.ctx.silenceTimeout = std::chrono::milliseconds(2000);
    link.port.onSent("03\r", "OK\r", 5);
    link.port.onSent(boardWord(0).toLatin1() + '\r', "ACK\r\n\r\n", 3);
    const TransferResult r = WriteVertex(link.ctx, boardImage(), 98);
    QVERIFY(r.end == End::TimedOut);
    QCOMPARE(r.wordsDone, 2); // word 1 went out and was never answered
    QVERIFY(!r.message.isEmpty());
}

QTEST_GUILESS_MAIN(TestCountedDialogues)
#include "TestCountedDialogues.moc"
