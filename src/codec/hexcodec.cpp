#include "hexcodec.h"

#include <QDebug>
#include <QLoggingCategory>

namespace {

bool isHexDigit(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F') || (u >= '0' && u <= '9');
}

// The "BA =" trace repeats the whole output at every group, so long texts cost the
// square of their length; building traces only while debug output is on keeps a
// silenced parser linear.
bool tracing()
{
    const QLoggingCategory *category = QLoggingCategory::defaultCategory();
    return category && category->isDebugEnabled();
}

void appendGroup(const QString &group, QByteArray &bytes, bool trace)
{
    bytes.append(static_cast<char>(group.toInt(nullptr, 16) & 0xFF));
    if (trace)
        qDebug() << "BA =" << bytes;
}

} // namespace

void HexStringToBytes(const QString &text, QByteArray &bytes)
{
    const bool trace = tracing();
    bytes.clear();
    QString group;
    int digitCount = 0;

    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isHexDigit(c)) {
            if (digitCount < 2)
                group.append(c);
            ++digitCount;
        } else if (c == QLatin1Char(' ')) {
            if (trace) {
                qDebug() << "Counter =" << digitCount;
                qDebug() << "Space";
            }
            if (digitCount != 0)
                appendGroup(group, bytes, trace);
            group.clear();
            if (trace)
                qDebug() << "LastIndexSpace =" << i;
            digitCount = 0;
        } else if (trace) {
            qDebug() << "ERROR";
        }
    }

    // A text that ends without pending digits adds nothing: a trailing blank must not
    // turn into a 0x00 byte the user never typed.
    if (digitCount != 0)
        appendGroup(group, bytes, trace);

    if (trace) {
        qDebug() << "Size =" << text.size();
        qDebug() << "Size Array =" << bytes.size();
    }
}

void BytesToSpacedHex(const QByteArray &bytes, QString &text, int hexLength)
{
    text.clear();
    if (hexLength <= 0)
        return;

    const QByteArray hex = bytes.toHex();
    const int length = qMin(hexLength, hex.size());
    QByteArray spaced;
    spaced.reserve(length + length / 2);
    for (int i = 0; i < length; i += 2) {
        spaced.append(hex.at(i));
        spaced.append(hex.at(i + 1)); // hex has even size, so i + 1 is inside it
        if (i + 2 < length)
            spaced.append(' ');
    }
    text = QString::fromLatin1(spaced);
}

char XorCheckSum(const QByteArray &bytes, int from)
{
    char sum = 0;
    for (int i = qMax(from, 0); i < bytes.size(); ++i)
        sum ^= bytes.at(i);
    return sum;
}
