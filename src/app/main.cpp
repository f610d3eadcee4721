// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

// The name of the desktop entry and of the theme icon.
static QString appId()
{
    return QStringLiteral("org.kt940.terminal");
}

// The installed theme icon; the copy compiled into the program covers runs from the build
// folder.
static QIcon applicationIcon()
{
    QIcon builtIn;
    const QStringList sizes = QDir(QStringLiteral(":/icons")).entryList();
    for (const QString &size : sizes)
        builtIn.addFile(QStringLiteral(":/icons/%1/%2.png").arg(size, appId()));
    return QIcon::fromTheme(appId(), builtIn);
}

int main(int argc, char *argv[])
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    // The form is laid out in pixels; without scaling it shows half-size on a 2x screen.
    // Qt 5 would round a 1.5x screen up to 2x, too big for most such screens; Qt 6 does not.
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
#endif
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(appId());
    QApplication::setWindowIcon(applicationIcon());
    int result;
    {
        MainWindow window;
        window.show();
        result = app.exec();
    }
    return result;
}
