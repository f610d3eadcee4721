// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "modalboxcatcher.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>

ModalBoxCatcher::ModalBoxCatcher(QObject *parent)
    : QObject(parent)
{
    qApp->installEventFilter(this);
}

bool ModalBoxCatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (box && box->isModal()) {
            QMetaObject::invokeMethod(
                this, [this, box = QPointer<QMessageBox>(box)] { dismiss(box); },
                Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}

void ModalBoxCatcher::dismiss(QMessageBox *box)
{
    if (!box || !box->isVisible())
        return;
    titles << box->windowTitle();
    texts << box->text();
    box->accept();
    emit caught();
}

QString ModalBoxCatcher::summary() const
{
    return QStringLiteral("message boxes: %1").arg(texts.join(QLatin1String(" | ")));
}
