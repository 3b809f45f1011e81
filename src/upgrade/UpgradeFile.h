#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// An upgrade file (.dec): a 96-byte header followed by the body, the header
// and the body each guarded by a CRC-32. The program never interprets the
// body; it checks both sums, reads the header's texts and cuts the whole
// file, header included, into the 1024-byte blocks that the device
// receives.
//
// The file is read once: the bytes that were checked are the bytes that are
// cut into blocks, so a file changed on disk in between cannot be flashed
// unchecked.
class UpgradeFile
{
public:
    static constexpr int kHeaderSize = 96;
    static constexpr int kBlockSize = 1024;
    static constexpr char kPadding = char(0xFF);

    // Header layout (integers little-endian, texts Latin-1 up to the first NUL).
    static constexpr int kTagOffset = 0;
    static constexpr int kTagSize = 4;
    static constexpr int kCategoryOffset = 12;
    static constexpr int kCategorySize = 16;
    static constexpr int kVersionOffset = 28;
    static constexpr int kVersionSize = 24;
    static constexpr int kBodyCrcOffset = 76;
    static constexpr int kBodyLengthOffset = 88;
    static constexpr int kHeaderCrcOffset = 92; // over header bytes 0 to 91

    enum Check {
        Valid,
        Unreadable,      // the file cannot be opened or read
        TooShort,        // shorter than the header
        HeaderCrcWrong,
        BodyTooShort,    // fewer body bytes than the header declares
        TrailingBytes,   // more bytes than header and declared body: they would be flashed unchecked
        BodyCrcWrong,
    };

    // Reads and checks the file; on success holds its blocks. The header's
    // texts are kept whenever the header could be read, even when a later
    // check fails.
    Check load(const QString &path);
    // The same for the file's content.
    Check check(const QByteArray &content);
    void clear();

    bool isLoaded() const { return !m_blocks.isEmpty(); }
    QString tag() const { return m_tag; }
    QString category() const { return m_category; }
    // The package version: the second word of the header's version text.
    QString version() const { return m_version; }
    qint64 fileSize() const { return m_fileSize; }
    const QList<QByteArray> &blocks() const { return m_blocks; }
    int transferSize() const { return m_blocks.size() * kBlockSize; }

    // CRC-32 of IEEE 802.3, as zlib computes it.
    static quint32 crc32(const QByteArray &bytes);
    // Consecutive 1024-byte blocks; the last one padded with 0xFF.
    static QList<QByteArray> cutBlocks(const QByteArray &content);
    // Word 2 of the version text split at every single space; empty when
    // there is no second word.
    static QString packageVersion(const QString &versionText);
    // The package version a file's header gives (the header is the first
    // 96 bytes of the file's first block).
    static QString headerVersion(const QByteArray &header);

private:
    QString m_tag;
    QString m_category;
    QString m_version;
    qint64 m_fileSize = 0;
    QList<QByteArray> m_blocks;
};
