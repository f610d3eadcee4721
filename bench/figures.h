// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef FIGURES_H
#define FIGURES_H

#include <QString>

// A benchmark's results, printed on stdout as they come, one tab-separated line per figure:
//   FIGURE <benchmark> <figure> <value> <target> <met>
// with met one of yes, no or "-" (no target). scripts/bench turns them into the table.
class Figures
{
public:
    enum class Met { Yes, No, NoTarget };

    explicit Figures(const QString &benchmark);

    void add(const QString &figure, const QString &value, const QString &target = QString(),
        Met met = Met::NoTarget);
    void add(const QString &figure, const QString &value, const QString &target, bool met)
    {
        add(figure, value, target, met ? Met::Yes : Met::No);
    }

    static QString number(double value, int decimals);

private:
    QString benchmark;
};

#endif // FIGURES_H
