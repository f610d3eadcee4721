// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef CHILDPROCESS_H
#define CHILDPROCESS_H

#include <QProcess>

// A QProcess whose child gets SIGTERM when this process dies, however it dies: a test that a
// watchdog aborts must not leave a simulator waiting for a terminal that will never come.
class ChildProcess : public QProcess
{
public:
    explicit ChildProcess(QObject *parent = nullptr);

#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
protected:
    void setupChildProcess() override;
#endif
};

#endif // CHILDPROCESS_H
