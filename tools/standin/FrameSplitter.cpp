#include "tools/standin/FrameSplitter.h"

QByteArray peerFrame(uint8_t id, uint8_t cmd, const QByteArray &data)
{
    QByteArray frame;
    frame.append('\x02');
    frame.append(static_cast<char>(id));
    frame.append(static_cast<char>(cmd));
    frame.append(static_cast<char>(data.size()));
    frame.append(data);
    frame.append('\x03');
    unsigned sum = 0;
    for (char c : frame)
        sum += static_cast<uint8_t>(c);
    frame.append(static_cast<char>(sum & 0xFF));
    frame.append('\x0D');
    return frame;
}

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
