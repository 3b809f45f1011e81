// Console front end: lists the adapters on USB and reads the first one's
// identity, settings, power and station list.

#include "LinkTiming.h"
#include "TBProtocol.h"
#include "TBReplies.h"
#include "UsbDevice.h"
#include "UsbGlobal.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

bool ask(UsbDevice &device, const QByteArray &request, QByteArray &reply, int timeoutMs)
{
    reply.clear();
    const COMM_STATUS_TYPE result = device.transact(request, reply, timeoutMs);
    if (result != COMM_OK) {
        out() << "  command 0x" << QString::number(quint8(request.at(3)), 16).toUpper()
              << " failed with result " << int(result) << Qt::endl;
        return false;
    }
    return true;
}

int readAdapter(const UsbDeviceInfo &info)
{
    const tarnbus::LinkTiming &timing = tarnbus::linkTiming();
    UsbDevice device;
    if (device.openDevice(info.vendor_id, info.product_id, info.serial_number) != 0) {
        out() << "The HID library cannot be initialised." << Qt::endl;
        return 1;
    }
    out() << "Adapter " << info.serial_number << ":" << Qt::endl;
    QByteArray reply;
    if (!ask(device, TBProtocol::handshake(), reply, timing.connectTimeoutMs))
        return 1;
    if (!TBReply::isHandshakeReady(reply)) {
        out() << "  the adapter is not ready" << Qt::endl;
        return 1;
    }
    if (ask(device, TBProtocol::readIdentity(), reply, timing.replyTimeoutMs)) {
        const TBReply::Identity id = TBReply::decodeIdentity(reply);
        out() << "  TBName      " << id.name << Qt::endl
              << "  HWVersion   " << id.hwVersion << Qt::endl
              << "  BootVersion " << id.bootVersion << Qt::endl
              << "  APPVersion  " << id.appVersion << Qt::endl;
    }
    if (ask(device, TBProtocol::readSettings(), reply, timing.replyTimeoutMs)) {
        const TBReply::Settings settings = TBReply::decodeSettings(reply);
        out() << "  settings    0x" << QString::number(settings.settingsByte, 16).toUpper()
              << ", threshold " << settings.threshold << Qt::endl;
    }
    if (ask(device, TBProtocol::readPower(), reply, timing.connectTimeoutMs)) {
        const TBReply::Power power = TBReply::decodePower(reply);
        out() << "  power       " << power.watts << " W, " << power.celsius << " °C" << Qt::endl;
    }
    TBReply::BusStatus bus;
    do {
        if (!ask(device, TBProtocol::readBusStatus(), reply, timing.replyTimeoutMs))
            return 1;
        bus = TBReply::decodeBusStatus(reply);
        if (bus.scanning)
            out() << "  bus scan    " << bus.progress << Qt::endl;
    } while (bus.scanning);
    for (int station : bus.stations(bus.localPresent)) {
        if (!ask(device, TBProtocol::readSlaveInfo(quint8(station)), reply, timing.replyTimeoutMs))
            continue;
        const TBReply::SlaveInfoBlock block = TBReply::decodeSlaveInfo(reply).block;
        if (!block.isValid())
            continue;
        out() << "  station " << QString::number(station).rightJustified(3) << "  " << block.moduleKey()
              << "  " << block.identity() << "  " << block.name() << Qt::endl;
    }
    device.closeDevice();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QList<UsbDeviceInfo> adapters = UsbGlobal::enumerateDevices();
    out() << "TarnBUS adapters found: " << adapters.size() << Qt::endl;
    for (const UsbDeviceInfo &info : adapters) {
        out() << "  " << info.serial_number << "  " << info.manufacturer << " / " << info.product
              << "  release 0x" << QString::number(info.release, 16) << Qt::endl;
    }
    if (adapters.isEmpty())
        return 0;
    return readAdapter(adapters.first());
}
