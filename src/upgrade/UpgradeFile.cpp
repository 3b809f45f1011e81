#include "UpgradeFile.h"

#include <QFile>
#include <QtEndian>

#include <zlib.h>

namespace {

QString headerText(const QByteArray &content, int offset, int size)
{
    const QByteArray field = content.mid(offset, size);
    const int end = field.indexOf('\0');
    return QString::fromLatin1(end < 0 ? field : field.left(end));
}

quint32 headerNumber(const QByteArray &content, int offset)
{
    return qFromLittleEndian<quint32>(content.constData() + offset);
}

} // namespace

quint32 UpgradeFile::crc32(const QByteArray &bytes)
{
    const auto *data = reinterpret_cast<const Bytef *>(bytes.constData());
    return quint32(::crc32_z(::crc32_z(0L, Z_NULL, 0), data, z_size_t(bytes.size())));
}

QList<QByteArray> UpgradeFile::cutBlocks(const QByteArray &content)
{
    QList<QByteArray> blocks;
    for (int offset = 0; offset < content.size(); offset += kBlockSize)
        blocks.append(content.mid(offset, kBlockSize));
    if (!blocks.isEmpty())
        blocks.last() = blocks.last().leftJustified(kBlockSize, kPadding);
    return blocks;
}

QString UpgradeFile::packageVersion(const QString &versionText)
{
    return versionText.split(QLatin1Char(' ')).value(1);
}

QString UpgradeFile::headerVersion(const QByteArray &header)
{
    return packageVersion(headerText(header, kVersionOffset, kVersionSize));
}

void UpgradeFile::clear()
{
    *this = UpgradeFile();
}

UpgradeFile::Check UpgradeFile::load(const QString &path)
{
    clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Unreadable;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Unreadable;
    return check(content);
}

UpgradeFile::Check UpgradeFile::check(const QByteArray &content)
{
    clear();
    if (content.size() < kHeaderSize)
        return TooShort;
    m_tag = headerText(content, kTagOffset, kTagSize);
    m_category = headerText(content, kCategoryOffset, kCategorySize);
    m_version = headerVersion(content);

    if (crc32(content.left(kHeaderCrcOffset)) != headerNumber(content, kHeaderCrcOffset))
        return HeaderCrcWrong;
    const quint64 declared = headerNumber(content, kBodyLengthOffset);
    const quint64 present = quint64(content.size() - kHeaderSize);
    if (present < declared)
        return BodyTooShort;
    if (present > declared)
        return TrailingBytes;
    if (crc32(content.mid(kHeaderSize)) != headerNumber(content, kBodyCrcOffset))
        return BodyCrcWrong;

    m_fileSize = content.size();
    m_blocks = cutBlocks(content);
    return Valid;
}
