#include "hexcodec.h"
#include "mainwindow.h"
#include "modalboxcatcher.h"
#include "namedwidget.h"
#include "ptymaster.h"
#include "testenvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMetaMethod>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void metaObject();
    void startUpState();

    void openAndClose();
    void openFailures_data();
    void openFailures();
    void secondOpenOfHeldPortFails();

    void sendCommandFrames_data();
    void sendCommandFrames();
    void echoFrame();
    void typedFrames_data();
    void typedFrames();
    void anyTypedTextIsSentAsParsed_data();
    void anyTypedTextIsSentAsParsed();
    void closedPortSendsNothing();

    void receivedBlocksAreLogged_data();
    void receivedBlocksAreLogged();
    void clearEmptiesTheLog();
    void undoCannotEraseTraffic();
    void burstOfLinesIsShown();
    void sendPutsEarlierReceivedLinesFirst();
    void clearDropsLinesNotShownYet();
    void logFollowsTailOnlyAtItsEnd_data();
    void logFollowsTailOnlyAtItsEnd();

    void byteCountEnablesDataBoxes_data();
    void byteCountEnablesDataBoxes();
    void outOfRangeByteCountChangesNothing();
    void identifierTypeEnablesSecondPair();
    void autoSendRepeatsWhileOpen();
    void autoSendKeepsPeriodUntilRestarted();

    void unpluggedDeviceIsDropped();
    void tearDownWithOpenPortAndAutoSend();

    void desktopFontChangeRefitsTheForm();

private:
    template<typename T> T *widget(const char *name) const
    {
        return namedWidget<T>(window.get(), name);
    }
    QStringList logLines() const;
    QString statusText() const { return widget<QStatusBar>("statusBar")->currentMessage(); }
    void openPort();
    void receiveWhileHeld(const QByteArray &block);
    void setSpin(const char *name, int value) { widget<QSpinBox>(name)->setValue(value); }

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<PtyMaster> pty;
};

void TestMainWindow::initTestCase()
{
    // The parser's traces would drown the test output.
    QLoggingCategory::setFilterRules(QStringLiteral("kt940.hexcodec.debug=false"));
    dropPlatformNoise();
}

void TestMainWindow::init()
{
    pty = std::make_unique<PtyMaster>();
    QVERIFY(pty->isValid());
    window = std::make_unique<MainWindow>();
    window->show();
}

void TestMainWindow::cleanup()
{
    window.reset();
    pty.reset();
}

QStringList TestMainWindow::logLines() const
{
    const QString text = widget<QTextEdit>("textEdit")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void TestMainWindow::openPort()
{
    auto *ports = widget<QComboBox>("lbCOMport");
    ports->addItem(pty->slavePath());
    ports->setCurrentIndex(ports->count() - 1);
    widget<QPushButton>("pbCOMportOpen")->click();
    QVERIFY(window->serialPort->isOpen());
}

// A line has just gone into the log, so a block read now waits for the next batch. The port
// is read without the event loop, which could put that batch in meanwhile.
void TestMainWindow::receiveWhileHeld(const QByteArray &block)
{
    widget<QPushButton>("pbCOMportTX_Echo")->click();
    QVERIFY(pty->write(block));
    QVERIFY(window->serialPort->waitForReadyRead(5000));
}

void TestMainWindow::metaObject()
{
    const QMetaObject *meta = window->metaObject();
    QCOMPARE(meta->className(), "MainWindow");
    const QList<QByteArray> expected {"openCOMport()", "closeCOMport()", "TX_Data_Str()",
        "TX_Data()", "readData()", "clearData()", "writeDataEcho()", "NumBytesCTL(int)",
        "CheckBoxID_CTL(bool)", "CheckAutoSend_CTL(bool)"};
    QCOMPARE(meta->methodCount() - meta->methodOffset(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const QMetaMethod method = meta->method(meta->methodOffset() + i);
        QCOMPARE(method.methodSignature(), expected.at(i));
        QCOMPARE(method.methodType(), QMetaMethod::Slot);
        QCOMPARE(method.access(), QMetaMethod::Private);
    }
    QCOMPARE(meta->propertyCount(), meta->propertyOffset());
}

void TestMainWindow::startUpState()
{
    QVERIFY(widget<QRadioButton>("radioButtonStd")->isChecked());
    QVERIFY(!widget<QRadioButton>("radioButtonExt")->isChecked());
    QVERIFY(!widget<QSpinBox>("sbIDHB_2")->isEnabled());
    QVERIFY(!widget<QSpinBox>("sbIDLB_2")->isEnabled());
    QVERIFY(widget<QSpinBox>("sbIDHB")->isEnabled());
    QCOMPARE(widget<QSpinBox>("sbNumBytes")->value(), 1);
    QVERIFY(widget<QSpinBox>("sbData0")->isEnabled());
    for (int k = 1; k < 8; ++k)
        QVERIFY(!widget<QSpinBox>(qPrintable(QStringLiteral("sbData%1").arg(k)))->isEnabled());
    QVERIFY(!widget<QPushButton>("pbCOMportClose")->isEnabled());
    QVERIFY(widget<QPushButton>("pbCOMportOpen")->isEnabled());
    QVERIFY(widget<QComboBox>("lbCOMport")->isEnabled());
    QVERIFY(!widget<QPushButton>("pbAutoSend")->isChecked());
    QVERIFY(!window->autoSendTimer->isActive());
    QVERIFY(!window->serialPort->isOpen());
    QVERIFY(window->txFrame.isEmpty());
    QVERIFY(window->logText.isEmpty());
    QVERIFY(logLines().isEmpty());
    QVERIFY(statusText().isEmpty());
    // Ptys are never enumerated, so a pty made after start-up must not appear.
    QCOMPARE(widget<QComboBox>("lbCOMport")->findText(pty->slavePath()), -1);
}

void TestMainWindow::openAndClose()
{
    openPort();
    QCOMPARE(statusText(),
        QStringLiteral("Connected to %1 : 115200, 8, NoParity, 1, NoFlowControl")
            .arg(pty->slavePath()));
    QVERIFY(widget<QPushButton>("pbCOMportClose")->isEnabled());
    QVERIFY(!widget<QPushButton>("pbCOMportOpen")->isEnabled());
    QVERIFY(!widget<QComboBox>("lbCOMport")->isEnabled());
    QCOMPARE(window->serialPort->baudRate(), 115200);
    QCOMPARE(window->serialPort->dataBits(), QSerialPort::Data8);
    QCOMPARE(window->serialPort->parity(), QSerialPort::NoParity);
    QCOMPARE(window->serialPort->stopBits(), QSerialPort::OneStop);
    QCOMPARE(window->serialPort->flowControl(), QSerialPort::NoFlowControl);

    widget<QPushButton>("pbCOMportClose")->click();
    QVERIFY(!window->serialPort->isOpen());
    QCOMPARE(statusText(), QStringLiteral("COM port closed"));
    QVERIFY(!widget<QPushButton>("pbCOMportClose")->isEnabled());
    QVERIFY(widget<QPushButton>("pbCOMportOpen")->isEnabled());
    QVERIFY(widget<QComboBox>("lbCOMport")->isEnabled());

    // The port can be opened again right away.
    widget<QPushButton>("pbCOMportOpen")->click();
    QVERIFY(window->serialPort->isOpen());
}

void TestMainWindow::openFailures_data()
{
    QTest::addColumn<QString>("portName");
    QTest::newRow("missing device") << QStringLiteral("/dev/kt940-no-such-port");
    QTest::newRow("empty name") << QString();
}

void TestMainWindow::openFailures()
{
    QFETCH(QString, portName);
    auto *ports = widget<QComboBox>("lbCOMport");
    ports->clear();
    if (!portName.isEmpty())
        ports->addItem(portName);

    ModalBoxCatcher catcher;
    widget<QPushButton>("pbCOMportOpen")->click();
    QCOMPARE(catcher.titles, QStringList {QStringLiteral("Error")});
    QVERIFY(!catcher.texts.first().isEmpty());
    QCOMPARE(statusText(), QStringLiteral("Open error"));
    QVERIFY(!window->serialPort->isOpen());
    QVERIFY(widget<QPushButton>("pbCOMportOpen")->isEnabled());
    QVERIFY(!widget<QPushButton>("pbCOMportClose")->isEnabled());
    QVERIFY(ports->isEnabled());
}

void TestMainWindow::secondOpenOfHeldPortFails()
{
    QSerialPort holder(pty->slavePath());
    QVERIFY(holder.open(QIODevice::ReadWrite));

    auto *ports = widget<QComboBox>("lbCOMport");
    ports->addItem(pty->slavePath());
    ports->setCurrentIndex(ports->count() - 1);
    ModalBoxCatcher catcher;
    widget<QPushButton>("pbCOMportOpen")->click();
    QCOMPARE(catcher.titles, QStringList {QStringLiteral("Error")});
    QCOMPARE(statusText(), QStringLiteral("Open error"));
    QVERIFY(!window->serialPort->isOpen());

    holder.close();
    widget<QPushButton>("pbCOMportOpen")->click();
    QVERIFY(window->serialPort->isOpen());
}

void TestMainWindow::sendCommandFrames_data()
{
    QTest::addColumn<bool>("standard");
    QTest::addColumn<int>("messageNumber");
    QTest::addColumn<QList<int>>("identifier"); // sbIDLB, sbIDHB, sbIDLB_2, sbIDHB_2
    QTest::addColumn<QList<int>>("data"); // all eight boxes; the count picks
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("frame");

    const QList<int> zeros {0, 0, 0, 0, 0, 0, 0, 0};
    const QList<int> ffs {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    QTest::newRow("standard, two bytes")
        << true << 0 << QList<int> {0x23, 0x01, 0x77, 0x66}
        << QList<int> {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88} << 2
        << hex("1C0508000023010211221B");
    QTest::newRow("standard, message number 5")
        << true << 5 << QList<int> {0x23, 0x01, 0, 0} << QList<int> {0x11, 0x22, 0, 0, 0, 0, 0, 0}
        << 2 << hex("1C0508000523010211221E");
    QTest::newRow("extended, one byte")
        << false << 0 << QList<int> {0x78, 0x56, 0x34, 0x12}
        << QList<int> {0xFF, 1, 2, 3, 4, 5, 6, 7} << 1 << hex("1C050902007856341201FFFD");
    QTest::newRow("standard, eight zero bytes")
        << true << 0 << QList<int> {0, 0, 0, 0} << zeros << 8
        << hex("1C050E00000000080000000000000000"
               "06");
    QTest::newRow("extended, all FF") << false << 0 << QList<int> {0xFF, 0xFF, 0xFF, 0xFF} << ffs
                                      << 8 << hex("1C05100200FFFFFFFF08FFFFFFFFFFFFFFFF1A");
    QTest::newRow("one byte ignores the other boxes")
        << true << 0 << QList<int> {0, 0, 0, 0} << QList<int> {0xAB, 1, 2, 3, 4, 5, 6, 7} << 1
        << hex("1C05070000000001AB") + char(0x07 ^ 0x01 ^ 0xAB);
}

void TestMainWindow::sendCommandFrames()
{
    QFETCH(bool, standard);
    QFETCH(int, messageNumber);
    QFETCH(QList<int>, identifier);
    QFETCH(QList<int>, data);
    QFETCH(int, count);
    QFETCH(QByteArray, frame);

    openPort();
    widget<QRadioButton>(standard ? "radioButtonStd" : "radioButtonExt")->setChecked(true);
    setSpin("sbNumberMsg", messageNumber);
    setSpin("sbIDLB", identifier[0]);
    setSpin("sbIDHB", identifier[1]);
    setSpin("sbIDLB_2", identifier[2]);
    setSpin("sbIDHB_2", identifier[3]);
    for (int k = 0; k < 8; ++k)
        setSpin(qPrintable(QStringLiteral("sbData%1").arg(k)), data[k]);
    setSpin("sbNumBytes", count);

    widget<QPushButton>("pbCOMportTX_S")->click();
    QCOMPARE(pty->readExactly(frame.size()).toHex(' '), frame.toHex(' '));
    QCOMPARE(logLines(), QStringList {"<-- " + QString::fromLatin1(frame.toHex(' ').toUpper())});
    QCOMPARE(window->txFrame, frame);
    QCOMPARE(window->txHexLength, 2 * frame.size());
    QCOMPARE(window->logText, QString::fromLatin1(frame.toHex(' ')));
}

void TestMainWindow::echoFrame()
{
    openPort();
    widget<QPushButton>("pbCOMportTX_Echo")->click();
    QCOMPARE(pty->readExactly(6), hex("1C0503800182"));
    QCOMPARE(logLines(), QStringList {"<-- 1C 05 03 80 01 82"});
    QCOMPARE(window->txHexLength, 12);
}

void TestMainWindow::typedFrames_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("withSum");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("sumText");

    QTest::newRow("echo with checksum") << "1C 05 03 80 01" << true << hex("1C0503800182") << "82";
    QTest::newRow("echo without checksum")
        << "1C 05 03 80 01" << false << hex("1C05038001") << QString();
    QTest::newRow("empty with checksum") << QString() << true << hex("00") << "00";
    QTest::newRow("two bytes with checksum") << "1C 05" << true << hex("1C0500") << "00";
    QTest::newRow("small checksum keeps its zero") << "1C 05 03" << true << hex("1C050303") << "03";
    QTest::newRow("junk is skipped") << "1C 05 G3 x" << false << hex("1C0503") << QString();
    QTest::newRow("trailing blank adds nothing") << "AA BB " << false << hex("AABB") << QString();
}

void TestMainWindow::typedFrames()
{
    QFETCH(QString, text);
    QFETCH(bool, withSum);
    QFETCH(QByteArray, frame);
    QFETCH(QString, sumText);

    openPort();
    widget<QLineEdit>("lineEdit")->setText(text);
    widget<QLineEdit>("lineEditChSum")->setText(QStringLiteral("stale"));
    widget<QCheckBox>("checkBoxChSum")->setChecked(withSum);
    widget<QPushButton>("pbCOMportTX_V")->click();

    QCOMPARE(pty->readExactly(frame.size()), frame);
    QCOMPARE(widget<QLineEdit>("lineEditChSum")->text(), sumText);
    QCOMPARE(logLines(), QStringList {"<-- " + QString::fromLatin1(frame.toHex(' ').toUpper())});
    QCOMPARE(widget<QLineEdit>("lineEdit")->text(), text);
}

void TestMainWindow::anyTypedTextIsSentAsParsed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("withSum");

    QString longest;
    for (int digit = 0; longest.size() < 32767; ++digit)
        longest += QString::number(digit % 16, 16) + QLatin1Char(' ');
    longest.truncate(32767);
    QTest::newRow("longest text, one-digit groups") << longest << true;
    QTest::newRow("longest text of one group") << QString(32767, QLatin1Char('f')) << false;
    QTest::newRow("only junk") << QStringLiteral("zz!? \t#") << false;
    QTest::newRow("only junk with checksum") << QStringLiteral("\u00A0\u00A0") << true;
    QTest::newRow("non-ASCII around digits")
        << QString::fromUtf8("1\uFF12F \u00E9 A\U0001D7D9B \u0410\u0411 7") << true;
}

void TestMainWindow::anyTypedTextIsSentAsParsed()
{
    QFETCH(QString, text);
    QFETCH(bool, withSum);

    QByteArray expected;
    HexStringToBytes(text, expected);
    if (withSum)
        expected.append(XorCheckSum(expected, 2));

    openPort();
    widget<QLineEdit>("lineEdit")->setText(text);
    QCOMPARE(widget<QLineEdit>("lineEdit")->text(), text);
    widget<QCheckBox>("checkBoxChSum")->setChecked(withSum);
    widget<QPushButton>("pbCOMportTX_V")->click();
    widget<QPushButton>("pbCOMportTX_Echo")->click();

    const QByteArray echo = hex("1C0503800182");
    QCOMPARE(pty->readExactly(expected.size() + echo.size(), 20000), expected + echo);
    QCOMPARE(logLines().first(), "<-- " + QString::fromLatin1(expected.toHex(' ').toUpper()));
}

void TestMainWindow::closedPortSendsNothing()
{
    pty->makeSlaveRaw();
    widget<QLineEdit>("lineEdit")->setText(QStringLiteral("1C 05"));
    widget<QCheckBox>("checkBoxChSum")->setChecked(true);
    widget<QLineEdit>("lineEditChSum")->setText(QStringLiteral("AB"));
    for (const char *button : {"pbCOMportTX_S", "pbCOMportTX_Echo", "pbCOMportTX_V"})
        widget<QPushButton>(button)->click();

    QVERIFY(logLines().isEmpty());
    QVERIFY(window->txFrame.isEmpty());
    QCOMPARE(widget<QLineEdit>("lineEditChSum")->text(), QStringLiteral("AB"));

    // An empty typed frame without checksum reaches the port as nothing, but is logged.
    openPort();
    widget<QLineEdit>("lineEdit")->clear();
    widget<QCheckBox>("checkBoxChSum")->setChecked(false);
    widget<QPushButton>("pbCOMportTX_V")->click();
    widget<QPushButton>("pbCOMportTX_Echo")->click();
    QCOMPARE(pty->readExactly(6), hex("1C0503800182"));
    QCOMPARE(logLines(), (QStringList {"<-- ", "<-- 1C 05 03 80 01 82"}));
}

void TestMainWindow::receivedBlocksAreLogged_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QString>("line");
    QTest::newRow("one byte") << hex("0A") << "--> 0A";
    QTest::newRow("leading zero and letters") << hex("00FF") << "--> 00 FF";
    QTest::newRow("adapter-like answer") << hex("1C05A0") << "--> 1C 05 A0";
    QTest::newRow("interrupt and CR bytes") << hex("1C0D0A03") << "--> 1C 0D 0A 03";
}

void TestMainWindow::receivedBlocksAreLogged()
{
    QFETCH(QByteArray, block);
    QFETCH(QString, line);

    openPort();
    QVERIFY(pty->write(block));
    QTRY_COMPARE(logLines(), QStringList {line});
    QCOMPARE(window->txHexLength, 2 * block.size());
    QCOMPARE(window->logText, line.mid(4).toLower());
}

void TestMainWindow::clearEmptiesTheLog()
{
    openPort();
    widget<QPushButton>("pbCOMportTX_Echo")->click();
    QVERIFY(pty->write(hex("0102")));
    QTRY_COMPARE(logLines().size(), 2);

    widget<QPushButton>("pbCOMportClear")->click();
    QVERIFY(logLines().isEmpty());
    QVERIFY(window->serialPort->isOpen());
    QCOMPARE(window->txFrame, hex("1C0503800182"));

    QVERIFY(pty->write(hex("AB")));
    QTRY_COMPARE(logLines(), QStringList {"--> AB"});
}

void TestMainWindow::undoCannotEraseTraffic()
{
    openPort();
    widget<QPushButton>("pbCOMportTX_Echo")->click();
    QVERIFY(pty->write(hex("0102")));
    QTRY_COMPARE(logLines().size(), 2);

    auto *log = widget<QTextEdit>("textEdit");
    log->setFocus();
    QTest::keyClick(log, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(log, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(logLines(), (QStringList {"<-- 1C 05 03 80 01 82", "--> 01 02"}));
}

void TestMainWindow::burstOfLinesIsShown()
{
    openPort();
    auto *log = widget<QTextEdit>("textEdit");
    for (int i = 0; i < 50; ++i)
        widget<QPushButton>("pbCOMportTX_Echo")->click();
    QCOMPARE(logLines().size(), 50);
    QTRY_VERIFY(log->updatesEnabled());
}

void TestMainWindow::sendPutsEarlierReceivedLinesFirst()
{
    const QString echoLine = QStringLiteral("<-- 1C 05 03 80 01 82");
    openPort();
    receiveWhileHeld(hex("0102"));
    QCOMPARE(logLines(), QStringList {echoLine});
    QCOMPARE(window->logText, QStringLiteral("01 02"));

    widget<QPushButton>("pbCOMportTX_Echo")->click();
    QCOMPARE(logLines(), (QStringList {echoLine, "--> 01 02", echoLine}));
    QVERIFY(pty->write(hex("03")));
    QTRY_COMPARE(logLines(), (QStringList {echoLine, "--> 01 02", echoLine, "--> 03"}));
}

void TestMainWindow::clearDropsLinesNotShownYet()
{
    openPort();
    receiveWhileHeld(hex("0102"));
    widget<QPushButton>("pbCOMportClear")->click();
    QVERIFY(logLines().isEmpty());

    QVERIFY(pty->write(hex("AB")));
    QTRY_COMPARE(logLines(), QStringList {"--> AB"});
}

void TestMainWindow::logFollowsTailOnlyAtItsEnd_data()
{
    QTest::addColumn<bool>("scrolledUp");
    QTest::addColumn<bool>("caretAtTop");
    QTest::addColumn<bool>("sent");
    QTest::newRow("at the end, received") << false << false << false;
    QTest::newRow("at the end, sent") << false << false << true;
    QTest::newRow("at the end, caret at the top") << false << true << false;
    QTest::newRow("scrolled up, received") << true << false << false;
    QTest::newRow("scrolled up, sent") << true << false << true;
}

// The caret starts at the end of the log and moves along with the lines; where it is must not
// decide whether the view follows them.
void TestMainWindow::logFollowsTailOnlyAtItsEnd()
{
    QFETCH(bool, scrolledUp);
    QFETCH(bool, caretAtTop);
    QFETCH(bool, sent);

    openPort();
    auto *log = widget<QTextEdit>("textEdit");
    for (int i = 0; i < 100; ++i)
        widget<QPushButton>("pbCOMportTX_Echo")->click();
    QScrollBar *bar = log->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
    if (caretAtTop) {
        log->moveCursor(QTextCursor::Start);
        bar->setValue(bar->maximum());
    }
    if (scrolledUp)
        bar->setValue(bar->maximum() / 2);
    const int before = bar->value();

    if (sent) {
        widget<QPushButton>("pbCOMportTX_Echo")->click();
    } else {
        QVERIFY(pty->write(hex("0102")));
        QTRY_COMPARE(logLines().size(), 101);
    }
    QCOMPARE(logLines().size(), 101);
    if (scrolledUp) {
        QCOMPARE(bar->value(), before);
    } else {
        QVERIFY(bar->value() > before);
        QCOMPARE(bar->value(), bar->maximum());
    }
    if (caretAtTop)
        QCOMPARE(log->textCursor().position(), 0);
}

void TestMainWindow::byteCountEnablesDataBoxes_data()
{
    QTest::addColumn<int>("count");
    for (int count = 1; count <= 8; ++count)
        QTest::addRow("%d", count) << count;
}

void TestMainWindow::byteCountEnablesDataBoxes()
{
    QFETCH(int, count);
    setSpin("sbNumBytes", 8);
    for (int k = 0; k < 8; ++k)
        setSpin(qPrintable(QStringLiteral("sbData%1").arg(k)), 0x10 + k);
    setSpin("sbNumBytes", count);
    for (int k = 0; k < 8; ++k) {
        auto *box = widget<QSpinBox>(qPrintable(QStringLiteral("sbData%1").arg(k)));
        QCOMPARE(box->isEnabled(), k < count);
        QCOMPARE(box->value(), 0x10 + k);
    }
}

void TestMainWindow::outOfRangeByteCountChangesNothing()
{
    setSpin("sbNumBytes", 3);
    auto enabledBoxes = [this] {
        QList<bool> states;
        for (int k = 0; k < 8; ++k)
            states << widget<QSpinBox>(qPrintable(QStringLiteral("sbData%1").arg(k)))->isEnabled();
        return states;
    };
    const QList<bool> before = enabledBoxes();
    QVERIFY(QMetaObject::invokeMethod(window.get(), "NumBytesCTL", Q_ARG(int, 9)));
    QVERIFY(QMetaObject::invokeMethod(window.get(), "NumBytesCTL", Q_ARG(int, -1)));
    QCOMPARE(enabledBoxes(), before);
    QVERIFY(QMetaObject::invokeMethod(window.get(), "NumBytesCTL", Q_ARG(int, 0)));
    QVERIFY(!enabledBoxes().contains(true));
}

void TestMainWindow::identifierTypeEnablesSecondPair()
{
    widget<QRadioButton>("radioButtonExt")->click();
    QVERIFY(!widget<QRadioButton>("radioButtonStd")->isChecked());
    QVERIFY(widget<QSpinBox>("sbIDHB_2")->isEnabled());
    QVERIFY(widget<QSpinBox>("sbIDLB_2")->isEnabled());
    widget<QRadioButton>("radioButtonStd")->click();
    QVERIFY(!widget<QSpinBox>("sbIDHB_2")->isEnabled());
    QVERIFY(!widget<QSpinBox>("sbIDLB_2")->isEnabled());
    QVERIFY(widget<QSpinBox>("sbIDLB")->isEnabled());
}

void TestMainWindow::autoSendRepeatsWhileOpen()
{
    const QByteArray frame = hex("1C0507000000000100") + char(0x07 ^ 0x01);
    QSignalSpy timeouts(window->autoSendTimer, &QTimer::timeout);
    setSpin("sbAutoSendPeriod", 10);
    auto *autoSend = widget<QPushButton>("pbAutoSend");

    // Closed port: the timer runs, nothing is sent or logged.
    pty->makeSlaveRaw();
    autoSend->click();
    QVERIFY(autoSend->isChecked());
    QCOMPARE(window->autoSendTimer->interval(), 10);
    QTRY_VERIFY(timeouts.count() >= 3);
    QVERIFY(logLines().isEmpty());

    openPort();
    QCOMPARE(pty->readExactly(5 * frame.size()), frame.repeated(5));
    QVERIFY(logLines().size() >= 5);
    QVERIFY(logLines().filter(QRegularExpression("^<-- 1C 05 07 00 00 00 00 01 00 06$")).size()
        == logLines().size());

    autoSend->click();
    QVERIFY(!autoSend->isChecked());
    QVERIFY(!window->autoSendTimer->isActive());
}

void TestMainWindow::autoSendKeepsPeriodUntilRestarted()
{
    auto *autoSend = widget<QPushButton>("pbAutoSend");
    autoSend->click();
    QCOMPARE(window->autoSendTimer->interval(), 1000);
    setSpin("sbAutoSendPeriod", 250);
    QCOMPARE(window->autoSendTimer->interval(), 1000);
    autoSend->click();
    autoSend->click();
    QCOMPARE(window->autoSendTimer->interval(), 250);
    QVERIFY(window->autoSendTimer->isActive());
}

void TestMainWindow::unpluggedDeviceIsDropped()
{
    openPort();
    setSpin("sbAutoSendPeriod", 10);
    widget<QPushButton>("pbAutoSend")->click();
    QVERIFY(pty->readExactly(20).size() >= 20);

    ModalBoxCatcher catcher;
    QSignalSpy caught(&catcher, &ModalBoxCatcher::caught);
    // While the box is up the window must already show the port as closed.
    QString statusWithBox;
    bool closedControlsWithBox = false;
    connect(&catcher, &ModalBoxCatcher::caught, &catcher, [&] {
        statusWithBox = statusText();
        closedControlsWithBox = !widget<QPushButton>("pbCOMportClose")->isEnabled()
            && widget<QPushButton>("pbCOMportOpen")->isEnabled()
            && widget<QComboBox>("lbCOMport")->isEnabled();
    });
    QElapsedTimer sincePull;
    sincePull.start();
    pty->close();
    QVERIFY(caught.wait(2000));
    const qint64 latency = sincePull.elapsed();
    QVERIFY2(latency < 500, qPrintable(QStringLiteral("reported after %1 ms").arg(latency)));
    QCOMPARE(catcher.titles, QStringList {QStringLiteral("Error")});
    const QString report = catcher.texts.first();
    QVERIFY2(report.startsWith(pty->slavePath() + QLatin1String(": the device was disconnected")),
        qPrintable(report));
    QCOMPARE(statusWithBox, QStringLiteral("COM port closed"));
    QVERIFY(closedControlsWithBox);
    QCOMPARE(statusText(), QStringLiteral("COM port closed"));
    QVERIFY(!window->serialPort->isOpen());

    // Auto-send stays on but finds the port closed; the process must fall idle.
    QVERIFY(window->autoSendTimer->isActive());
    const int sent = logLines().size();
    QSignalSpy timeouts(window->autoSendTimer, &QTimer::timeout);
    const qint64 cpuBefore = processCpuMs();
    QElapsedTimer wall;
    wall.start();
    QTRY_VERIFY(timeouts.count() >= 30);
    const qint64 cpu = processCpuMs() - cpuBefore;
    QVERIFY2(cpu * 2 < wall.elapsed(),
        qPrintable(QStringLiteral("%1 ms CPU in %2 ms").arg(cpu).arg(wall.elapsed())));
    QCOMPARE(logLines().size(), sent);
    QCOMPARE(catcher.titles.size(), 1);
}

void TestMainWindow::tearDownWithOpenPortAndAutoSend()
{
    openPort();
    setSpin("sbAutoSendPeriod", 10);
    widget<QPushButton>("pbAutoSend")->click();
    QVERIFY(pty->readExactly(10).size() >= 10);

    QTimer::singleShot(0, widget<QPushButton>("pbQuit"), &QPushButton::click);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!window->isVisible());
    window.reset();

    // The port is released: it can be opened again at once.
    QSerialPort again(pty->slavePath());
    QVERIFY(again.open(QIODevice::ReadWrite));
}

// The controls keep the font chosen for the old desktop font until the window chooses anew;
// starting from a font they fit in as it is, they would take on the new one whole.
void TestMainWindow::desktopFontChangeRefitsTheForm()
{
    const QFont platform = QApplication::font();
    const auto restore = qScopeGuard([&] { QApplication::setFont(platform); });
    QFont font = platform;
    font.setPixelSize(10);
    QApplication::setFont(font);
    window = std::make_unique<MainWindow>();
    window->show();
    font.setPixelSize(19);
    QApplication::setFont(font);
    // Qt 6 delivers the change through the event loop.
    QTRY_COMPARE(QFontInfo(widget<QTextEdit>("textEdit")->font()).pixelSize(), 19);

    MainWindow fresh;
    for (const char *name : {"pbCOMportClose", "checkBoxChSum", "radioButtonExt", "groupBox_4",
             "sbAutoSendPeriod", "leAutoSendPeriod", "textEdit"}) {
        const QFontInfo shown(widget<QWidget>(name)->font());
        const QFontInfo expected(namedWidget<QWidget>(&fresh, name)->font());
        QVERIFY2(
            shown.pixelSize() == expected.pixelSize() && shown.styleName() == expected.styleName(),
            name);
    }
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
