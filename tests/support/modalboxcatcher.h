// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef MODALBOXCATCHER_H
#define MODALBOXCATCHER_H

#include <QObject>
#include <QString>
#include <QStringList>

class QMessageBox;

// Dismisses every modal message box as soon as it shows and records its title and text.
// It learns of a box from its show event, not by polling: a test starved of CPU would spend
// its share on the polling. The box's own loop keeps the test's code from running, so the
// dismissal is queued into that loop.
class ModalBoxCatcher : public QObject
{
    Q_OBJECT

public:
    explicit ModalBoxCatcher(QObject *parent = nullptr);

    QStringList titles;
    QStringList texts;
    // How many boxes the test means to raise; a test checks caughtAsExpected() at its end.
    int expected = 0;
    bool caughtAsExpected() const { return titles.size() == expected; }
    // The texts caught, for the failure's message.
    QString summary() const;

signals:
    void caught();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void dismiss(QMessageBox *box);
};

#endif // MODALBOXCATCHER_H
