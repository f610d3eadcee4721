// Feeds arbitrary UTF-16 text (lone surrogates and NULs included) to the hex parser.
#include "hexcodec.h"

#include <QLoggingCategory>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool silenced = [] {
        QLoggingCategory::setFilterRules(QStringLiteral("kt940.hexcodec.debug=false"));
        return true;
    }();
    Q_UNUSED(silenced);

    QString text(int(size / 2), Qt::Uninitialized);
    for (int i = 0; i < text.size(); ++i)
        text[i] = QChar(ushort(data[2 * i] | data[2 * i + 1] << 8));

    QByteArray bytes;
    HexStringToBytes(text, bytes);

    const int groups = text.split(QLatin1Char(' '), Qt::SkipEmptyParts).size();
    if (bytes.size() > groups)
        abort();

    QString spaced;
    BytesToSpacedHex(bytes, spaced, bytes.toHex().size());
    QByteArray again;
    HexStringToBytes(spaced, again);
    if (again != bytes)
        abort();
    return 0;
}
