#include "BoardImage.h"
#include "MemoryMap.h"
#include "Product.h"

#include <QTest>

class TestBoardImage : public QObject {
    Q_OBJECT
private slots:
    void carriesAnyTextUnchanged()
    {
        BoardImage image;
        QCOMPARE(image.word(0), QString());
        image.setWord(0, QStringLiteral("20E5"));
        image.setWord(300, QStringLiteral("not hex, \"quoted\", \xe9"));
        QCOMPARE(image.word(0), QStringLiteral("20E5"));
        QCOMPARE(image.word(300), QStringLiteral("not hex, \"quoted\", \xe9"));
    }

    void indexOutsideTheImageStopsTheOperation()
    {
        BoardImage image;
        QVERIFY_THROWS_EXCEPTION(BoardImage::IndexError, image.word(301));
        QVERIFY_THROWS_EXCEPTION(BoardImage::IndexError, image.word(-1));
        QVERIFY_THROWS_EXCEPTION(BoardImage::IndexError, image.setWord(301, QStringLiteral("0000")));
        QVERIFY(image == BoardImage());
    }

    void memoryMapStrides()
    {
        QCOMPARE(MemoryMap::groupCodeWord(3), 28);
        QCOMPARE(MemoryMap::speedDialWord(2), 50);
        QCOMPARE(MemoryMap::groupTagWord(1), 104);
        QCOMPARE(MemoryMap::speedTagWord(13) + 4, 249);
    }

    void productTable()
    {
        QCOMPARE(Product::info(3).lastWord, 249);
        QCOMPARE(Product::info(5).lastWord, 98);
        QCOMPARE(QString::fromLatin1(Product::info(2).defaultFile), QStringLiteral("defaulti.tv2"));
        QCOMPARE(QString::fromLatin1(Product::info(4).headerWord), QStringLiteral("20E5"));
        QCOMPARE(Product::fromValue(QStringLiteral("3")), std::optional<int>(3));
        QCOMPARE(Product::fromValue(QStringLiteral("3.0")), std::optional<int>(3));
        QCOMPARE(Product::fromValue(QStringLiteral("7")), std::nullopt);
        QCOMPARE(Product::fromValue(QStringLiteral("x")), std::nullopt);
        QCOMPARE(Product::fromValue(QString()), std::nullopt);
    }
};

QTEST_APPLESS_MAIN(TestBoardImage)
#include "TestBoardImage.moc"
