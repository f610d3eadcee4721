// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "figures.h"

#include <QLocale>

#include <cstdio>

Figures::Figures(const QString &benchmark)
    : benchmark(benchmark)
{ }

void Figures::add(const QString &figure, const QString &value, const QString &target, Met met)
{
    const char *verdict = met == Met::Yes ? "yes" : met == Met::No ? "no" : "-";
    const QString shownTarget = target.isEmpty() ? QStringLiteral("-") : target;
    std::printf("FIGURE\t%s\t%s\t%s\t%s\t%s\n", qPrintable(benchmark), qPrintable(figure),
        qPrintable(value), qPrintable(shownTarget), verdict);
    std::fflush(stdout);
}

QString Figures::number(double value, int decimals)
{
    // Thousands separators make the table readable at a glance; C keeps the point a point.
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale.toString(value, 'f', decimals);
}
