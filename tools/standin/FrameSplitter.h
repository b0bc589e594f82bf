#pragma once

#include <QByteArray>
#include <QList>

#include <cstdint>

// A whole frame: 02 ID CMD LEN DATA 03 SUM 0D. The peer builds its frames apart from the
// program's own builder, so that a fault there can't hide in what the peer sends.
QByteArray peerFrame(uint8_t id, uint8_t cmd, const QByteArray &data);

// Splits a byte stream into frames by their LEN byte (02 ID CMD LEN DATA 03 SUM 0D), whatever
// the bytes inside DATA; bytes before an STX are dropped. Nothing is checked beyond the length:
// a peer records what it was sent, good or bad.
class FrameSplitter
{
public:
    // Adds bytes; returns the frames they completed, in order.
    QList<QByteArray> feed(const QByteArray &bytes);
    // Bytes of a frame not yet complete.
    int pending() const { return static_cast<int>(buffer_.size()); }
    void reset() { buffer_.clear(); }

private:
    QByteArray buffer_;
};
