// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

// Pasting into the log, on a real X server: Qt 6.4 crashes pasting from an empty X11
// clipboard, and the offscreen platform has no such clipboard.

#include "messagefilter.h"
#include "windowdriver.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QTextEdit>
#include <QtTest>

#include <memory>

namespace {

const QString pastedText = QStringLiteral("1C 05");

// Fills `data` with what the row's clipboard holds: nothing, an image only, or text.
void fill(QMimeData *data, const QString &content)
{
    if (content == QLatin1String("text"))
        data->setText(pastedText);
    else if (content == QLatin1String("image"))
        data->setImageData(QVariant::fromValue(QImage(4, 4, QImage::Format_RGB32)));
}

// Gives the clipboard the row's content. An empty one is owned by nobody, as after a login.
bool fillClipboard(QClipboard::Mode mode, const QString &content)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (content == QLatin1String("empty")) {
        clipboard->clear(mode);
    } else {
        auto *data = new QMimeData;
        fill(data, content);
        clipboard->setMimeData(data, mode);
    }
    const QMimeData *now = clipboard->mimeData(mode);
    if (content == QLatin1String("empty"))
        return !now || now->formats().isEmpty();
    return now && now->hasText() == (content == QLatin1String("text"));
}

} // namespace

class TestPaste : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void onlyTextIsPasted_data();
    void onlyTextIsPasted();

private:
    std::unique_ptr<WindowDriver> driver;
};

void TestPaste::initTestCase()
{
    installMessageFilter();
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QVERIFY(QGuiApplication::clipboard()->supportsSelection());
}

void TestPaste::init()
{
    driver = std::make_unique<WindowDriver>();
}

void TestPaste::cleanup()
{
    driver.reset();
}

void TestPaste::onlyTextIsPasted_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("content");
    for (const char *way : {"Ctrl+V", "Shift+Insert", "middle click", "context menu", "drop"}) {
        for (const char *content : {"empty", "image", "text"})
            QTest::addRow("%s, %s", way, content) << QString::fromLatin1(way) << content;
    }
}

void TestPaste::onlyTextIsPasted()
{
    QFETCH(QString, way);
    QFETCH(QString, content);

    QTextEdit *log = driver->log();
    QWidget *viewport = log->viewport();
    const QPoint inside = viewport->rect().center();
    log->setFocus();

    if (way == QLatin1String("Ctrl+V") || way == QLatin1String("Shift+Insert")) {
        QVERIFY(fillClipboard(QClipboard::Clipboard, content));
        if (way == QLatin1String("Ctrl+V"))
            QTest::keyClick(log, Qt::Key_V, Qt::ControlModifier);
        else
            QTest::keyClick(log, Qt::Key_Insert, Qt::ShiftModifier);
    } else if (way == QLatin1String("middle click")) {
        QVERIFY(fillClipboard(QClipboard::Selection, content));
        QTest::mouseClick(viewport, Qt::MiddleButton, Qt::NoModifier, inside);
    } else if (way == QLatin1String("context menu")) {
        // The menu offers Paste for the text on the clipboard; by the time the user picks it,
        // the clipboard holds the row's content.
        QVERIFY(fillClipboard(QClipboard::Clipboard, QStringLiteral("text")));
        QContextMenuEvent open(QContextMenuEvent::Mouse, inside, viewport->mapToGlobal(inside));
        QApplication::sendEvent(viewport, &open);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        auto *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"));
        QVERIFY(paste && paste->isEnabled());
        QVERIFY(fillClipboard(QClipboard::Clipboard, content));
        QTest::mouseClick(
            menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(paste).center());
        QTRY_VERIFY(!menu->isVisible());
    } else {
        QMimeData data;
        fill(&data, content);
        QDragEnterEvent enter(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QDropEvent drop(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        QCOMPARE(drop.isAccepted(), content == QLatin1String("text"));
    }

    QCOMPARE(log->toPlainText(), content == QLatin1String("text") ? pastedText : QString());
}

QTEST_MAIN(TestPaste)
#include "tst_paste.moc"
