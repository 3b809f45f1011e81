// Reply frames of the adapter, as any bytes the link may hand over: every
// decoder, then the slave record built from a slave info block the way the
// adapter builds it, and the records and images applied to it.

#include "FuzzSupport.h"

#include <RecordLayout.h>
#include <Slave.h>
#include <SlaveFactory.h>
#include <TBReplies.h>

#include <memory>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzing::silenceLogging();
    fuzzing::descriptionLibrary();
    return 0;
}

namespace {

void decodeEverything(const QByteArray &reply)
{
    TBReply::isRejected(reply);
    TBReply::isHandshakeReady(reply);
    TBReply::decodeIdentity(reply);
    TBReply::decodePower(reply);
    TBReply::decodeSettings(reply);
    TBReply::decodeBusStatus(reply).stations(true);
    TBReply::decodePendingIdentity(reply);
    TBReply::decodeProcessData(reply);
}

void applyToSlave(const QByteArray &reply)
{
    const TBReply::SlaveInfo info = TBReply::decodeSlaveInfo(reply);
    const TBReply::SlaveInfoBlock &block = info.block;
    std::unique_ptr<Slave> slave(SlaveFactory::createFrom(fuzzing::descriptionLibrary(), block.moduleKey(), block.station()));
    slave->setBasicInfo(block.name(), block.moduleBytes());
    slave->setAlignment(block.flags() & 0x80 ? 8 : 1);
    slave->onFaultByte(block.stateByte());
    slave->updateFromStatusRecord(block.raw);
    slave->setUuid(block.identity().toLatin1());
    slave->onStatusByte(TBReply::byteAt(reply, 1));

    // The data area read as the other records the adapter exchanges.
    const QByteArray data = block.raw;
    RecordLayout::decodeParameters(data, RecordLayout::kStatusParamOffset);
    slave->applyShortRecord(data.left(25));
    slave->applyEditedConfig(data.mid(25));
    const TBReply::ProcessData image = TBReply::decodeProcessData(reply);
    slave->onInputImage(image.station, image.status, image.stationStatus, image.inputImage);
    slave->ioLengths();
    slave->ioWindow();
    slave->configurationRecord();
    slave->toCsvLineWithUid();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray reply = fuzzing::bytesOf(data, size);
    decodeEverything(reply);
    applyToSlave(reply);
    return 0;
}
