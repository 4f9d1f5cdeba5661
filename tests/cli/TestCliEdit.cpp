#include "BoardImage.h"
#include "DataFile.h"
#include "Product.h"
#include "VireoRun.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// vireo dump and vireo convert, run as a user runs them.
namespace {

using Run = VireoRun;

Run vireo(const QStringList& args)
{
    return runVireo(args);
}

QString sourceFile(const char* name)
{
    return qEnvironmentVariable("VIREO_SOURCE_DIR") + QLatin1String(name);
}

// A VT-60 file: fleet dispatch and memory speed dial on, tag "ABC" on group 0 and "7" on
// speed dial 13, a locked memory.
BoardImage vt60Image()
{
    BoardImage image;
    DataFile::load(sourceFile("/data/default.tv2"), image, DataFile::MarkerRule::Required);
    image.setWord(0, QStringLiteral("20E5"));
    image.setWord(5, QStringLiteral("00FF"));
    image.setWord(20, QStringLiteral("00FF"));
    const QStringList tag{"5454", "5454", "5454", "543A", "3B3C"};
    for (int k = 0; k < 5; ++k)
        image.setWord(99 + k, tag[k]);
    image.setWord(249, QStringLiteral("5437"));
    image.setWord(42, QStringLiteral("AFFF"));
    image.setWord(45, QStringLiteral("1234"));
    return image;
}

// Every list row at its longest: ten-letter tags, fifteen-digit numbers, locked memories.
BoardImage fullListsImage()
{
    BoardImage image = vt60Image();
    const QStringList tag{"3A3B", "3C3D", "3E3F", "4041", "4243"}; // ABCDEFGHIJ in the Vertex code
    for (int slot = 0; slot < 30; ++slot) {
        const int first = slot < 16 ? 99 + 5 * slot : 180 + 5 * (slot - 16);
        for (int k = 0; k < 5; ++k)
            image.setWord(first + k, tag[k]);
    }
    for (int g = 0; g < 16; ++g)
        image.setWord(25 + g, QStringLiteral("1234"));
    const QStringList dial{"A123", "4567", "8901", "2345"};
    for (int m = 0; m < 14; ++m) {
        for (int k = 0; k < 4; ++k)
            image.setWord(42 + 4 * m + k, dial[k]);
    }
    return image;
}

[[maybe_unused]] QString simplified(const QByteArray& text)
{
    return QString::fromUtf8(text).simplified();
}

// Every caption, heading, row label, value and tick that a dump line shows, without
// its quotes and blanks: "Primary Code - ESN", "0042", "[x]*", "0*", "Emergency Call Override".
[[maybe_unused]] QStringList shownTexts(const QByteArray& dump)
{
    QStringList texts;
    static const QRegularExpression quoted(QStringLiteral("\"([^\"]*)\""));
    for (QString line : QString::fromUtf8(dump).split('\n')) {
        for (const QRegularExpressionMatch& m : quoted.globalMatch(line))
            texts << m.captured(1).trimmed();
        line.remove(quoted);
        for (const QString& part : line.split(QRegularExpression(QStringLiteral("\\s{2,}|: |(?<=\\]|\\]\\*) "))))
            texts << part.trimmed();
    }
    texts.removeAll(QString());
    texts.removeAll(QStringLiteral("*"));
    return texts;
}

} // namespace

class TestCliEdit : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        in_ = dir_.filePath(QStringLiteral("vt60.tv2"));
        QVERIFY(DataFile::save(in_, vt60Image()).ok());
    }

    void dumpShowsTheWindowAsJson()
    {
        const Run r = vireo({"dump", sourceFile("/data/default.tv2"), "--product", "4", "--json"});
        QCOMPARE(r.status, 0);
        QJsonParseError error;
        const QJsonObject o = QJsonDocument::fromJson(r.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(o.value("ProgAccessCode").toString(), QStringLiteral("47203"));
        QCOMPARE(o.value("cmbSystemTone").toString(), QStringLiteral("Carrier"));
        QCOMPARE(o.value("chkFleetDispatch").toInt(-1), 0);
        QCOMPARE(o.value("GroupCode(3)").toString(), QString());
        QVERIFY(o.value("SpeedAlpha(13)").isString());
        QVERIFY(o.value("chkLock(0)").isDouble());
        QCOMPARE(o.size(), 93 + 1);
        const QJsonObject enabled = o.value("enabled").toObject();
        QCOMPARE(enabled.size(), 93 + 37);
        // As start-up leaves it: group rows greyed, speed-dial rows enabled until their box changes.
        QCOMPARE(enabled.value("GroupCode(0)").toBool(true), false);
        QCOMPARE(enabled.value("Label1(15)").toBool(true), false);
        QCOMPARE(enabled.value("SpeedAlpha(0)").toBool(false), true);
        QCOMPARE(enabled.value("Label25").toBool(false), true);
        QCOMPARE(enabled.value("chkANI").toBool(false), true);

        const Run vt = vireo({"dump", in_, "--product", "5", "--json"});
        const QJsonObject v = QJsonDocument::fromJson(vt.out).object();
        QCOMPARE(v.value("GroupAlpha(0)").toString(), QStringLiteral("       ABC"));
        QCOMPARE(v.value("SpeedDial(0)").toString(), QStringLiteral("1234"));
        QCOMPARE(v.value("chkLock(0)").toInt(), 1);
        QCOMPARE(v.value("enabled").toObject().value("chkLock(0)").toBool(true), false);
        QCOMPARE(v.value("enabled").toObject().value("GroupCode(0)").toBool(false), true);

        const Run text = vireo({"dump", in_, "--product", "4"});
        QCOMPARE(text.status, 0);
        QVERIFY(text.out.contains("Primary Code - ESN: \"\""));
        QVERIFY(text.out.contains("Turbo Speedial"));
    }

    void convertTurnsAVt60FileIntoAUt117One()
    {
        const QString out = dir_.filePath(QStringLiteral("ut117.tv2"));
        const Run r = vireo({"convert", in_, out, "--product", "4", "--to", "3", "--set", "PrimaryCode=12", "--set",
                             "SpeedAlpha(1)=x_y", "--set", "chkMemorySpeed=0"});
        QCOMPARE(r.status, 0);
        const DataFile::ReadResult file = DataFile::read(out);
        QVERIFY(file.ok());
        QCOMPARE(file.values.size(), 251);
        const BoardImage before = vt60Image();
        const QStringList icomTag{"2020", "2020", "2020", "2041", "4243"};
        for (int k = 0; k < 5; ++k)
            QCOMPARE(file.values[99 + k], icomTag[k]);
        QCOMPARE(file.values[249], QStringLiteral("2037"));
        QCOMPARE(file.values[189], QStringLiteral("5F59")); // tag typed into the box, Icom code
        QCOMPARE(file.values[0], QStringLiteral("00E5"));
        QCOMPARE(file.values[6], QStringLiteral("0000"));
        QCOMPARE(file.values[7], QStringLiteral("0102"));
        QCOMPARE(file.values[20], QStringLiteral("0000"));
        QCOMPARE(file.values[42], QStringLiteral("AFFF")); // lock mark back in place
        for (int i : {1, 2, 3, 12, 17, 18, 19, 25, 98, 179})
            QCOMPARE(file.values[i], before.word(i));
    }

    void refusalsWriteNothing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QStringList base{"--product", "5"};
        QTest::newRow("greyed control") << base + QStringList{"--set", "GroupAlpha(0)=X"} << 1 << "greyed";
        QTest::newRow("too long") << base + QStringList{"--set", "PrimaryCode=12345"} << 1 << "longer";
        QTest::newRow("no such item") << base + QStringList{"--set", "cmbSystemID=32"} << 1 << "no item";
        QTest::newRow("unknown name") << base + QStringList{"--set", "Primary=1"} << 2 << "no control";
        QTest::newRow("entry not a code") << base + QStringList{"--set", "GroupCode(0)=12G"} << 1
                                          << "Group Codes, row 0: \"12G\" must be four digits 0-9 or A-F";
        QTest::newRow("no product") << QStringList{} << 2 << "Usage";
        QTest::newRow("bad product") << QStringList{"--product", "6"} << 2 << "1 to 5";
    }

    void refusalsWriteNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        const QString out = dir_.filePath(QStringLiteral("refused.tv2"));
        const Run r = vireo(QStringList{"convert", in_, out} + args);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(message.toUtf8()), r.err.constData());
        QVERIFY(!QFile::exists(out));
    }

    void invalidFilesAreRefused()
    {
        const QString bad = dir_.filePath(QStringLiteral("bad.tv2"));
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\"00e5\"\r\n\"0000\"\r\n");
        f.close();
        const QString out = dir_.filePath(QStringLiteral("never.tv2"));
        for (const QStringList& args :
             {QStringList{"dump", bad, "--product", "4"}, QStringList{"convert", bad, out, "--product", "4"},
              QStringList{"dump", dir_.filePath("missing.tv2"), "--product", "4"}}) {
            const Run r = vireo(args);
            QCOMPARE(r.status, 2);
            QVERIFY(!r.err.isEmpty());
        }
        QVERIFY(vireo({"dump", bad, "--product", "4"}).err.contains("Invalid Tervalo File"));
        QVERIFY(!QFile::exists(out));
        QCOMPARE(vireo({"frobnicate"}).status, 2);
        QCOMPARE(vireo({"--help"}).status, 0);
    }

    // Two files side by side, by caption in window order; exit 1 for differences, 0 for none, 2 for a bad file.
    void diffListsSettingsByCaption()
    {
        const QString b = dir_.filePath(QStringLiteral("diff-b.tv2"));
        QCOMPARE(vireo({"convert", in_, b, "--product", "4", "--set", "GroupCode(3)=1235", "--set", "PrimaryCode=0042",
                        "--set", "chkLock(0)=0"})
                     .status,
                 0);
        BoardImage image;
        QVERIFY(DataFile::load(b, image, DataFile::MarkerRule::Required).ok());
        image.setWord(179, QStringLiteral("ABCD"));
        QVERIFY(DataFile::save(b, image).ok());

        Run r = vireo({"diff", in_, b, "--product", "4"});
        QCOMPARE(r.status, 1);
        const QStringList lines = QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6);
        QVERIFY(lines[0].startsWith("Setting") && lines[0].contains("vt60.tv2") && lines[0].endsWith("diff-b.tv2"));
        QCOMPARE(lines[1].simplified(), QStringLiteral("Primary Code - ESN (blank) 0042"));
        QVERIFY(lines[2].startsWith("Group Codes, row 3 ") && lines[2].endsWith(" 1235"));
        QCOMPARE(lines[3].simplified(), QStringLiteral("Lock, row 0 set clear"));
        QVERIFY(lines[4].startsWith("word 179 ") && lines[4].endsWith(" ABCD"));
        QCOMPARE(lines[5], QStringLiteral("4 settings differ."));
        // The columns line up.
        QCOMPARE(lines[1].indexOf("(blank)"), lines[0].indexOf("vt60.tv2"));

        r = vireo({"diff", in_, in_, "--product", "4"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("No settings differ.\n"));
        QCOMPARE(vireo({"diff", in_, dir_.filePath("missing.tv2"), "--product", "4"}).status, 2);
        QCOMPARE(vireo({"diff", in_, b}).status, 2); // no product
    }

    // export, then import with --replace, saves what Save As saves; a bad row refuses
    // the whole file with its line and column and writes nothing.
    void listsThroughCsv()
    {
        const QString csv = dir_.filePath(QStringLiteral("lists.csv"));
        const QString saved = dir_.filePath(QStringLiteral("saved.tv2"));
        const QString out = dir_.filePath(QStringLiteral("imported.tv2"));
        QCOMPARE(vireo({"export", in_, "--product", "4", "-o", csv}).status, 0);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray lists = file.readAll();
        file.close();
        QVERIFY(lists.startsWith("List,Row,Number,Alpha Tag,Lock\r\nGroup,0,,'       ABC,\r\n"));
        QVERIFY(lists.contains("\r\nSpeed Dial,0,'1234,,1\r\n"));
        QCOMPARE(vireo({"import", in_, csv, "--product", "4", "-o", out, "--replace"}).status, 0);
        QCOMPARE(vireo({"convert", in_, saved, "--product", "4"}).status, 0);
        {
            QFile a(out), b(saved);
            QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            QCOMPARE(a.readAll(), b.readAll());
        } // Windows removes no file that is open

        QVERIFY(QFile::remove(out));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("List;Row;Number\r\nGroup;0;1234\r\nGroup;1;12G4\r\n");
        file.close();
        Run r = vireo({"import", in_, csv, "--product", "4", "-o", out});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains("line 3, column Number: \"12G4\" is not a group code"), r.err.constData());
        QVERIFY(!QFile::exists(out));
        QCOMPARE(vireo({"import", in_, dir_.filePath("missing.csv"), "--product", "4", "-o", out}).status, 2);
        QCOMPARE(vireo({"import", in_, csv, "--product", "4"}).status, 2); // no -o
        QCOMPARE(vireo({"export", in_, "--product", "4"}).status, 2);
        QVERIFY(!QFile::exists(out));
    }

    // The report holds every caption and value vireo dump shows, under its header;
    // as PDF too, on one page for every product.
    void reportShowsWhatDumpShows()
    {
        const QString full = dir_.filePath(QStringLiteral("full.tv2"));
        QVERIFY(DataFile::save(full, fullListsImage()).ok());
        const Run dump = vireo({"dump", full, "--product", "4"});
        const Run text = vireo({"report", full, "--product", "4"});
        QCOMPARE(text.status, 0);
        const QString version = QString::fromUtf8(vireo({"--version"}).out).trimmed().mid(6);
        const QString header = QStringLiteral("Logic Board Configuration\n"
                                              "Product:  Vertex VT-60 (Vireo)\n"
                                              "File:     %1\n")
                                   .arg(QDir::toNativeSeparators(full));
        QVERIFY2(text.out.startsWith(header.toUtf8()), text.out.constData());
        QVERIFY(text.out.contains(("Program:  Vireo Logic Board Programmer " + version + "\n").toUtf8()));
        QVERIFY2(text.out.contains("Checksum: 8E35465F (SHA-256 of the data file Save As writes)\n"),
                 text.out.constData());
        // The settings exactly as dump shows them, after its product line.
        QVERIFY(text.out.endsWith(dump.out.mid(dump.out.indexOf('\n') + 1)));

        const QString pdf = dir_.filePath(QStringLiteral("full.pdf"));
        QCOMPARE(vireo({"report", full, "--product", "4", "-o", pdf, "--paper", "letter"}).status, 0);
#ifndef Q_OS_WIN // poppler's pdftotext and pdfinfo read the pages: Linux programs
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY2(pdftotext.waitForFinished(30000) && pdftotext.exitCode() == 0,
                 "pdftotext (poppler-utils) is needed: scripts/install-deps");
        const QString pages = simplified(pdftotext.readAllStandardOutput());
        const QStringList shown = shownTexts(dump.out);
        QVERIFY(shown.contains(QStringLiteral("Primary Code - ESN")) && shown.contains(QStringLiteral("ABCDEFGHIJ")));
        for (const QString& t : shown)
            QVERIFY2(pages.contains(t), qPrintable(t));
        QVERIFY(pages.contains(QStringLiteral("Checksum 8E35465F")));

        // One page for every product, on the shorter Letter and the narrower A4.
        for (const QStringList& run : {QStringList{"1", "letter"}, QStringList{"2", "letter"},
                                       QStringList{"3", "letter"}, QStringList{"4", "a4"}, QStringList{"5", "a4"}}) {
            QCOMPARE(vireo({"report", full, "--product", run[0], "-o", pdf, "--paper", run[1]}).status, 0);
            QProcess info;
            info.start(QStringLiteral("pdfinfo"), {pdf});
            QVERIFY(info.waitForFinished(30000));
            QVERIFY2(info.readAllStandardOutput().contains("\nPages:           1\n"), qPrintable(run.join(' ')));
        }
#endif
        const QString html = dir_.filePath(QStringLiteral("full.html"));
        QCOMPARE(vireo({"report", full, "--product", "4", "-o", html}).status, 0);
        QFile page(html);
        QVERIFY(page.open(QIODevice::ReadOnly));
        QVERIFY(page.readAll().contains("<td class=\"v\">ABCDEFGHIJ</td>"));
        QCOMPARE(vireo({"report", full, "--product", "4", "-o", dir_.filePath("full.doc")}).status, 2);
    }

    // The manual pages are written by hand: what they say of the products (the words
    // each moves, the numbers, the default files, each family's usual product, the
    // products' table) must be what the product table says, as the help texts do.
    void manPagesFollowTheProductTable()
    {
        const auto page = [](const char* name) {
            QFile f(sourceFile(name));
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).replace(QStringLiteral("\\-"), "-")
                                               : QString();
        };
        const QString vireo = page("/docs/man/vireo.1");
        const QString board = page("/docs/man/vireo-board.1");
        QVERIFY(!vireo.isEmpty() && !board.isEmpty());
        const QString flat = vireo.simplified();
        QCOMPARE(flat.count("words 0..N (" + Product::lastWordNote() + ")"), 3); // read, write, restore

        const QRegularExpression range(QStringLiteral("[Pp]roduct 1\\.\\.(\\d+)"));
        for (const QString& text : {vireo, board}) {
            for (const QRegularExpressionMatch& m : range.globalMatch(text))
                QCOMPARE(m.captured(1).toInt(), Product::kCount);
        }

        const qsizetype rows = vireo.indexOf(QStringLiteral("\n.TS\n"));
        QCOMPARE(vireo.mid(rows, vireo.indexOf(QStringLiteral("\n.TE\n")) - rows).count('\n'), Product::kCount + 3);
        QStringList inDefaultI;
        for (const ProductInfo& p : Product::kAll) {
            const QString row = QStringLiteral("\n%1\t%2\t%3\t0..%4\n")
                                    .arg(p.index)
                                    .arg(QString::fromLatin1(p.caption), p.line.text())
                                    .arg(p.lastWord);
            QVERIFY2(vireo.contains(row), qPrintable(row));
            if (QLatin1String(p.defaultFile) != QLatin1String("default.tv2"))
                inDefaultI << QString::number(p.index);
        }
        QVERIFY(flat.contains(QStringLiteral("(defaulti.tv2 for products %1, default.tv2 for the others)")
                                  .arg(inDefaultI.join(QStringLiteral(" and ")))));

        const QRegularExpressionMatch usual =
            QRegularExpression(QStringLiteral("Family alone: (.*)\\.\n")).match(board);
        QVERIFY(usual.hasMatch());
        const QStringList named = usual.captured(1).split(QStringLiteral(", "));
        QCOMPARE(named.size(), qsizetype(kBoardFamilies.size()));
        QStringList families;
        for (const BoardFamily* f : kBoardFamilies)
            families << QString::fromLatin1(f->name).toLower();
        const QString lastFamily = families.takeLast();
        QVERIFY(board.contains("Board family: " + families.join(QStringLiteral(", ")) + " or " + lastFamily + " "));
        for (const QString& said : named) {
            const QStringList words = said.split(' ');
            const int product = words.last().toInt();
            QVERIFY2(Product::isValid(product), qPrintable(said));
            QCOMPARE(words.front(), QString::fromLatin1(Product::info(product).family.name).toLower());
        }
    }

private:
    QTemporaryDir dir_;
    QString in_;
};

QTEST_GUILESS_MAIN(TestCliEdit)
#include "TestCliEdit.moc"
