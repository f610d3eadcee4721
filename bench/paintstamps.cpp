// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "paintstamps.h"

#include "clocks.h"

#include <QEvent>

#include <algorithm>
#include <utility>

PaintStamps::PaintStamps(std::function<int()> sample, std::size_t expected)
    : sample(std::move(sample))
{
    ns.reserve(expected);
    samples.reserve(expected);
}

void PaintStamps::stamp()
{
    ns.push_back(monotonicNs());
    samples.push_back(sample ? sample() : 0);
}

qint64 PaintStamps::firstAbove(int value) const
{
    const auto found = std::upper_bound(samples.begin(), samples.end(), value);
    return found == samples.end() ? -1 : ns[std::size_t(found - samples.begin())];
}

bool PaintStamps::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched->isWidgetType())
        stamp();
    return QObject::eventFilter(watched, event);
}
