#include "EditorFixtures.h"
#include "Product.h"
#include "ProductExpectations.h"

#include <QTest>

// Which controls the two feature frames and the product offer.
namespace {

// How many controls of a row array are enabled: every row or none.
template <typename Array>
int enabled(const Array& controls)
{
    int n = 0;
    for (const auto& c : controls)
        n += c.enabled ? 1 : 0;
    return n;
}

} // namespace

class TestFrames : public QObject {
    Q_OBJECT
private slots:
    void framesFollowModeAndProduct_data()
    {
        QTest::addColumn<int>("product");
        QTest::addColumn<bool>("tags"); // products whose boards hold tags and locks
        for (const ProductInfo& p : Product::kAll)
            QTest::newRow(p.shortName) << p.index << expectedOf(p.index).tags;
    }

    void framesFollowModeAndProduct()
    {
        QFETCH(int, product);
        QFETCH(bool, tags);
        Form form = formFor(product);
        form.GroupAlpha[5].text = QStringLiteral("KEEP");

        Editor::setFleetDispatch(form, 1);
        Editor::setMemorySpeed(form, 1);
        const int groupTags = tags ? Form::kGroups : 0;
        const int speedTags = tags ? Form::kSpeedDials : 0;
        QCOMPARE(enabled(form.GroupCode), Form::kGroups);
        QCOMPARE(enabled(form.Label1), Form::kGroups);
        QCOMPARE(enabled(form.GroupAlpha), groupTags);
        QVERIFY(form.Label3.enabled);
        QCOMPARE(form.Label2.enabled, tags);
        QCOMPARE(enabled(form.SpeedDial), Form::kSpeedDials);
        QCOMPARE(enabled(form.Label23), Form::kSpeedDials);
        QCOMPARE(enabled(form.SpeedAlpha), speedTags);
        QCOMPARE(enabled(form.chkLock), speedTags);
        QVERIFY(form.Label5.enabled && form.Label25.enabled);
        QCOMPARE(form.Label6.enabled, tags);
        QCOMPARE(form.Label8.enabled, tags);

        Editor::setFleetDispatch(form, 0);
        Editor::setMemorySpeed(form, 0);
        Editor::mnuProduct_Click(form, product); // a product change keeps them off
        QCOMPARE(enabled(form.GroupCode) + enabled(form.Label1) + enabled(form.GroupAlpha), 0);
        QVERIFY(!form.Label2.enabled && !form.Label3.enabled);
        QCOMPARE(enabled(form.SpeedDial) + enabled(form.Label23) + enabled(form.SpeedAlpha) + enabled(form.chkLock), 0);
        QVERIFY(!form.Label5.enabled && !form.Label6.enabled && !form.Label8.enabled && !form.Label25.enabled);
        QVERIFY(form.chkFleetDispatch.enabled && form.chkMemorySpeed.enabled);
        QCOMPARE(form.GroupAlpha[5].text, QStringLiteral("KEEP"));
    }

    void greyedBoxCountsAsOffAndNoProductChangesNothing()
    {
        Form form = formFor(4);
        Editor::setFleetDispatch(form, 2);
        QVERIFY(!form.GroupCode[0].enabled);

        Form none = Form::designTime();
        Editor::setFleetDispatch(none, 1);
        Editor::setMemorySpeed(none, 0);
        Editor::setMemorySpeed(none, 1);
        QVERIFY(!none.GroupCode[0].enabled && !none.Label3.enabled);
        QVERIFY(none.SpeedAlpha[0].enabled && none.Label6.enabled);
    }

    void productProfileSetsOptionControls_data()
    {
        QTest::addColumn<int>("product");
        QTest::addColumn<QString>("shortName");
        QTest::addColumn<QList<bool>>("enabled"); // DTMF mic, voice encryption, roaming, ANI, mandown
        for (const ProductInfo& p : Product::kAll) {
            const ExpectedProduct e = expectedOf(p.index);
            QList<bool> offered;
            for (const char* o = e.options; *o; ++o)
                offered << (*o == '1');
            QTest::addRow("%d", p.index) << p.index << QString::fromLatin1(e.shortName) << offered;
        }
    }

    void productProfileSetsOptionControls()
    {
        QFETCH(int, product);
        QFETCH(QString, shortName);
        QFETCH(QList<bool>, enabled);
        Form form = formFor(product == 4 ? 2 : 4);
        form.chkDTMFMic.value = 1;
        Editor::mnuProduct_Click(form, product);
        QCOMPARE(form.lblProduct.caption, shortName);
        const QList<bool> actual{form.chkDTMFMic.enabled, form.chkVoiceEncryption.enabled, form.chkRoaming.enabled,
                                 form.chkANI.enabled, form.cmbMandown.enabled};
        QCOMPARE(actual, enabled);
        QCOMPARE(form.Label4.enabled, form.cmbMandown.enabled);
        QCOMPARE(form.chkDTMFMic.value, 1);
        for (const ProductInfo& p : Product::kAll)
            QCOMPARE(form.mnuProduct[p.index], p.index == product);
        QCOMPARE(Editor::selectedProduct(form), std::optional<int>(product));
    }

    void unknownProductLeavesTheWindowAsItWas()
    {
        Form form = Form::designTime();
        Editor::applyProductProfile(form, QStringLiteral("7"));
        Editor::applyProductProfile(form, QStringLiteral("VT-60"));
        QCOMPARE(Editor::selectedProduct(form), std::nullopt);
        QVERIFY(form.lblProduct.caption.isEmpty());
        QVERIFY(form.chkDTMFMic.enabled && !form.chkANI.enabled);
        Editor::applyProductProfile(form, QStringLiteral("3"));

        // Several ticks: the product is the first, the port the last.
        form.mnuProduct[5] = true;
        form.mnuSerialConfig[2] = form.mnuSerialConfig[4] = true;
        QCOMPARE(Editor::selectedProduct(form), std::optional<int>(3));
        QCOMPARE(Editor::selectedPort(form), std::optional<int>(4));
    }
};

QTEST_APPLESS_MAIN(TestFrames)
#include "TestFrames.moc"
