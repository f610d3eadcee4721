// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef PASTEGUARD_H
#define PASTEGUARD_H

#include <QObject>

class QContextMenuEvent;
class QTextEdit;
class QWidget;

// Lets only text be pasted into an editable text view. Qt 6.4 crashes in
// QWidgetTextControl::insertFromMimeData when it pastes from an empty X11 clipboard, as after a
// login, so every way in is checked before Qt handles it: the paste keys, the middle click that
// pastes the X11 selection, drops, and the context menu's Paste, which is picked long after
// the menu was built.
class PasteGuard : public QObject
{
    Q_OBJECT

public:
    // Guards `view`, as a child of it.
    explicit PasteGuard(QTextEdit *view);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showContextMenu(QContextMenuEvent *event, QWidget *receiver);

    QTextEdit *view;
};

#endif // PASTEGUARD_H
