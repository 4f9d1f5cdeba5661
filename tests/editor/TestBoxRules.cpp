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
        QTest::newRow("four digits padded") << DisplayFormat::FourDigits << "12" << "0012";
        QTest::newRow("four digits other text") << DisplayFormat::FourDigits << "12A" << "12A";
        QTest::newRow("four digits empty") << DisplayFormat::FourDigits << "" << "";
        QTest::newRow("five digits padded") << DisplayFormat::FiveDigits << "123" << "00123";
        QTest::newRow("number loses zeros") << DisplayFormat::NumberNoLeadingZeros << "0012" << "12";
        QTest::newRow("number zero stays") << DisplayFormat::NumberNoLeadingZeros << "000" << "0";
        QTest::newRow("number other text") << DisplayFormat::NumberNoLeadingZeros << "012B" << "012B";
        QTest::newRow("no format") << DisplayFormat::None << "0012" << "0012";
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
        const QList<std::pair<QString, QString>> cases{
            {"0123", "0124"}, {"", "0001"}, {"0009", "0010"}, {"12X", "0013"}, {"X", "0001"}, {"9998", "9999"}};
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

    void entriesThatCannotBecomeBoardWordsAreNamed()
    {
        Form form = formFor(4);
        form.ProgAccessCode.text = QStringLiteral("47203");
        form.PrimaryCode.text = QStringLiteral("4096");
        form.GroupCode[2].text = QStringLiteral("12AB");
        form.SpeedDial[10].text = QStringLiteral("123456789ABCDE0");
        QCOMPARE(Editor::entryProblems(form), QStringList());

        form.PrimaryCode.text = QStringLiteral("12X");
        form.UpperBlockCode.text = QStringLiteral("12");
        form.ProgAccessCode.text = QStringLiteral("4720A");
        form.GroupCode[3].text = QStringLiteral("12ab");
        form.SpeedDial[11].text = QStringLiteral("555F");
        QCOMPARE(Editor::entryProblems(form),
                 (QStringList{"Access Code: \"4720A\" must be five digits",
                              "Primary Code - ESN: \"12X\" must be four digits",
                              "Upper Block Decode: \"12\" must be four digits",
                              "Group Codes, row 3: \"12ab\" must be four digits 0-9 or A-F",
                              "Speed Dial, row B: \"555F\" must be up to 15 digits 0-9 or A-E"}));
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
