// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef NAMEDWIDGET_H
#define NAMEDWIDGET_H

#include <QObject>
#include <QString>

// The window's child of that object name and class. A missing one means the code that asks is
// out of step with the form, so it aborts rather than fail later on a null pointer.
template<typename T> T *namedWidget(const QObject *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no widget %s", name);
    return found;
}

#endif // NAMEDWIDGET_H
