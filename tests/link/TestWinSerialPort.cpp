#include <WinSerialPort.h>

#include <QTest>

#include <windows.h>

// The Win32 serial port on real ports of the tests' Wine prefix, as scripts/test-windows
// makes them: COM6 and COM7 are the two ends of a null-modem cable (two pseudo-terminals
// joined by socat), COM9 is not there.
class TestWinSerialPort : public QObject {
    Q_OBJECT

    static QByteArray receive(WinSerialPort& port, qint64 count)
    {
        for (int tries = 0; tries < 100 && port.bytesAvailable() < count; ++tries)
            port.waitForReadyRead(50);
        return port.read(count);
    }

private slots:
    void portsAreNamedAsWindowsNamesThem()
    {
        QCOMPARE(WinSerialPort::displayName(QStringLiteral("\\\\.\\com12")), QStringLiteral("COM12"));
        QCOMPARE(WinSerialPort::displayName(QStringLiteral("com3:")), QStringLiteral("COM3"));
        QCOMPARE(WinSerialPort::displayName(QStringLiteral("\\\\.\\CNCA0")), QStringLiteral("\\\\.\\CNCA0"));
    }

    // Every byte value crosses unchanged; a read takes no more than it is asked for and
    // leaves the rest for the next (the counted dialogues take one reply at a time).
    void bytesCrossUnchangedAndAReadTakesNoMoreThanAsked()
    {
        WinSerialPort a(QStringLiteral("COM6")), b(QStringLiteral("com7:"));
        for (WinSerialPort* p : {&a, &b}) {
            QVERIFY2(p->applySettings(LineSettings{9600}) && p->open(), qPrintable(p->errorMessage()));
        }
        QByteArray all;
        for (int byte = 0; byte < 256; ++byte)
            all += char(byte);
        QVERIFY(a.write(all));

        QCOMPARE(receive(b, 1), QByteArray(1, '\0'));
        QCOMPARE(b.bytesAvailable(), 255);
        QCOMPARE(b.read(4), QByteArray("\x01\x02\x03\x04"));
        QCOMPARE(b.readAll(), all.mid(5));
        QCOMPARE(b.bytesAvailable(), 0);
        QVERIFY(!b.waitForReadyRead(20));

        QVERIFY(b.write(QByteArray("\xE5\xFD\r", 3)));
        QCOMPARE(receive(a, 3), QByteArray("\xE5\xFD\r", 3));
        QVERIFY(!a.hasFailed() && !b.hasFailed());
    }

    void aPortHeldOrMissingIsSaidSo()
    {
        // Windows opens a port for one program at a time (Wine opens it again, so
        // only the system's answer can be tried here).
        QCOMPARE(WinSerialPort::openFailure(QStringLiteral("COM3"), ERROR_ACCESS_DENIED),
                 QStringLiteral("COM3 is in use by another program"));
        QCOMPARE(WinSerialPort::openFailure(QStringLiteral("COM3"), ERROR_SHARING_VIOLATION),
                 QStringLiteral("COM3 is in use by another program"));
        QCOMPARE(WinSerialPort::openFailure(QStringLiteral("COM3"), ERROR_GEN_FAILURE),
                 QStringLiteral("COM3: the port cannot be opened"));

        QCOMPARE(WinSerialPort::probe(QStringLiteral("COM6")), WinSerialPort::Presence::Free);
        WinSerialPort held(QStringLiteral("COM6"));
        QVERIFY(held.open());

        QCOMPARE(WinSerialPort::probe(QStringLiteral("COM9")), WinSerialPort::Presence::Missing);
        WinSerialPort missing(QStringLiteral("COM9"));
        QVERIFY(!missing.open());
        QCOMPARE(missing.errorMessage(), QStringLiteral("COM9 is not there: the adapter is unplugged or was renamed"));

        // Closed, it says what to do; a write that fails writes nothing.
        held.close();
        QVERIFY(!held.write(QByteArray("x")));
        QVERIFY(held.errorMessage().startsWith(QStringLiteral("COM6: the port is not open")));
    }
};

QTEST_APPLESS_MAIN(TestWinSerialPort)
#include "TestWinSerialPort.moc"
