#pragma once

#include <QByteArray>
#include <QtGlobal>

// Multi-byte numbers in frames and per-module records are little-endian.
// Short input is tolerated everywhere: a byte past the end reads as 0.
namespace tarnbus::bytes {

inline quint8 byteAt(const QByteArray &bytes, int offset)
{
    return offset >= 0 && offset < bytes.size() ? quint8(bytes.at(offset)) : 0;
}

inline quint16 wordAt(const QByteArray &bytes, int offset)
{
    return quint16(byteAt(bytes, offset) | (byteAt(bytes, offset + 1) << 8));
}

// Writes value at offset, low byte first; bytes past the end are not written.
inline void putWord(QByteArray &bytes, int offset, quint16 value)
{
    if (offset >= 0 && offset < bytes.size())
        bytes[offset] = char(value & 0xFF);
    if (offset + 1 >= 0 && offset + 1 < bytes.size())
        bytes[offset + 1] = char(value >> 8);
}

} // namespace tarnbus::bytes
