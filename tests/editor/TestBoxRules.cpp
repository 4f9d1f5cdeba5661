#include "EditorFixtures.h"
#include "FormControls.h"

#include <QTest>

using Editor::DisplayFormat;

class TestBoxRules : public QObject {
    Q_OBJECT
private slots:
    void displayFormats_data()
    {
        QTest::addColumn<DisplayFormat>("format");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("four digits padded") << DisplayFormat::FourDigits << "12"
                                            << "0012";
        QTest::newRow("four digits other text") << DisplayFormat::FourDigits << "12A"
                                                << "12A";
        QTest::newRow("four digits empty") << DisplayFormat::FourDigits << ""
                                           << "";
        QTest::newRow("five digits padded") << DisplayFormat::FiveDigits << "123"
                                            << "00123";
        QTest::newRow("number loses zeros") << DisplayFormat::NumberNoLeadingZeros << "0012"
                                            << "12";
        QTest::newRow("number zero stays") << DisplayFormat::NumberNoLeadingZeros << "000"
                                           << "0";
        QTest::newRow("number other text") << DisplayFormat::NumberNoLeadingZeros << "012B"
                                           << "012B";
        QTest::newRow("no format") << DisplayFormat::None << "0012"
                                   << "0012";
        QTest::newRow("capitals per character") << DisplayFormat::Capitals << "ab\u00df\u00e9\u00ff1"
                                                << "AB\u00df\u00c9\u00ff1";
    }

    void displayFormats()
    {
        QFETCH(DisplayFormat, format);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QCOMPARE(Editor::applyDisplayFormat(typed, format), shown);
    }

    void accessCodeRuleCountsLengthOnly()
    {
        QCOMPARE(Editor::accessCodeRule(QStringLiteral("123")), QStringLiteral("47203"));
        QCOMPARE(Editor::accessCodeRule(QString()), QStringLiteral("47203"));
        QCOMPARE(Editor::accessCodeRule(QStringLiteral("AB12C")), QStringLiteral("AB12C"));
    }

    void incrementPrimaryCode()
    {
        const QList<std::pair<QString, QString>> cases{{"0123", "0124"}, {"", "0001"},  {"0009", "0010"},
                                                       {"12X", "0013"},  {"X", "0001"}, {"9998", "9999"}};
        for (const auto& [before, after] : cases) {
            Form form = Form::designTime();
            form.PrimaryCode.text = before;
            QCOMPARE(Editor::incrementPrimaryCode(form), Editor::IncrementResult::Done);
            QCOMPARE(form.PrimaryCode.text, after);
        }
        Form form = Form::designTime();
        form.PrimaryCode.text = QStringLiteral("9999");
        QCOMPARE(Editor::incrementPrimaryCode(form), Editor::IncrementResult::AtLimit);
        QCOMPARE(form.PrimaryCode.text, QStringLiteral("9999"));
    }

    void entriesAreCompletedThenCheckedByTheirWords()
    {
        Form form = formFor(4);
        // What a board or a file gave stays exactly as it is when its words are well formed.
        form.ProgAccessCode.text = QStringLiteral("ABCDE");
        form.PrimaryCode.text = QStringLiteral("12AB");
        form.GroupCode[2].text = QStringLiteral("12AB");
        form.SpeedDial[1].text = QStringLiteral("0000000000000000");
        form.SpeedDial[10].text = QStringLiteral("123456789ABCDEF");
        QCOMPARE(Editor::completeEntries(form), QStringList());
        QCOMPARE(form.SpeedDial[1].text, QStringLiteral("0000000000000000"));
        QCOMPARE(form.PrimaryCode.text, QStringLiteral("12AB"));
        BoardImage image;
        Editor::ReadGUI(form, image);
        QCOMPARE((QStringList{image.word(17), image.word(18), image.word(19)}), (QStringList{"000A", "0B0C", "0D0E"}));
        QCOMPARE((QStringList{image.word(46), image.word(47), image.word(48), image.word(49)}),
                 (QStringList{"0000", "0000", "0000", "0000"}));

        // Texts that would give short words are completed as leaving their box would.
        form.PrimaryCode.text = QStringLiteral("12");
        form.ProgAccessCode.text = QString();
        form.GroupCode[3].text = QStringLiteral("7");
        QCOMPARE(Editor::completeEntries(form), QStringList());
        QCOMPARE(form.PrimaryCode.text, QStringLiteral("0012"));
        QCOMPARE(form.ProgAccessCode.text, QStringLiteral("47203"));
        QCOMPARE(form.GroupCode[3].text, QStringLiteral("0007"));

        // What no completion mends is named once, in the order of the window.
        form.ProgAccessCode.text = QStringLiteral("4720G");
        form.UpperBlockCode.text = QStringLiteral("12G");
        form.GroupCode[3].text = QStringLiteral("12ab");
        form.SpeedDial[11].text = QStringLiteral("555-1234");
        QCOMPARE(Editor::completeEntries(form),
                 (QStringList{"Access Code: \"4720G\" must be five characters 0-9 or A-F",
                              "Upper Block Decode: \"12G\" must be four digits 0-9 or A-F, or empty",
                              "Group Codes, row 3: \"12ab\" must be four digits 0-9 or A-F, or empty",
                              "Speed Dial, row B: \"555-1234\" must be digits 0-9 or A-F only"}));
        QCOMPARE(form.UpperBlockCode.text, QStringLiteral("12G"));

        const QStringList words{"00E5", "000A", "12", "00ff", "0000"};
        for (int i = 0; i < words.size(); ++i)
            image.setWord(i, words[i]);
        QCOMPARE(Editor::malformedWords(image, 4), (QStringList{"word 2 (\"12\") is not four hexadecimal digits",
                                                                "word 3 (\"00ff\") is not four hexadecimal digits"}));
    }

    void enteringAsAUserWould()
    {
        Form form = formFor(4);
        const auto enter = [&](const char* name, const QString& value) {
            return FormControls::enter(form, *FormControls::find(QString::fromLatin1(name)), value);
        };
        QVERIFY(enter("PrimaryCode", "12").ok);
        QCOMPARE(form.PrimaryCode.text, QStringLiteral("0012"));
        QVERIFY(enter("ProgAccessCode", "123").ok);
        QCOMPARE(form.ProgAccessCode.text, QStringLiteral("47203"));
        QVERIFY(!enter("PrimaryCode", "12345").ok); // longer than the box
        QCOMPARE(form.PrimaryCode.text, QStringLiteral("0012"));
        QVERIFY(!enter("GroupCode(0)", "1234").ok); // greyed while fleet dispatch is off
        QVERIFY(enter("chkFleetDispatch", "1").ok); // raises the handler
        QVERIFY(enter("GroupAlpha(0)", "abc").ok);
        QCOMPARE(form.GroupAlpha[0].text, QStringLiteral("ABC"));
        QVERIFY(!enter("cmbSystemTone", "100.0hz 0").ok);
        QVERIFY(enter("cmbSystemTone", "100.0hz   0").ok);
        QVERIFY(!enter("chkLock(0)", "yes").ok);
        QVERIFY(!enter("Label3", "x").ok);
        Editor::mnuProduct_Click(form, 5);
        QVERIFY(!enter("chkANI", "1").ok);
        QVERIFY(!enter("GroupAlpha(0)", "X").ok);
    }
};

QTEST_APPLESS_MAIN(TestBoxRules)
#include "TestBoxRules.moc"
