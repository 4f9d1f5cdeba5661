#include "DataFile.h"
#include "SequentialInput.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

BoardImage numberedImage(const QString& prefix = QStringLiteral("A"))
{
    BoardImage image;
    for (int i = 0; i <= BoardImage::kLastIndex; ++i)
        image.setWord(i, QStringLiteral("%1%2").arg(prefix).arg(i, 3, 16, QLatin1Char('0')).toUpper());
    image.setWord(0, QStringLiteral("20E5"));
    return image;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write test file");
    return path;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestDataFile : public QObject {
    Q_OBJECT
private slots:
    void sequentialInputConvention()
    {
        auto values = [](const char* text) { return SequentialInput::parse(QByteArray(text), 400).values; };
        QCOMPARE(values("\"00E5\"\r\n\"0000\"\r\n"), (QStringList{"00E5", "0000"}));
        QCOMPARE(values("00E5\n0001\n"), (QStringList{"00E5", "0001"}));            // bare LF, unquoted
        QCOMPARE(values("00E5,0001\r0002"), (QStringList{"00E5", "0001", "0002"})); // comma, bare CR
        QCOMPARE(values("  \"a,b\"  , c d  \r\n"), (QStringList{"a,b", "c d"}));    // blanks, quoted comma
        QCOMPARE(values("\"x\"junk,y"), (QStringList{"x", "y"}));                   // after the quote
        QCOMPARE(values("a,"), (QStringList{"a", ""}));                             // a comma opens a value
        QCOMPARE(values("a\r\n\r\nb"), (QStringList{"a", "", "b"}));                // empty line
        QCOMPARE(values("\"unterminated,\r\nrest"), (QStringList{"unterminated,\r\nrest"}));
        QCOMPARE(values(""), QStringList());
        const auto capped = SequentialInput::parse("1,2,3", 2);
        QVERIFY(capped.truncated);
        QCOMPARE(capped.values.size(), 2);
        QVERIFY(!SequentialInput::parse("1,2", 2).truncated);
        // Every byte comes back as one character of the same code.
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            if (b != ',' && b != '"' && b != '\r' && b != '\n')
                all += char(b);
        const QString back = SequentialInput::parse('"' + all + '"', 1).values.value(0);
        QCOMPARE(back.toLatin1(), all);
    }

    void saveWritesTheExactFormatAndReopens()
    {
        QTemporaryDir dir;
        const BoardImage image = numberedImage();
        const QString path = dir.filePath(QStringLiteral("x.tv2"));
        QVERIFY(DataFile::save(path, image).ok());
        const QByteArray bytes = readAll(path);
        QCOMPARE(bytes.count("\r\n"), 251);
        QCOMPARE(bytes.size(), 251 * 8);
        QVERIFY(bytes.startsWith("\"20E5\"\r\n\"A001\"\r\n"));

        BoardImage reopened = numberedImage(QStringLiteral("B"));
        const auto result = DataFile::load(path, reopened, DataFile::MarkerRule::Required);
        QVERIFY(result.ok());
        QCOMPARE(result.count, 251);
        for (int i = 0; i <= 250; ++i)
            QCOMPARE(reopened.word(i), image.word(i));
        QCOMPARE(reopened.word(251), QStringLiteral("B0FB")); // words beyond the file keep theirs
    }

    void refusedFilesLeaveTheImageUntouched()
    {
        QTemporaryDir dir;
        const BoardImage before = numberedImage();
        struct Case {
            const char* name;
            QByteArray bytes;
            DataFile::Error error;
        };
        QByteArray tooMany;
        for (int i = 0; i < 302; ++i)
            tooMany += "\"00E5\"\r\n";
        QByteArray hugeLine(10 * 1024 * 1024, 'A');
        QByteArray manyLines;
        for (int i = 0; i < 100000; ++i)
            manyLines += "\"0000\"\r\n";
        const Case cases[] = {
            {"nomarker.tv2", "\"00E6\"\r\n\"1111\"\r\n", DataFile::Error::MissingMarker},
            {"lowercase.tv2", "\"00e5\"\r\n", DataFile::Error::MissingMarker},
            {"toomany.tv2", tooMany, DataFile::Error::TooManyValues},
            {"hugeline.tv2", hugeLine, DataFile::Error::TooLarge},
            {"manylines.tv2", manyLines, DataFile::Error::TooManyValues},
        };
        for (const Case& c : cases) {
            BoardImage image = before;
            const auto result = DataFile::load(writeFile(dir, c.name, c.bytes), image, DataFile::MarkerRule::Required);
            QVERIFY2(result.error == c.error, c.name);
            QVERIFY2(!result.message.isEmpty(), c.name);
            QVERIFY2(image == before, c.name);
        }
        BoardImage image = before;
        QCOMPARE(DataFile::load(dir.filePath("missing.tv2"), image, DataFile::MarkerRule::Required).error,
                 DataFile::Error::NotFound);
        QVERIFY(QDir(dir.path()).mkdir("folder.tv2"));
        QCOMPARE(DataFile::load(dir.filePath("folder.tv2"), image, DataFile::MarkerRule::Required).error,
                 DataFile::Error::NotAFile);
        QVERIFY(image == before);
        QCOMPARE(DataFile::load(dir.filePath("nomarker.tv2"), image, DataFile::MarkerRule::Required).message,
                 QStringLiteral("Invalid Tervalo File"));
    }

    void shortFilesReplaceOnlyTheirWords()
    {
        QTemporaryDir dir;
        BoardImage image = numberedImage();
        auto r = DataFile::load(writeFile(dir, "short.tv2", "\"00E5\",\"1234\"\n"), image,
                                DataFile::MarkerRule::Required);
        QVERIFY(r.ok());
        QCOMPARE(image.word(0), QStringLiteral("00E5"));
        QCOMPARE(image.word(1), QStringLiteral("1234"));
        QCOMPARE(image.word(2), QStringLiteral("A002"));

        // An empty file changes nothing and passes when word 0 already holds the marker.
        const BoardImage before = image;
        QVERIFY(DataFile::load(writeFile(dir, "empty.tv2", ""), image, DataFile::MarkerRule::Required).ok());
        QVERIFY(image == before);

        // Values are stored as read, without any test: binary bytes and non-ASCII text included.
        QByteArray odd("\"00E5\"\r\n\"\x01\xff\"\r\n\xc3\xa9t\xc3\xa9\r\n");
        QVERIFY(DataFile::load(writeFile(dir, "odd.tv2", odd), image, DataFile::MarkerRule::Required).ok());
        QCOMPARE(image.word(1).toLatin1(), QByteArray("\x01\xff"));
        QCOMPARE(image.word(2).toLatin1(), QByteArray("\xc3\xa9t\xc3\xa9"));

        // Default files are not checked for the marker; 301 values fill the whole image.
        QByteArray full;
        for (int i = 0; i < 301; ++i)
            full += "\"0000\"\r\n";
        r = DataFile::load(writeFile(dir, "full.tv2", full), image, DataFile::MarkerRule::NotChecked);
        QVERIFY(r.ok());
        QCOMPARE(r.count, 301);
        QCOMPARE(image.word(300), QStringLiteral("0000"));
    }

    void failedSavesKeepTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("keep.tv2");
        const QByteArray old("\"00E5\"\r\n");
        writeFile(dir, "keep.tv2", old);

        // Directory gone.
        const auto gone = DataFile::save(dir.filePath("nowhere/x.tv2"), numberedImage());
        QVERIFY(!gone.ok());
        QVERIFY(gone.message.contains("x.tv2"));

#ifndef Q_OS_WIN // Windows has no file-size limit to stand in for a full disk
        // No space: a file-size limit makes every write past 100 bytes fail.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const auto full = DataFile::save(path, numberedImage());
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!full.ok());
        QVERIFY(!full.message.isEmpty());
        QCOMPARE(readAll(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.tv2"}); // no temporary left
#endif
    }
};

QTEST_APPLESS_MAIN(TestDataFile)
#include "TestDataFile.moc"
