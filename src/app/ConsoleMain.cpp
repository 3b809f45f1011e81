// Console front end: lists the adapters on USB, connects to the first one
// through the Adapter (in its own worker thread, as the main window will)
// and prints its identity, settings and the modules on its bus.

#include "Adapter.h"
#include "DeviceXmlLodaing.h"
#include "Slave.h"
#include "UsbGlobal.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTextStream>
#include <QThread>
#include <QTimer>

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QString errorText(adapter_message_type type, int err, COMM_STATUS_TYPE status)
{
    switch (type) {
    case MSG_NO_HANDSHAKE:
        return QStringLiteral("the adapter does not answer");
    case MSG_TRANSACTION_FAILED:
        return QStringLiteral("a transaction failed (result %1, status %2)").arg(err).arg(int(status));
    case MSG_NO_REPLY_DATA:
        return QStringLiteral("a transaction delivered no data (result %1)").arg(err);
    case MSG_USB_STATE:
        return err == -2 ? QStringLiteral("USB link lost") : QStringLiteral("USB link back");
    default:
        return QStringLiteral("report %1/%2").arg(int(type)).arg(err);
    }
}

QString area(int start, int bits)
{
    return bits == 0 ? QStringLiteral("-") : QStringLiteral("%1..%2").arg(start).arg(start + bits - 1);
}

void printBus(const AdapterState &state, const AdapterStatus &status, const SlaveList &slaves)
{
    for (const AdapterInfoItem &item : state.infoItems) {
        const QString value = item.kind == AdapterInfoItem::Text     ? item.text
                              : item.kind == AdapterInfoItem::Number ? QString::number(item.value)
                                                                     : item.options.value(item.value);
        out() << "  " << item.name.leftJustified(16) << value << Qt::endl;
    }
    out() << "  power " << status.power << QStringLiteral(" W, ") << status.temperature << QStringLiteral(" °C") << Qt::endl;
    out() << "  " << status.slaveCount << " modules:" << Qt::endl;
    out() << "  station  type          class           uid           inputs    outputs" << Qt::endl;
    for (const SlaveSnapshot &slave : slaves) {
        const Slave::IoWindow window = slave->ioWindow;
        const QString station = slave->stationId == 0 && !slave->recordCarriesStation ? QStringLiteral("unset")
                                                                                      : QString::number(slave->stationId);
        out() << "  " << station.rightJustified(7) << "  " << slave->typeName.leftJustified(12) << "  "
              << slave->moduleClass.leftJustified(14) << "  "
              << QString::fromLatin1(slave->uuid).leftJustified(12) << "  "
              << area(window.inputStart, window.inputBits).leftJustified(8) << "  "
              << area(window.outputStart, window.outputBits) << Qt::endl;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbus.*.debug=false"));
    DeviceXmlLodaing::instance()->onLoadXmlFile();

    const QList<UsbDeviceInfo> adapters = UsbGlobal::enumerateDevices();
    out() << "TarnBUS adapters found: " << adapters.size() << Qt::endl;
    for (const UsbDeviceInfo &info : adapters) {
        out() << "  " << info.serial_number << "  " << info.manufacturer << " / " << info.product
              << "  release 0x" << QString::number(info.release, 16) << Qt::endl;
    }
    if (adapters.isEmpty())
        return 0;

    const UsbDeviceInfo &chosen = adapters.first();
    out() << "Connecting to " << chosen.serial_number << " ..." << Qt::endl;
    QThread worker;
    auto *adapter = new Adapter;
    adapter->moveToThread(&worker);
    int exitCode = 0;
    AdapterState state;
    QObject::connect(adapter, &Adapter::sigAdapterState, &app, [&](const AdapterState &latest) { state = latest; });
    QObject::connect(adapter, &Adapter::sigSlaveLoadingFinished, &app,
                     [&](adapter_message_type type, AdapterStatus status, const SlaveList &slaves, int value) {
                         if (type == MSG_SCAN_PROGRESS)
                             out() << "  bus scan " << value << Qt::endl;
                         if (type != MSG_LOAD_FINISHED)
                             return;
                         printBus(state, status, slaves);
                         app.quit();
                     });
    QObject::connect(adapter, &Adapter::sigErrMessage, &app,
                     [&](adapter_message_type type, char err, int, COMM_STATUS_TYPE status, const SlaveList &, const SlaveList &) {
                         out() << "  " << errorText(type, err, status) << Qt::endl;
                         if (type == MSG_NO_HANDSHAKE || type == MSG_TRANSACTION_FAILED || type == MSG_NO_REPLY_DATA) {
                             exitCode = 1;
                             app.quit();
                         }
                     });
    worker.start();
    emit adapter->sigSetSerialPort(chosen.vendor_id, chosen.product_id, chosen.serial_number);
    app.exec();

    adapter->requestShutdown();
    emit adapter->sigClean();
    worker.wait();
    return exitCode;
}
