// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#ifndef PAINTSTAMPS_H
#define PAINTSTAMPS_H

#include <QObject>
#include <QtGlobal>

#include <functional>
#include <vector>

// An event filter that notes when the widgets it is installed on are painted: the monotonic
// time of each paint event and a number the caller samples at that moment (such as the
// number of log lines there were to paint). stamp() notes any other moment the same way,
// such as a change of the log's document.
class PaintStamps : public QObject
{
public:
    explicit PaintStamps(std::function<int()> sample = {}, std::size_t expected = 0);

    void stamp();
    // The time of the first stamp whose sample exceeded `value` (samples only grow), or -1.
    qint64 firstAbove(int value) const;

    std::vector<qint64> ns;
    std::vector<int> samples;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<int()> sample;
};

#endif // PAINTSTAMPS_H
