// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

// The log lays out only what is shown, in a layout of its own; it has to look and answer
// exactly as Qt's document layout would, pixel for pixel and position for position.

#include "trafficlog.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QtTest>

namespace {

int differingPixels(QTextEdit &one, QTextEdit &other)
{
    const QImage a = one.grab().toImage();
    const QImage b = other.grab().toImage();
    if (a.size() != b.size())
        return -1;
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    }
    return count;
}

} // namespace

class TestLogLayout : public QObject
{
    Q_OBJECT

private slots:
    void matchesQtLayout_data();
    void matchesQtLayout();
};

void TestLogLayout::matchesQtLayout_data()
{
    const QString line = TrafficLog::receivedLine(QStringLiteral("01 23 45 67 89 ab cd ef 55"));
    QStringList lines;
    for (int i = 0; i < 60; ++i)
        lines << line;
    QTest::addColumn<QStringList>("paragraphs");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("scrolledTo"); // per cent of the scroll range
    QTest::addColumn<QString>("edit"); // typed after the 40th paragraph's fifth character
    // As blocks received, in batches, into a log cleared after its first line.
    QTest::addColumn<bool>("received");

    const QStringList mixed = QStringList(lines.mid(0, 45))
        << QStringLiteral("--> ") + QStringLiteral("A5 ").repeated(300)
        << QStringLiteral("<-- 01\t02 a tab") << QString::fromUtf8("<-- привет שלום 你好 😀")
        << QString() << QStringLiteral("<-- ") << lines.mid(0, 10);
    QTest::newRow("lines of hex, at the end")
        << lines << QSize(861, 431) << 100 << QString() << false;
    QTest::newRow("mixed, scrolled") << mixed << QSize(861, 431) << 40 << QString() << false;
    QTest::newRow("mixed, narrow") << mixed << QSize(300, 200) << 70 << QString() << false;
    QTest::newRow("typed into") << mixed << QSize(861, 431) << 60 << QStringLiteral("typed")
                                << false;
    QTest::newRow("a paragraph split")
        << mixed << QSize(861, 431) << 60 << QStringLiteral("\n") << false;
    QTest::newRow("selected across paragraphs")
        << lines << QSize(861, 431) << 55 << QString() << false;
    QTest::newRow("mixed, received") << mixed << QSize(861, 431) << 50 << QString() << true;
    QTest::newRow("mixed, received, narrow")
        << mixed << QSize(300, 200) << 70 << QStringLiteral("typed") << true;
    // Reads of every length up to a few lines of hex, each wrapped where Qt wraps it.
    QStringList reads;
    QString hex;
    for (int i = 0; i < 240; ++i) {
        hex += QStringLiteral("%1%2")
                   .arg(hex.isEmpty() ? "" : " ")
                   .arg((i * 37) % 256, 2, 16, QLatin1Char('0'));
        reads << hex;
    }
    for (const QSize size : {QSize(861, 431), QSize(517, 301), QSize(300, 200)})
        QTest::addRow("reads, %d wide", size.width()) << reads << size << 35 << QString() << true;
}

void TestLogLayout::matchesQtLayout()
{
    QFETCH(QStringList, paragraphs);
    QFETCH(QSize, size);
    QFETCH(int, scrolledTo);
    QFETCH(QString, edit);
    QFETCH(bool, received);

    QTextEdit ours;
    QTextEdit qts;
    TrafficLog *oursLog = new TrafficLog(&ours);
    TrafficLog *qtsLog = new TrafficLog(&qts);
    // Without a layout of its own a document makes Qt's.
    qts.document()->setDocumentLayout(nullptr);
    QVERIFY(qstrcmp(qts.document()->documentLayout()->metaObject()->className(),
        ours.document()->documentLayout()->metaObject()->className()));
    for (const auto &[view, log] : {std::pair(&ours, oursLog), std::pair(&qts, qtsLog)}) {
        view->resize(size);
        view->show();
        if (received) {
            log->addReceived(paragraphs.first());
            log->clear();
        }
        for (int i = 0; i < paragraphs.size(); ++i) {
            if (!received) {
                view->append(paragraphs.at(i));
                continue;
            }
            log->addReceived(paragraphs.at(i));
            if (i % 20 == 19)
                log->flush();
        }
        log->flush();
        QTextCursor cursor(view->document()->findBlockByNumber(40));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 5);
        if (edit.isEmpty()) {
            cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 3);
            cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 7);
        } else {
            cursor.insertText(edit);
        }
        view->setTextCursor(cursor);
    }
    // Qt lays out a long document in steps; the scroll range tells when it is done.
    QTRY_COMPARE(ours.verticalScrollBar()->maximum(), qts.verticalScrollBar()->maximum());
    QVERIFY2(qts.verticalScrollBar()->maximum() > 0, "the paragraphs fit without scrolling");
    for (QTextEdit *view : {&ours, &qts}) {
        QScrollBar *bar = view->verticalScrollBar();
        bar->setValue(bar->maximum() * scrolledTo / 100);
    }
    QTRY_COMPARE(differingPixels(ours, qts), 0);

    const QAbstractTextDocumentLayout *oursLayout = ours.document()->documentLayout();
    const QAbstractTextDocumentLayout *qtsLayout = qts.document()->documentLayout();
    for (int i = 0; i < paragraphs.size(); i += 7) {
        QCOMPARE(oursLayout->blockBoundingRect(ours.document()->findBlockByNumber(i)),
            qtsLayout->blockBoundingRect(qts.document()->findBlockByNumber(i)));
    }
    const QSizeF document = qtsLayout->documentSize();
    QCOMPARE(oursLayout->documentSize(), document);
    for (const QPointF point : {QPointF(-5, -5), QPointF(3, 3), QPointF(120, 37.5),
             QPointF(size.width() / 2.0, document.height() / 2), QPointF(40, document.height() - 2),
             QPointF(10, document.height() + 50)}) {
        for (const Qt::HitTestAccuracy accuracy : {Qt::FuzzyHit, Qt::ExactHit})
            QCOMPARE(oursLayout->hitTest(point, accuracy), qtsLayout->hitTest(point, accuracy));
    }
}

QTEST_MAIN(TestLogLayout)
#include "tst_loglayout.moc"
