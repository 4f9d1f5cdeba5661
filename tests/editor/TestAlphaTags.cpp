#include "AlphaTags.h"
#include "EditorFixtures.h"

#include <QTest>

using AlphaTags::SlotWords;

namespace {

SlotWords slot(const char* a, const char* b, const char* c, const char* d, const char* e)
{
    return {QString::fromLatin1(a), QString::fromLatin1(b), QString::fromLatin1(c), QString::fromLatin1(d),
            QString::fromLatin1(e)};
}

SlotWords repeated(const char* w)
{
    return slot(w, w, w, w, w);
}

} // namespace

Q_DECLARE_METATYPE(SlotWords)

class TestAlphaTags : public QObject {
    Q_OBJECT
private slots:
    void vertexEntry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<SlotWords>("words");
        QTest::newRow("empty") << "" << repeated("5454");
        QTest::newRow("right aligned") << "ABC" << slot("5454", "5454", "5454", "543A", "3B3C");
        QTest::newRow("capitals") << "abc" << slot("5454", "5454", "5454", "543A", "3B3C");
        QTest::newRow("last ten kept") << "XABCDEFGHIJ" << slot("3A3B", "3C3D", "3E3F", "4041", "4243");
        QTest::newRow("symbols") << "()+-=*/:?0" << slot("5556", "5758", "595A", "5B5F", "5D30");
        QTest::newRow("no board code") << "!@\u00b7[`\u00e9" << slot("5454", "5454", "0000", "0000", "0000");
        QTest::newRow("D typed") << "D" << slot("5454", "5454", "5454", "5454", "543D");
        QTest::newRow("underscore") << "_" << slot("5454", "5454", "5454", "5454", "5460");
        QTest::newRow("sharp s stays one character") << "\u00dfA" << slot("5454", "5454", "5454", "5454", "003A");
    }

    void vertexEntry()
    {
        QFETCH(QString, text);
        QFETCH(SlotWords, words);
        QCOMPARE(AlphaTags::vertexEncode(text), words);
    }

    void vertexDisplay_data()
    {
        QTest::addColumn<SlotWords>("words");
        QTest::addColumn<QString>("text");
        QTest::newRow("ten blanks") << repeated("5454") << "";
        QTest::newRow("above 0x60") << repeated("FFFF") << "";
        QTest::newRow("right aligned") << slot("5454", "5454", "5454", "543A", "3B3C") << "       ABC";
        QTest::newRow("board-only codes") << slot("5C5E", "6054", "5454", "5454", "5454") << "DS_       ";
        QTest::newRow("codes without a character")
            << slot("0530", "3A2F", "5454", "5454", "5454") << "\u20220A\u2022      ";
        QTest::newRow("not hex, short") << slot("ZZ31", "3", "", "54", "5454")
                                        << "1    "; // a two-character word is both halves
    }

    void vertexDisplay()
    {
        QFETCH(SlotWords, words);
        QFETCH(QString, text);
        QCOMPARE(AlphaTags::vertexDecode(words), text);
    }

    void icomBothWays()
    {
        QCOMPARE(AlphaTags::icomEncode(QStringLiteral("ABC")), slot("2020", "2020", "2020", "2041", "4243"));
        QCOMPARE(AlphaTags::icomDecode(slot("2020", "2020", "2020", "2041", "4243")), QStringLiteral("       ABC"));
        QCOMPARE(AlphaTags::icomEncode(QStringLiteral("abc")), slot("2020", "2020", "2020", "2041", "4243"));
        QCOMPARE(AlphaTags::icomEncode(QString()), repeated("2020"));
        QCOMPARE(AlphaTags::icomDecode(repeated("2020")), QString());
        QCOMPARE(AlphaTags::icomEncode(QStringLiteral("!_")), slot("2020", "2020", "2020", "2020", "215F"));
        QCOMPARE(AlphaTags::icomDecode(repeated("FFFF")), QString(10, QChar(0xFF)));
        // Control codes and DEL show as the mark; a half that is no code shows "?".
        QCOMPARE(AlphaTags::icomDecode(slot("001F", "7F41", "ZZ20", "4", "2020")),
                 QStringLiteral("\u2022\u2022\u2022A? ??  "));
        QCOMPARE(AlphaTags::icomDecode(slot("0541", "4242", "4242", "4242", "4242")),
                 QStringLiteral("\u2022ABBBBBBBB"));
        // No single-byte code: "?"; Latin-1 letters whose capital is not Latin-1 stay.
        QCOMPARE(AlphaTags::icomEncode(QStringLiteral("\u20ac\u00ff\u00b5\u00e9")),
                 slot("2020", "2020", "2020", "3FFF", "B5C9"));
    }

    void boardWordsComeBackUnchanged_data()
    {
        QTest::addColumn<bool>("icom");
        QTest::addColumn<SlotWords>("words");
        QTest::newRow("vertex letters") << false << slot("3A3B", "3C54", "5556", "3039", "5F60");
        QTest::newRow("vertex blanks") << false << repeated("5454");
        QTest::newRow("vertex codes without a character") << false << slot("0530", "3A2F", "5454", "5454", "5454");
        QTest::newRow("icom printable") << true << slot("4142", "2021", "7E5F", "3039", "C9FF");
        QTest::newRow("icom control codes") << true << slot("0001", "1F7F", "0D0A", "8081", "A0A1");
        QTest::newRow("icom control code first") << true << slot("0541", "4242", "4242", "4242", "4242");
        QTest::newRow("icom delete last") << true << slot("4142", "4344", "4546", "4748", "497F");
        QTest::newRow("icom blanks") << true << repeated("2020");
    }

    void boardWordsComeBackUnchanged()
    {
        QFETCH(bool, icom);
        QFETCH(SlotWords, words);
        // Encoded over the words the box was shown from, as the window does.
        const SlotWords back = icom ? AlphaTags::icomEncode(AlphaTags::icomDecode(words), words)
                                    : AlphaTags::vertexEncode(AlphaTags::vertexDecode(words), words);
        QCOMPARE(back, words);
    }

    void lowerCaseAndBoardOnlyCodesComeBackAsEntered()
    {
        QCOMPARE(AlphaTags::icomEncode(AlphaTags::icomDecode(slot("6162", "2020", "2020", "2020", "2020"))),
                 slot("4142", "2020", "2020", "2020", "2020"));
        QCOMPARE(AlphaTags::vertexEncode(AlphaTags::vertexDecode(slot("5C5E", "5454", "5454", "5454", "5454"))),
                 slot("3D4C", "5454", "5454", "5454", "5454"));
        // A shortened tag comes back right-aligned: its mark no longer stands over
        // the code it showed, and is stored as 00.
        const SlotWords shortened = slot("2130", "FF31", "5454", "5454", "5454");
        QCOMPARE(AlphaTags::vertexEncode(AlphaTags::vertexDecode(shortened), shortened),
                 slot("5400", "3031", "5454", "5454", "5454"));
        // A mark typed where the board had a printable code is a character without a code.
        QCOMPARE(AlphaTags::vertexEncode(QStringLiteral("\u2022"), repeated("3A3A")),
                 slot("5454", "5454", "5454", "5454", "5400"));
        QCOMPARE(AlphaTags::icomEncode(QStringLiteral("\u2022"), repeated("4141")),
                 slot("2020", "2020", "2020", "2020", "203F"));

        // Through the boxes: each slot is stored over the words it was shown from.
        for (const bool icom : {true, false}) {
            BoardImage image = plainImage(icom ? QStringLiteral("2020") : QStringLiteral("5454"));
            AlphaTags::setSlotWords(image, MemoryMap::groupTagWord(3),
                                    icom ? slot("0541", "4242", "4242", "4242", "4242")
                                         : slot("0530", "3A2F", "5454", "5454", "5454"));
            const BoardImage shown = image;
            Form form = formFor(icom ? 3 : 4);
            (icom ? Icom_alphaU : Vertex_AlphaU)(form, image);
            QCOMPARE(form.GroupAlpha[3].text,
                     icom ? QStringLiteral("\u2022ABBBBBBBB") : QStringLiteral("\u20220A\u2022      "));
            (icom ? Icom_AlphaR : Vertex_AlphaR)(form, image);
            QVERIFY(image == shown);
        }
    }
};

QTEST_APPLESS_MAIN(TestAlphaTags)
#include "TestAlphaTags.moc"
