// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "pasteguard.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextEdit>

namespace {

bool hasText(QClipboard::Mode mode)
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(mode);
    return data && data->hasText();
}

// The clipboard a paste key takes from, as Qt's text control picks it.
QClipboard::Mode pasteMode(const QKeyEvent *event)
{
    if (QGuiApplication::clipboard()->supportsSelection()
        && event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier)
        && event->key() == Qt::Key_Insert)
        return QClipboard::Selection;
    return QClipboard::Clipboard;
}

} // namespace

PasteGuard::PasteGuard(QTextEdit *view)
    : QObject(view)
    , view(view)
{
    // Keys and keyboard context menus reach the view, the mouse and drops its viewport.
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
}

bool PasteGuard::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        return key->matches(QKeySequence::Paste) && !hasText(pasteMode(key));
    }
    case QEvent::MouseButtonRelease:
        return static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton
            && QGuiApplication::clipboard()->supportsSelection() && !hasText(QClipboard::Selection);
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (drop->mimeData() && drop->mimeData()->hasText())
            return false;
        drop->ignore();
        return true;
    }
    case QEvent::ContextMenu:
        showContextMenu(static_cast<QContextMenuEvent *>(event), static_cast<QWidget *>(watched));
        return true;
    default:
        return false;
    }
}

// Qt's own menu, with Paste asking the clipboard again when it is picked: the clipboard may
// have emptied meanwhile, for instance when the program that copied has quit.
void PasteGuard::showContextMenu(QContextMenuEvent *event, QWidget *receiver)
{
    QWidget *viewport = view->viewport();
    const QPoint inViewport
        = receiver == viewport ? event->pos() : viewport->mapFrom(receiver, event->pos());
    const QPoint scrolled(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value());
    QMenu *menu = view->createStandardContextMenu(inViewport + scrolled);
    if (auto *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"))) {
        disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, view, [this] {
            if (hasText(QClipboard::Clipboard))
                view->paste();
        });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}
