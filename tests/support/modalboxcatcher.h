// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef MODALBOXCATCHER_H
#define MODALBOXCATCHER_H

#include <QObject>
#include <QStringList>
#include <QTimer>

// Dismisses every modal message box as soon as it shows and records its title and text.
// It runs from a timer because the box's own loop keeps the test's code from running.
class ModalBoxCatcher : public QObject
{
    Q_OBJECT

public:
    explicit ModalBoxCatcher(QObject *parent = nullptr);

    QStringList titles;
    QStringList texts;

signals:
    void caught();

private:
    void check();

    QTimer timer;
};

#endif // MODALBOXCATCHER_H
