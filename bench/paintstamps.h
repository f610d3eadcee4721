#ifndef PAINTSTAMPS_H
#define PAINTSTAMPS_H

#include <QObject>
#include <QtGlobal>

#include <functional>
#include <vector>

// An event filter that notes when the widgets it is installed on are painted: the monotonic
// time of each paint event and a number the caller samples at that moment (such as the
// number of log lines there were to paint).
class PaintStamps : public QObject
{
public:
    explicit PaintStamps(std::function<int()> sample = {}, std::size_t expected = 0);

    std::vector<qint64> ns;
    std::vector<int> samples;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<int()> sample;
};

#endif // PAINTSTAMPS_H
