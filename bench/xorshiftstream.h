#ifndef XORSHIFTSTREAM_H
#define XORSHIFTSTREAM_H

#include <QByteArray>
#include <QtGlobal>

// The simulator's flood stream (byte k = low 8 bits of the k-th xorshift32 value, shifts
// 13, 17, 5, seed 1), rebuilt here to check what the window logged, and used as realistic
// varied bytes where no simulator runs.
class XorShiftStream
{
public:
    quint8 next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return quint8(state & 0xFF);
    }

    QByteArray take(int count)
    {
        QByteArray bytes(count, Qt::Uninitialized);
        for (char &byte : bytes)
            byte = char(next());
        return bytes;
    }

private:
    quint32 state = 1;
};

#endif // XORSHIFTSTREAM_H
