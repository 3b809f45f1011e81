// An upgrade file as the upgrade dialog and the command line load it: once
// as it is, and once with its header's length and both CRC-32s made to fit
// the bytes, so that the checks behind the CRCs and the cutting into blocks
// see every input too.

#include "FuzzSupport.h"

#include <UpgradeFile.h>

#include <QtEndian>

namespace {

void checkAndCut(const QByteArray &content)
{
    UpgradeFile file;
    if (file.check(content) == UpgradeFile::Valid) {
        file.transferSize();
        file.version();
    }
}

QByteArray withFittingHeader(QByteArray content)
{
    if (content.size() < UpgradeFile::kHeaderSize)
        return content;
    const QByteArray body = content.mid(UpgradeFile::kHeaderSize);
    uchar *header = reinterpret_cast<uchar *>(content.data());
    qToLittleEndian<quint32>(quint32(body.size()), header + UpgradeFile::kBodyLengthOffset);
    qToLittleEndian<quint32>(UpgradeFile::crc32(body), header + UpgradeFile::kBodyCrcOffset);
    qToLittleEndian<quint32>(UpgradeFile::crc32(content.left(UpgradeFile::kHeaderCrcOffset)),
                             header + UpgradeFile::kHeaderCrcOffset);
    return content;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzing::silenceLogging();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content = fuzzing::bytesOf(data, size);
    checkAndCut(content);
    checkAndCut(withFittingHeader(content));
    return 0;
}
