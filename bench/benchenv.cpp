#include "benchenv.h"

#include <QtGlobal>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

std::atomic<bool> dropDebug {false};

void handleMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg && dropDebug)
        return;
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

void prepareEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void installMessageHandler()
{
    qInstallMessageHandler(handleMessage);
}

void setDiscardDebug(bool discard)
{
    dropDebug = discard;
}

bool quickRun(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            return true;
    }
    return false;
}

QString adapterSimProgram()
{
    return QStringLiteral(ADAPTER_SIM_PROGRAM);
}

void note(const QString &text)
{
    std::fprintf(stderr, "  %s\n", qPrintable(text));
    std::fflush(stderr);
}
