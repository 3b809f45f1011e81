#include "ScrambledXml.h"

namespace ScrambledXml {

const char kMarker[kMarkerSize] = {char(0xFE), char(0xFC), char(0xFD), char(0xFE)};

bool hasMarker(const QByteArray &fileBytes)
{
    return fileBytes.startsWith(QByteArray::fromRawData(kMarker, kMarkerSize));
}

void invertBytes(QByteArray &bytes)
{
    char *data = bytes.data();
    const int size = bytes.size();
    for (int i = 0; i < size; ++i)
        data[i] = char(~quint8(data[i]));
}

QByteArray xmlText(const QByteArray &fileBytes)
{
    if (!hasMarker(fileBytes))
        return fileBytes;
    QByteArray text = fileBytes.mid(kMarkerSize);
    invertBytes(text);
    return text;
}

QByteArray scramble(const QByteArray &xmlText)
{
    QByteArray inverted = xmlText;
    invertBytes(inverted);
    return QByteArray(kMarker, kMarkerSize) + inverted;
}

} // namespace ScrambledXml
