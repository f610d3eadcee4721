// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

// Typed-text parsing, worst case: "TX String" with the field full of one-digit groups.
#include "benchrun.h"
#include "clocks.h"
#include "figures.h"
#include "messagefilter.h"
#include "ptymaster.h"
#include "windowdriver.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QLoggingCategory>

namespace {

// "1 2 3 ... 9 0 1 ..." cut to `length` characters.
QString oneDigitGroups(int length)
{
    QString text;
    text.reserve(length);
    for (int i = 0; text.size() < length; ++i) {
        text += QChar('0' + (i + 1) % 10);
        if (text.size() < length)
            text += QLatin1Char(' ');
    }
    return text;
}

// Clicks "TX String" and returns the milliseconds until the click returned; the frame is
// then read off the pty so that the next run starts clean.
double sendTyped(WindowDriver &driver, PtyMaster &pty, int frameBytes)
{
    const qint64 start = monotonicNs();
    driver.click("pbCOMportTX_V");
    const double ms = double(monotonicNs() - start) / 1e6;
    if (pty.readExactly(frameBytes, 30000).size() != frameBytes)
        qFatal("the typed frame did not arrive whole");
    return ms;
}

} // namespace

void measureParsing(bool quick)
{
    Figures figures(QStringLiteral("Typed-text parsing"));

    WindowDriver driver;
    PtyMaster pty;
    driver.openPty(pty);
    auto *field = driver.widget<QLineEdit>("lineEdit");
    driver.widget<QCheckBox>("checkBoxChSum")->setChecked(false);

    const int fullLength = field->maxLength();
    // The traced run costs the square of the length; the quick run takes a quarter of it.
    const int tracedLength = quick ? fullLength / 4 : fullLength;
    auto groupsOf = [](int length) { return (length + 1) / 2; };

    muteParserTraces();
    field->setText(oneDigitGroups(fullLength));
    const int groups = groupsOf(field->text().size());
    double silentMs = 1e9;
    for (int run = 0; run < 3; ++run)
        silentMs = qMin(silentMs, sendTyped(driver, pty, groups));
    figures.add(QStringLiteral("TX String, %1 chars (%2 groups), kt940.hexcodec.debug=false")
                    .arg(Figures::number(field->text().size(), 0), Figures::number(groups, 0)),
        Figures::number(silentMs, 1) + QStringLiteral(" ms"));

    // Traces on, into a handler that drops them: what remains is their formatting.
    note(QStringLiteral("parsing %1 chars with traces on").arg(tracedLength));
    QLoggingCategory::setFilterRules(QStringLiteral("kt940.hexcodec.debug=true"));
    setDiscardDebug(true);
    field->setText(oneDigitGroups(tracedLength));
    const double tracedMs = sendTyped(driver, pty, groupsOf(tracedLength));
    setDiscardDebug(false);
    muteParserTraces();
    figures.add(
        QStringLiteral("TX String, %1 chars (%2 groups), debug traces formatted")
            .arg(Figures::number(tracedLength, 0), Figures::number(groupsOf(tracedLength), 0)),
        Figures::number(tracedMs, 1) + QStringLiteral(" ms"));
}

int main(int argc, char *argv[])
{
    // An inherited rule would override the ones set while measuring.
    qunsetenv("QT_LOGGING_RULES");
    return runBenchmark(argc, argv, measureParsing);
}
