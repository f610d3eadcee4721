// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "benchrun.h"

#include "messagefilter.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int runBenchmark(int &argc, char **argv, const std::function<void(bool quick)> &body)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installMessageFilter();
    body(quickRun(argc, argv));
    return 0;
}

bool quickRun(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            return true;
    }
    return false;
}

void note(const QString &text)
{
    std::fprintf(stderr, "  %s\n", qPrintable(text));
    std::fflush(stderr);
}
