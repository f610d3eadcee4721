// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

// Sending cost: one "TX Data" click, log line included, with a long log already shown.
#include "benchrun.h"
#include "clocks.h"
#include "figures.h"
#include "floodstream.h"
#include "logfill.h"
#include "probes.h"
#include "ptymaster.h"
#include "windowdriver.h"

#include <QCoreApplication>

#include <vector>

namespace {

constexpr int frameBytes = 10; // the default form: standard identifier, one data byte

} // namespace

void measureSending(bool quick)
{
    const int logLines = quick ? 10000 : 100000;
    const int clicks = quick ? 200 : 1000;
    Figures figures(QStringLiteral("Sending"));

    WindowDriver driver;
    PtyMaster pty;
    driver.openPty(pty);
    sim::FloodStream bytes;
    note(QStringLiteral("filling the log to %1 lines").arg(logLines));
    fillLog(driver, logLines, bytes);

    std::vector<double> clickUs;
    std::vector<double> roundUs;
    qint64 received = 0;
    for (int i = 0; i < clicks; ++i) {
        const qint64 start = monotonicNs();
        driver.click("pbCOMportTX_S");
        const qint64 clicked = monotonicNs();
        // The port writes and the log repaints from the event loop; a person's next click
        // would wait for both.
        QCoreApplication::processEvents();
        clickUs.push_back(double(clicked - start) / 1000);
        roundUs.push_back(double(monotonicNs() - start) / 1000);
        received += pty.readAvailable().size();
    }
    received += pty.readExactly(int(clicks * frameBytes - received), 10000).size();
    if (received != qint64(clicks) * frameBytes || driver.logLineCount() != logLines + clicks)
        qFatal("clicks lost: %lld bytes arrived, %d lines logged", received, driver.logLineCount());

    auto mean = [](const std::vector<double> &values) {
        double sum = 0;
        for (double v : values)
            sum += v;
        return sum / double(values.size());
    };
    const QString at = Figures::number(logLines, 0);
    figures.add(QStringLiteral("µs per TX Data click, log line included, log at %1 lines").arg(at),
        QStringLiteral("%1 (p99 %2)")
            .arg(Figures::number(mean(clickUs), 1), Figures::number(percentile(clickUs, 0.99), 1)));
    figures.add(QStringLiteral("µs per TX Data click with the write and repaint that follow"),
        QStringLiteral("%1 (p99 %2)")
            .arg(Figures::number(mean(roundUs), 1), Figures::number(percentile(roundUs, 0.99), 1)));
}

int main(int argc, char *argv[])
{
    return runBenchmark(argc, argv, measureSending);
}
