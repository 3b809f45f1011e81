#pragma once

// Upgrade files built in memory for the tests.

#include "UpgradeFile.h"

#include <QByteArray>
#include <QtEndian>

#include <algorithm>

namespace upgradetest {

// An upgrade file's content around a body of the given size.
inline QByteArray makeUpgradeFile(int bodySize, const QByteArray &version = "TBC 3.4.5",
                                  const QByteArray &category = "TBC-U100")
{
    QByteArray body(bodySize, '\0');
    for (int i = 0; i < bodySize; ++i)
        body[i] = char(i * 7 + (i >> 10));
    char header[UpgradeFile::kHeaderSize] = "TBUP";
    std::copy_n(category.constData(), category.size(), header + UpgradeFile::kCategoryOffset);
    std::copy_n(version.constData(), version.size(), header + UpgradeFile::kVersionOffset);
    qToLittleEndian(UpgradeFile::crc32(body), header + UpgradeFile::kBodyCrcOffset);
    qToLittleEndian(quint32(bodySize), header + UpgradeFile::kBodyLengthOffset);
    qToLittleEndian(UpgradeFile::crc32(QByteArray(header, UpgradeFile::kHeaderCrcOffset)),
                    header + UpgradeFile::kHeaderCrcOffset);
    return QByteArray(header, UpgradeFile::kHeaderSize) + body;
}

inline QByteArray padded(const QByteArray &content)
{
    return content.leftJustified((content.size() + 1023) / 1024 * 1024, UpgradeFile::kPadding);
}

} // namespace upgradetest
