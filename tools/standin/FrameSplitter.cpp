#include "tools/standin/FrameSplitter.h"

QList<QByteArray> FrameSplitter::feed(const QByteArray &bytes)
{
    buffer_.append(bytes);
    QList<QByteArray> frames;
    for (;;) {
        const qsizetype start = buffer_.indexOf('\x02');
        if (start < 0) {
            buffer_.clear();
            break;
        }
        if (start > 0)
            buffer_.remove(0, start);
        if (buffer_.size() < 4)
            break;
        const int size = static_cast<uint8_t>(buffer_.at(3)) + 7;
        if (buffer_.size() < size)
            break;
        frames.append(buffer_.left(size));
        buffer_.remove(0, size);
    }
    return frames;
}
