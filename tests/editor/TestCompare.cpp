#include "Compare.h"
#include "EditorFixtures.h"
#include "FormControls.h"

#include <QTest>

#include <map>
#include <set>

namespace {

QStringList lines(const std::vector<Compare::Difference>& diffs)
{
    QStringList out;
    for (const Compare::Difference& d : diffs)
        out << Compare::describe(d, QStringLiteral(" | "));
    return out;
}

} // namespace

class TestCompare : public QObject {
    Q_OBJECT

private slots:
    void sameImagesHaveNoDifference()
    {
        const BoardImage a = plainImage();
        QVERIFY(Compare::differences(a, a, 4, 250).empty());
    }

    void settingsByCaptionInWindowOrderThenUnshownWords()
    {
        BoardImage a = plainImage();
        setWords(a, {{3, "00FF"}, {25 + 3, "1234"}});
        BoardImage b = a;
        setWords(b, {{6, "0102"},
                     {7, "0304"},      // primary code 1234
                     {25 + 3, "1235"}, // group row 3
                     {42, "AFFF"},     // memory 0 locked
                     {42 + 40 + 2, "F555"},
                     {42 + 40 + 3, "1234"}, // memory A
                     {3, "0001"},           // still tone on: the list shows the same
                     {98, "FF10"},          // high digits nobody reads
                     {179, "4321"},
                     {250, "0000"}});
        const QStringList expected{
            QStringLiteral("Primary Code - ESN: (blank) | 1234"),
            QStringLiteral("Group Codes, row 3: 1234 | 1235"),
            QStringLiteral("Lock, row 0: clear | set"),
            QStringLiteral("Speed Dial, row A: (blank) | 5551234"),
            QStringLiteral("word 3: 00FF | 0001"),
            QStringLiteral("word 98: FF00 | FF10"),
            QStringLiteral("word 179: 1234 | 4321"),
            QStringLiteral("word 250: FFFF | 0000"),
        };
        QCOMPARE(lines(Compare::differences(a, b, 4, 250)), expected);
        // A board's compare stops at its last word, and names the controls.
        const std::vector<Compare::Difference> board = Compare::differences(a, b, 4, 98);
        QCOMPARE(board.size(), std::size_t(6));
        QCOMPARE(board[1].control, QStringLiteral("GroupCode(3)"));
        QCOMPARE(board[5].word, 98);
    }

    void tagsOfAProductWithoutTagConversionShowAsWords()
    {
        const BoardImage a = plainImage();
        BoardImage b = a;
        setWords(b, {{99 + 5 * 2, "4142"}});
        // Product 1 shows no tags: the word itself differs.
        QCOMPARE(lines(Compare::differences(a, b, 1, 250)), QStringList{QStringLiteral("word 109: 5454 | 4142")});
        // Product 3 shows the tag in its box, so the word is not listed again.
        const std::vector<Compare::Difference> icom = Compare::differences(a, b, 3, 249);
        QCOMPARE(icom.size(), std::size_t(1));
        QCOMPARE(icom[0].control, QStringLiteral("GroupAlpha(2)"));
        QVERIFY(icom[0].setting.endsWith(QStringLiteral("row 2")));
    }

    void everyEditingControlNamesItsWords()
    {
        for (const FormControl& c : FormControls::all()) {
            if (c.isEditing())
                QVERIFY2(!Compare::wordsOf(c.name).empty(), qPrintable(c.name));
        }
        QCOMPARE(Compare::wordsOf(QStringLiteral("SpeedAlpha(13)")), (std::vector<int>{245, 246, 247, 248, 249}));
    }

    void rowsClaimTheirOwnWordsAndTextsComeBackFromThem()
    {
        // Only word 98 (the three option bits) and each speed dial's first word (its lock) are shared.
        const std::set<int> shared{42, 46, 50, 54, 58, 62, 66, 70, 74, 78, 82, 86, 90, 94, 98};
        std::map<int, int> claims;
        for (const FormControl& c : FormControls::all()) {
            for (const int w : c.words)
                ++claims[w];
        }
        for (const auto& [word, rows] : claims)
            QVERIFY2(rows == 1 || (rows <= 3 && shared.count(word)), qPrintable(QString::number(word)));
        QCOMPARE(claims.size(), std::size_t(246)); // 1..249 but the fixed words 24, 41 and the spare 179

        const Form form = Form::designTime();
        for (const FormControl& c : FormControls::all()) {
            if (!c.coding || !c.coding->encode)
                continue;
            const QString text = c.entry == EntryRule::AccessCode ? QStringLiteral("12345") : QStringLiteral("1234");
            const std::vector<QString> words = c.coding->encode(c, form, text);
            QCOMPARE(words.size(), c.words.size());
            QCOMPARE(c.coding->decode(words), text);
        }
    }
};

QTEST_GUILESS_MAIN(TestCompare)
#include "TestCompare.moc"
