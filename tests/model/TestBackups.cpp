#include "Backups.h"
#include "DataFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

BoardImage markedImage(const QString& fill)
{
    BoardImage image;
    for (int i = 0; i <= 250; ++i)
        image.setWord(i, fill);
    image.setWord(0, QStringLiteral("20E5"));
    return image;
}

const QDateTime kNow(QDate(2026, 12, 7), QTime(8, 15, 2, 117));

} // namespace

class TestBackups : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        folder_ = dir_.filePath(QStringLiteral("backups"));
        qputenv("VIREO_BACKUP_DIR", folder_.toLocal8Bit());
    }
    void cleanup()
    {
        qunsetenv("VIREO_BACKUP_DIR");
        QDir(folder_).removeRecursively();
    }

    void savesNamedByProductKindAndMillisecondInANewFolder()
    {
        QCOMPARE(Backups::folder(), folder_);
        const BoardImage image = markedImage(QStringLiteral("1234"));
        const Backups::Result read = Backups::save(image, 4, Backups::Kind::Read, kNow);
        QVERIFY2(read.ok, qPrintable(read.message));
        QCOMPARE(QFileInfo(read.path).fileName(), QStringLiteral("VT-60_read_20261207-081502-117.tv2"));
        QVERIFY(read.message.contains(QStringLiteral("VT-60_read_")));
        // Two in the same second do not collide.
        const Backups::Result write = Backups::save(image, 2, Backups::Kind::Write, kNow.addMSecs(1));
        QCOMPARE(QFileInfo(write.path).fileName(), QStringLiteral("UT-105_write_20261207-081502-118.tv2"));
        QCOMPARE(QDir(folder_).entryList(QDir::Files).size(), 2);

        BoardImage back;
        QVERIFY(DataFile::load(read.path, back, DataFile::MarkerRule::Required).ok());
        for (int i = 0; i <= 250; ++i)
            QCOMPARE(back.word(i), image.word(i));
    }

    // Newest first, by the stamp in the name; a product's own; other files left out.
    void listsNewestFirstWithKindAndPrimaryCode()
    {
        BoardImage image = markedImage(QStringLiteral("0000"));
        image.setWord(6, QStringLiteral("0102"));
        image.setWord(7, QStringLiteral("0304"));
        const Backups::Result before = Backups::save(image, 4, Backups::Kind::BeforeWrite, kNow);
        QCOMPARE(QFileInfo(before.path).fileName(), QStringLiteral("VT-60_before-write_20261207-081502-117.tv2"));
        Backups::save(markedImage(QStringLiteral("0000")), 5, Backups::Kind::Write, kNow.addSecs(60));
        Backups::save(image, 4, Backups::Kind::Read, kNow.addSecs(-60));
        QVERIFY(DataFile::save(QDir(folder_).filePath(QStringLiteral("kept by hand.tv2")), image).ok());
        QVERIFY(
            DataFile::save(QDir(folder_).filePath(QStringLiteral("XY-1_read_20261207-081502-117.tv2")), image).ok());

        const std::vector<Backups::Entry> all = Backups::list();
        QCOMPARE(all.size(), size_t(3));
        QCOMPARE(QFileInfo(all[0].path).fileName(), QStringLiteral("VTP-50_write_20261207-081602-117.tv2"));
        QCOMPARE(all[0].product, 5);
        QCOMPARE(all[1].kind, Backups::Kind::BeforeWrite);
        QCOMPARE(all[1].taken, kNow);
        QCOMPARE(all[1].primaryCode, QStringLiteral("1234"));
        QCOMPARE(Backups::kindName(all[1].kind), QStringLiteral("before-write"));
        QCOMPARE(QFileInfo(all[2].path).fileName(), QStringLiteral("VT-60_read_20261207-081402-117.tv2"));
        const std::vector<Backups::Entry> vt60 = Backups::list(4);
        QCOMPARE(vt60.size(), size_t(2));
        QCOMPARE(vt60[0].path, before.path);
    }

    void failureIsReportedNotThrown()
    {
        // The folder's place is taken by a plain file.
        QFile blocker(folder_);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const Backups::Result r = Backups::save(markedImage(QStringLiteral("0000")), 1, Backups::Kind::Read, kNow);
        QVERIFY(!r.ok);
        QVERIFY(r.message.startsWith(QStringLiteral("backup not saved")));
        QFile::remove(folder_);
    }

    void pruneRemovesOnlyWhatIsOverAYearOld()
    {
        const BoardImage image = markedImage(QStringLiteral("0000"));
        const QString old = Backups::save(image, 4, Backups::Kind::Read, kNow.addDays(-366)).path;
        const QString recent = Backups::save(image, 4, Backups::Kind::Write, kNow.addDays(-364)).path;
        // Named without a stamp: its file time decides, and it was just written.
        const QString unstamped = QDir(folder_).filePath(QStringLiteral("kept by hand.tv2"));
        QVERIFY(DataFile::save(unstamped, image).ok());
        const QString other = QDir(folder_).filePath(QStringLiteral("notes.txt"));
        QFile notes(other);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.close();

        const Backups::PruneResult r = Backups::prune(kNow);
        QCOMPARE(r.removed, 1);
        QVERIFY(r.message.isEmpty());
        QVERIFY(!QFile::exists(old));
        QVERIFY(QFile::exists(recent));
        QVERIFY(QFile::exists(other));
        QVERIFY(QFile::exists(unstamped));
        // A year and more after now, its file time makes it old too.
        QCOMPARE(Backups::prune(QDateTime::currentDateTime().addDays(400)).removed, 2);
        QVERIFY(QFile::exists(other));
    }

private:
    QTemporaryDir dir_;
    QString folder_;
};

QTEST_GUILESS_MAIN(TestBackups)
#include "TestBackups.moc"
