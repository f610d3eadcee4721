// SPDX-FileCopyrightText: 2026 The kt940-terminal developers
// SPDX-License-Identifier: MIT

#include "messagefilter.h"

#include <QLoggingCategory>
#include <QString>
#include <QtGlobal>

#include <atomic>

namespace {

QtMessageHandler previousHandler = nullptr;
std::atomic<bool> discardDebug {false};

void filterMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg && discardDebug)
        return;
    if (message.contains(QLatin1String("does not support propagateSizeHints")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

void installMessageFilter()
{
    const QtMessageHandler previous = qInstallMessageHandler(filterMessage);
    if (previous != filterMessage)
        previousHandler = previous;
}

void setDiscardDebug(bool discard)
{
    discardDebug = discard;
}

void muteParserTraces()
{
    QLoggingCategory::setFilterRules(QStringLiteral("kt940.hexcodec.debug=false"));
}
