// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "modalboxcatcher.h"

#include <QApplication>
#include <QMessageBox>

ModalBoxCatcher::ModalBoxCatcher(QObject *parent)
    : QObject(parent)
{
    connect(&timer, &QTimer::timeout, this, &ModalBoxCatcher::check);
    timer.start(5);
}

void ModalBoxCatcher::check()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    titles << box->windowTitle();
    texts << box->text();
    box->accept();
    emit caught();
}
