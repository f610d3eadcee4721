// Receiving at the adapter's line rate, 115200 8N1 (11,520 bytes/s), from the simulator.
#include "benchenv.h"
#include "figures.h"
#include "floodrun.h"
#include "probes.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    prepareEnvironment();
    QApplication app(argc, argv);
    installMessageHandler();
    const bool quick = quickRun(argc, argv);

    FloodSettings settings;
    settings.bytesPerSecond = 11520;
    settings.milliseconds = quick ? 10000 : 60000;
    settings.stamp = true;
    note(QStringLiteral("receiving 11,520 bytes/s for %1 s").arg(settings.milliseconds / 1000));
    const FloodResult run = runFlood(settings);

    Figures figures(QStringLiteral("Receive at 115200 8N1"));
    const QString over = QStringLiteral(", %1 s").arg(settings.milliseconds / 1000);
    figures.add(QStringLiteral("bytes lost") + over,
        QStringLiteral("%1 of %2%3")
            .arg(Figures::number(run.lost(), 0), Figures::number(run.sent, 0),
                run.intact ? QString() : QStringLiteral(" (log differs from the stream)")),
        QStringLiteral("0"), run.simulatorOk && run.intact && run.lost() == 0);
    figures.add(QStringLiteral("terminal CPU, share of one core") + over,
        Figures::number(run.cpuShare * 100, 1) + QStringLiteral(" %"), QStringLiteral("≤ 10 %"),
        run.cpuShare <= 0.10);
    auto latency = [&](const QString &to, const std::vector<double> &samples) {
        const double p99 = percentile(samples, 0.99);
        figures.add(QStringLiteral("latency write → %1, p50").arg(to),
            Figures::number(percentile(samples, 0.50), 2) + QStringLiteral(" ms"));
        figures.add(QStringLiteral("latency write → %1, p99 (%2 writes)")
                        .arg(to, Figures::number(double(samples.size()), 0)),
            Figures::number(p99, 2) + QStringLiteral(" ms"), QStringLiteral("≤ 30 ms"),
            !samples.empty() && p99 <= 30);
    };
    latency(QStringLiteral("line in the log"), run.latencyMs);
    latency(QStringLiteral("line painted"), run.paintedLatencyMs);
    return 0;
}
