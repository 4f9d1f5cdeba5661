#include "WordCodecs.h"

#include <QTest>

using namespace WordCodec;

class TestWordCodecs : public QObject {
    Q_OBJECT
private slots:
    void switchesAndNumbers()
    {
        QVERIFY(!isOn(QStringLiteral("0000")));
        QVERIFY(isOn(QStringLiteral("0001")));
        QVERIFY(isOn(QString())); // only "0000" is off
        QCOMPARE(switchWord(true), QStringLiteral("00FF"));
        QCOMPARE(roamingWord(true), QStringLiteral("0006"));
        QCOMPARE(numberWord(10), QStringLiteral("000A"));
        QCOMPARE(numberWord(255), QStringLiteral("00FF"));
        QCOMPARE(numberWord(0x12345), QStringLiteral("2345"));
    }

    void fourDigitCodes()
    {
        const CodeWords w = codeWords(QStringLiteral("4096"));
        QCOMPARE(w.first, QStringLiteral("0400"));
        QCOMPARE(w.second, QStringLiteral("0906"));
        QCOMPARE(codeText(w.first, w.second), QStringLiteral("4096"));
        const CodeWords absent = codeWords(QString());
        QCOMPARE(absent.first, QStringLiteral("0000"));
        QCOMPARE(absent.second, QStringLiteral("000F"));
        QCOMPARE(codeText(QStringLiteral("0400"), QStringLiteral("000F")), QString());
        // A short entry gives short words, and reading them gives the digits present.
        const CodeWords shortEntry = codeWords(QStringLiteral("12"));
        QCOMPARE(shortEntry.second, QStringLiteral("00"));
        // Reading them back does not give the entry again, which is why the editor refuses short entries.
        QCOMPARE(codeText(shortEntry.first, shortEntry.second), QStringLiteral("120"));
        QString empty;
        FormatData(empty);
        QCOMPARE(empty, QString());
        QString shortWord = QStringLiteral("012");
        FormatData(shortWord);
        QCOMPARE(shortWord, QStringLiteral("1"));
        for (int code = 0; code <= 9999; code += 37) {
            const QString text = QStringLiteral("%1").arg(code, 4, 10, QLatin1Char('0'));
            const CodeWords cw = codeWords(text);
            QVERIFY(isWellFormed(cw.first) && isWellFormed(cw.second));
            QCOMPARE(codeText(cw.first, cw.second), text);
        }
    }

    void accessCode()
    {
        const auto w = accessCodeWords(QStringLiteral("47203"));
        QCOMPARE(w[0], QStringLiteral("0004"));
        QCOMPARE(w[1], QStringLiteral("0702"));
        QCOMPARE(w[2], QStringLiteral("0003"));
        QCOMPARE(accessCodeText(w[0], w[1], w[2]), QStringLiteral("47203"));
        const auto empty = accessCodeWords(QString());
        QCOMPARE(empty[0], QStringLiteral("000"));
        QCOMPARE(empty[1], QStringLiteral("00"));
    }

    void groupCodes()
    {
        QCOMPARE(groupCodeWord(QStringLiteral("1234")), QStringLiteral("1234"));
        QCOMPARE(groupCodeWord(QString()), QStringLiteral("000F"));
        QCOMPARE(groupCodeText(QStringLiteral("000F")), QString());
        QCOMPARE(groupCodeText(QStringLiteral("0000")), QStringLiteral("0000")); // a real code
        QCOMPARE(groupCodeText(QStringLiteral("12AB")), QStringLiteral("12AB"));
    }

    void speedDialMemories()
    {
        auto w = speedDialWords(QStringLiteral("5551234"), false);
        QCOMPARE(w, (std::array<QString, 4>{"FFFF", "FFFF", "F555", "1234"}));
        w = speedDialWords(QStringLiteral("5551234"), true);
        QCOMPARE(w[0], QStringLiteral("AFFF"));
        w = speedDialWords(QStringLiteral("987654321098765"), true);
        QCOMPARE(w, (std::array<QString, 4>{"A987", "6543", "2109", "8765"}));
        QCOMPARE(speedDialWords(QString(), true), (std::array<QString, 4>{"FFFF", "FFFF", "FFFF", "FFFF"}));

        QVERIFY(isLockMark(QStringLiteral("AFFF")));
        QCOMPARE(withoutLockMark(QStringLiteral("A987")), QStringLiteral("F987"));
        QCOMPARE(speedDialNumber({"FFFF", "FFFF", "F555", "1234"}), QStringLiteral("5551234"));
        QCOMPARE(speedDialNumber({"FFFF", "FFFF", "FFFF", "FFFF"}), QString());
        QCOMPARE(speedDialNumber({"F987", "6543", "2109", "8765"}), QStringLiteral("987654321098765"));
        // Every length from 1 to 15 comes back as it went in.
        const QString digits = QStringLiteral("123456789012345");
        for (int n = 1; n <= 15; ++n) {
            const QString number = digits.right(n);
            const auto words = speedDialWords(number, false);
            QCOMPARE(speedDialNumber(words), number);
        }
    }

    void optionBits()
    {
        QCOMPARE(optionBitsWord({true, false, true}), QStringLiteral("FF05"));
        QCOMPARE(optionBitsWord({false, true, false}), QStringLiteral("FF02"));
        const OptionBits b = WordCodec::optionBits(QStringLiteral("FF05"));
        QVERIFY(b.voiceEncryption && !b.dtmfMic && b.ani);
        const OptionBits none = WordCodec::optionBits(QStringLiteral("FF0X"));
        QVERIFY(!none.voiceEncryption && !none.dtmfMic && !none.ani);
        QVERIFY(!WordCodec::optionBits(QString()).ani);
        for (int n = 0; n < 8; ++n) {
            const OptionBits in{(n & 1) != 0, (n & 2) != 0, (n & 4) != 0};
            const OptionBits out = WordCodec::optionBits(optionBitsWord(in));
            QCOMPARE(out.voiceEncryption, in.voiceEncryption);
            QCOMPARE(out.dtmfMic, in.dtmfMic);
            QCOMPARE(out.ani, in.ani);
        }
    }

    void listsAndSystemId()
    {
        QCOMPARE(mandownTexts().size(), 10);
        QCOMPARE(mandownTexts().last(), QStringLiteral("Continuous"));
        QCOMPARE(toneTexts().at(4), QStringLiteral("123.0hz   3"));
        QCOMPARE(systemIdTexts().size(), 32);
        QCOMPARE(systemIdValue(QStringLiteral("001F")), 31);
        QCOMPARE(systemIdValue(QString()), 0);
        QCOMPARE(systemIdValue(QStringLiteral("0020")), 32);
        QCOMPARE(systemIdValue(QStringLiteral("FFFF")), -1);
        QCOMPARE(systemIdValue(QStringLiteral("X12")), 0);
        QCOMPARE(systemIdWord(QStringLiteral("30")), QStringLiteral("001E"));
        QCOMPARE(systemIdWord(QString()), QStringLiteral("0000"));
    }

    void markerAndWellFormedWords()
    {
        QVERIFY(hasMarker(QStringLiteral("00E5")));
        QVERIFY(hasMarker(QStringLiteral("20E5")));
        QVERIFY(!hasMarker(QStringLiteral("00e5")));
        QVERIFY(!hasMarker(QStringLiteral("00E6")));
        QVERIFY(!hasMarker(QStringLiteral("5")));
        QVERIFY(isWellFormed(QStringLiteral("09AF")));
        QVERIFY(!isWellFormed(QStringLiteral("09af")));
        QVERIFY(!isWellFormed(QStringLiteral("000")));
        QVERIFY(!isWellFormed(QStringLiteral("00G0")));
    }
};

QTEST_APPLESS_MAIN(TestWordCodecs)
#include "TestWordCodecs.moc"
