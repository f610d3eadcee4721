#ifndef CHILDPROCESS_H
#define CHILDPROCESS_H

#include <QProcess>

// A QProcess whose child gets SIGTERM when this process dies, however it dies: a test that a
// watchdog aborts must not leave a simulator waiting for a terminal that will never come.
class ChildProcess : public QProcess
{
public:
    using QProcess::QProcess;

protected:
    void setupChildProcess() override;
};

#endif // CHILDPROCESS_H
