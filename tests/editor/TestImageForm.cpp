#include "EditorFixtures.h"
#include "ProductExpectations.h"

#include <QTest>

// Showing an image in the controls and reading the controls back.
class TestImageForm : public QObject {
    Q_OBJECT
private slots:
    void showsWordsAsTheControlsShowThem()
    {
        BoardImage image = plainImage();
        // A table of words, as written by hand:
        // clang-format off
        setWords(image, {{6, "0400"}, {7, "0906"}, {8, "0400"}, {9, "000F"}, {12, "001E"}, {98, "FF05"},
                         {25, "1234"}, {26, "12AB"}, {42, "AFFF"}, {43, "FFFF"}, {44, "F555"}, {45, "1234"},
                         {1, "0006"}, {3, "00FF"}, {2, "0003"}, {16, "0001"}, {17, "0004"}, {18, "0702"},
                         {19, "0003"}});
        // clang-format on
        Form form = formFor(4);
        Editor::UpdateGUI(form, image);

        QCOMPARE(form.PrimaryCode.text, QStringLiteral("4096"));
        QCOMPARE(form.SecondaryCode.text, QString()); // absent code, digits in word 8 ignored
        QCOMPARE(form.cmbSystemID.text(), QStringLiteral("30"));
        QCOMPARE(form.chkVoiceEncryption.value, 1);
        QCOMPARE(form.chkANI.value, 1);
        QCOMPARE(form.chkDTMFMic.value, 0);
        QCOMPARE(form.GroupCode[0].text, QStringLiteral("1234"));
        QCOMPARE(form.GroupCode[1].text, QStringLiteral("12AB"));
        QCOMPARE(form.GroupCode[2].text, QString());
        QCOMPARE(form.chkLock[0].value, 1);
        QCOMPARE(form.SpeedDial[0].text, QStringLiteral("5551234"));
        QCOMPARE(image.word(42), QStringLiteral("FFFF")); // the lock now lives in the box
        QCOMPARE(form.chkLock[1].value, 0);
        QCOMPARE(form.SpeedDial[1].text, QString());
        QCOMPARE(form.cmbMandown.text(), QStringLiteral("Disabled")); // 0006 is not a mandown value
        QCOMPARE(form.cmbSystemTone.text(), QStringLiteral("123.0hz   3"));
        QCOMPARE(form.chkRadioKill.value, 1);
        QCOMPARE(form.ProgAccessCode.text, QStringLiteral("47203"));
    }

    void toneKeepsItsSelectionForAnUnknownNumber()
    {
        BoardImage image = plainImage();
        Form form = formFor(4);
        setWords(image, {{3, "00FF"}, {2, "0007"}});
        Editor::UpdateGUI(form, image);
        QCOMPARE(form.cmbSystemTone.index, -1); // nothing was ever selected
        setWords(image, {{3, "0000"}, {2, "0005"}});
        Editor::UpdateGUI(form, image);
        QCOMPARE(form.cmbSystemTone.text(), QStringLiteral("Carrier"));
        setWords(image, {{3, "00FF"}, {2, "0007"}});
        Editor::UpdateGUI(form, image);
        QCOMPARE(form.cmbSystemTone.text(), QStringLiteral("Carrier"));
    }

    void writesControlsAsBoardWords()
    {
        Form form = formFor(4);
        BoardImage image = plainImage();
        Editor::UpdateGUI(form, image);
        form.PrimaryCode.text = QStringLiteral("4096");
        form.cmbSystemTone.select(QStringLiteral("123.0hz   3"));
        form.cmbSystemID.select(QStringLiteral("30"));
        form.GroupCode[3].text = QStringLiteral("1234");
        form.SpeedDial[2].text = QStringLiteral("5551234");
        form.chkLock[2].value = 1;
        form.chkLock[3].value = 1; // empty memory: the lock is not read
        form.SpeedDial[4].text = QStringLiteral("987654321098765");
        form.chkLock[4].value = 1;
        form.chkVoiceEncryption.value = 1;
        form.chkANI.value = 1;
        form.chkRoaming.value = 1;
        Editor::ReadGUI(form, image);

        const QStringList expected{"20E5", "0400", "0906", "0003", "00FF", "001E", "1234", "AFFF",
                                   "FFFF", "F555", "1234", "FFFF", "FFFF", "FFFF", "FFFF", "A987",
                                   "6543", "2109", "8765", "FF05", "0006", "FFFF"};
        const QList<int> words{0, 6, 7, 2, 3, 12, 28, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 98, 21, 250};
        for (int k = 0; k < words.size(); ++k)
            QCOMPARE(image.word(words[k]), expected[k]);
        form.PrimaryCode.text.clear();
        Editor::ReadGUI(form, image);
        QCOMPARE(image.word(6), QStringLiteral("0000"));
        QCOMPARE(image.word(7), QStringLiteral("000F"));
    }

    void wordsTheFormCannotShowAreKept()
    {
        BoardImage image = plainImage();
        setWords(image, {{12, "0040"}, {16, "0001"}, {1, "0006"}});
        Form form = formFor(1);
        Editor::UpdateGUI(form, image);
        QCOMPARE(form.cmbSystemID.index, -1); // no item 64: nothing selected, nothing wrong shown
        form.chkRadioKill.value = 0;
        form.cmbMandown.index = -1;
        Editor::ReadGUI(form, image);
        QCOMPARE(image.word(12), QStringLiteral("0040"));
        QCOMPARE(image.word(16), QStringLiteral("0001")); // the editor never sets a kill, nor clears it unasked
        QCOMPARE(image.word(1), QStringLiteral("0006"));

        // No tone ever selected: words 2 and 3 stay as they were.
        Form fresh = formFor(4);
        setWords(image, {{2, "0003"}, {3, "00FF"}});
        Editor::ReadGUI(fresh, image);
        QCOMPARE(image.word(2), QStringLiteral("0003"));
        QCOMPARE(image.word(3), QStringLiteral("00FF"));

        // No product ticked: header and tag words untouched, end mark still written.
        Form none = Form::designTime();
        setWords(image, {{0, "12E5"}, {99, "ABCD"}, {250, "0000"}});
        Editor::ReadGUI(none, image);
        QCOMPARE(image.word(0), QStringLiteral("12E5"));
        QCOMPARE(image.word(99), QStringLiteral("ABCD"));
        QCOMPARE(image.word(250), QStringLiteral("FFFF"));
    }

    void showingAndReadingBackKeepsEveryWord_data()
    {
        QTest::addColumn<int>("product");
        for (const ProductInfo& p : Product::kAll)
            QTest::addRow("product %d", p.index) << p.index;
    }

    void showingAndReadingBackKeepsEveryWord()
    {
        QFETCH(int, product);
        const bool icom = Product::info(product).family.tags == &kIcomTags;
        BoardImage image = plainImage(icom ? QStringLiteral("2041") : QStringLiteral("3A54"));
        setWords(image, {{0, expectedOf(product).headerWord},
                         {1, "005A"},
                         {2, "0006"},
                         {3, "00FF"},
                         {4, "00FF"},
                         {5, "00FF"},
                         {6, "0100"},
                         {7, "0203"},
                         {12, "001F"},
                         {17, "0001"},
                         {18, "0203"},
                         {19, "0405"},
                         {20, "00FF"},
                         {21, "0006"},
                         {25, "0000"},
                         {40, "9999"},
                         {94, "AFFF"},
                         {95, "FF12"},
                         {96, "3456"},
                         {97, "789A"},
                         {98, "FF07"}});
        const BoardImage before = image;
        Form form = formFor(product);
        Editor::UpdateGUI(form, image);
        Editor::ReadGUI(form, image);
        for (int i = 0; i <= 300; ++i)
            QCOMPARE(image.word(i), before.word(i));
    }

    void onlyAChangeOfTheFeatureBoxesReconfiguresTheirFrames()
    {
        // Right after start-up the speed-dial rows are enabled although the mode is off.
        Form form = Form::designTime();
        Editor::applyProductProfile(form, QStringLiteral("5"));
        BoardImage image = plainImage();
        Editor::UpdateGUI(form, image);
        QVERIFY(form.SpeedAlpha[0].enabled && form.chkLock[0].enabled && !form.GroupCode[0].enabled);

        setWords(image, {{5, "00FF"}, {20, "00FF"}});
        Editor::UpdateGUI(form, image); // both boxes change: product 5 offers no tags
        QVERIFY(form.GroupCode[0].enabled && !form.GroupAlpha[0].enabled);
        QVERIFY(form.SpeedDial[0].enabled && !form.SpeedAlpha[0].enabled && !form.chkLock[0].enabled);

        form.GroupCode[0].enabled = false; // a handler run would enable it again
        Editor::UpdateGUI(form, image);
        QVERIFY(!form.GroupCode[0].enabled);
        Editor::setFleetDispatch(form, 1);
        QVERIFY(!form.GroupCode[0].enabled);
        Editor::setFleetDispatch(form, 0);
        QVERIFY(!form.GroupCode[0].enabled && !form.Label3.enabled);
    }
};

QTEST_APPLESS_MAIN(TestImageForm)
#include "TestImageForm.moc"
