#include "SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write test file");
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void readsPortAndProduct()
    {
        auto s = SettingsFile::parse("2\r\n3\r\n");
        QCOMPARE(s.port, std::optional<qint16>(2));
        QCOMPARE(s.product, std::optional<QString>(QStringLiteral("3")));
        s = SettingsFile::parse("\r\n4\r\n"); // written with no port ticked
        QCOMPARE(s.port, std::optional<qint16>(0));
        QCOMPARE(s.product, std::optional<QString>(QStringLiteral("4")));
        s = SettingsFile::parse("1\r\n"); // no second line
        QCOMPARE(s.port, std::optional<qint16>(1));
        QVERIFY(!s.product);
        s = SettingsFile::parse(" 3 , abc \n"); // comma separator, blanks; product passed on as read
        QCOMPARE(s.port, std::optional<qint16>(3));
        QCOMPARE(s.product, std::optional<QString>(QStringLiteral("abc")));
        QVERIFY(!SettingsFile::parse("99999\r\n1\r\n").port); // does not fit 16 bits
        QCOMPARE(SettingsFile::parse("-2\r\n").port, std::optional<qint16>(-2));
        QCOMPARE(SettingsFile::parse("x\r\n").port, std::optional<qint16>(0));
    }

    void oneFileWhateverTheCaseOfItsName()
    {
        QTemporaryDir dir;
        QVERIFY(!SettingsFile::read(dir.path()).found);

        QVERIFY(SettingsFile::write(dir.path(), 2, 3).ok);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"CONFIG.ini"});
        QCOMPARE(readAll(dir.filePath("CONFIG.ini")), QByteArray("2\r\n3\r\n"));
        auto s = SettingsFile::read(dir.path());
        QVERIFY(s.found);
        QCOMPARE(s.port, std::optional<qint16>(2));

        // No port ticked: an empty first line, read back as 0.
        QVERIFY(SettingsFile::write(dir.path(), std::nullopt, 5).ok);
        QCOMPARE(readAll(dir.filePath("CONFIG.ini")), QByteArray("\r\n5\r\n"));
        QCOMPARE(SettingsFile::read(dir.path()).port, std::optional<qint16>(0));

        // A file written by hand in another case is the same file: read and rewritten in place.
        QTemporaryDir other;
        writeFile(other.filePath("config.INI"), "4\r\n1\r\n");
        QCOMPARE(SettingsFile::read(other.path()).port, std::optional<qint16>(4));
        QVERIFY(SettingsFile::write(other.path(), 1, 2).ok);
        QCOMPARE(QDir(other.path()).entryList(QDir::Files), QStringList{"config.INI"});
        QCOMPARE(readAll(other.filePath("config.INI")), QByteArray("1\r\n2\r\n"));
    }

    void aFailedWriteSaysWhy()
    {
        QTemporaryDir dir;
        const QString gone = dir.filePath("gone");
        const auto result = SettingsFile::write(gone, 1, 1);
        QVERIFY(!result.ok);
        QVERIFY(result.message.contains("CONFIG.ini"));
    }
};

QTEST_APPLESS_MAIN(TestSettingsFile)
#include "TestSettingsFile.moc"
