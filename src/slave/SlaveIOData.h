#pragma once

#include <QByteArray>
#include <QObject>

class Slave;

// Moves a slave's process data between its items and the adapter's process
// images: bit n of an image is bit n % 8 of byte n / 8, and an item of bit
// length n at start address s occupies bits s … s + n - 1, its value's bit 0
// first.
class SlaveIOData : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Bits [start, start + length) of image as a number (at most 32 bits);
    // bits outside the image read as 0.
    static quint32 readBits(const QByteArray &image, int start, int length);
    // Writes the low length bits of value at start; other bits and bits
    // outside the image are left unchanged.
    static void writeBits(QByteArray &image, int start, int length, quint32 value);

    // Writes the current values of the slave's output items ("TXPDO") into
    // the output image.
    static void writeOutputs(const Slave &slave, QByteArray &outputImage);
    // Sets every output item of the slave to 0.
    static void clearOutputs(Slave &slave);
};
