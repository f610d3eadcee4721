#include "paintstamps.h"

#include "probes.h"

#include <QEvent>

#include <utility>

PaintStamps::PaintStamps(std::function<int()> sample, std::size_t expected)
    : sample(std::move(sample))
{
    ns.reserve(expected);
    samples.reserve(expected);
}

bool PaintStamps::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched->isWidgetType()) {
        ns.push_back(monotonicNs());
        samples.push_back(sample ? sample() : 0);
    }
    return QObject::eventFilter(watched, event);
}
