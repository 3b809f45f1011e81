// The reply decoders on replies of the virtual adapter: what the adapter
// holds is what the decoders read.

#include "LinkTiming.h"
#include "TBProtocol.h"
#include "TBReplies.h"
#include "UsbDevice.h"
#include "UsbGlobal.h"
#include "VirtualBus.h"

#include <QtTest>

namespace {
const QString kSerial = QStringLiteral("3C2E0A000001");
}

class TestReplies : public QObject
{
    Q_OBJECT

    UsbDevice *m_device = nullptr;
    tbsim::AdapterConfig m_config;

    QByteArray ask(const QByteArray &request)
    {
        QByteArray reply;
        const COMM_STATUS_TYPE result = m_device->transact(request, reply, 500);
        if (result != COMM_OK)
            qWarning("transaction failed: %d", int(result));
        return reply;
    }

private slots:
    void initTestCase()
    {
        tarnbus::LinkTiming timing;
        timing.beforeRequestMs = timing.betweenRequestReportsMs = timing.beforeReplyMs = timing.betweenReplyReportsMs = 0;
        tarnbus::setLinkTiming(timing);
        tbsim::bus().reset();
        QCOMPARE(QString::fromStdString(tbsim::bus().loadFile("sim/buses/demo.json")), QString());
        m_config = tbsim::bus().adapter(kSerial.toStdString()).config();
        tbsim::bus().adapter(kSerial.toStdString()).setScanReads(0);
        m_device = new UsbDevice;
        QCOMPARE(m_device->openDevice(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial), 0);
    }

    void cleanupTestCase()
    {
        delete m_device;
        QVERIFY(tbsim::bus().violations().empty());
        tbsim::bus().reset();
    }

    void handshake()
    {
        QVERIFY(TBReply::isHandshakeReady(ask(TBProtocol::handshake())));
    }

    void identityPowerSettings()
    {
        const TBReply::Identity id = TBReply::decodeIdentity(ask(TBProtocol::readIdentity()));
        QCOMPARE(id.name, QString::fromStdString(m_config.name));
        QCOMPARE(id.hwVersion, QString::asprintf("KX42B.%02X%02X", m_config.hardware[0], m_config.hardware[1]));
        QCOMPARE(id.bootVersion, QStringLiteral("T%1.%2.%3").arg(m_config.boot[0]).arg(m_config.boot[1]).arg(m_config.boot[2]));
        QCOMPARE(id.appVersion, QStringLiteral("V%1.%2.%3").arg(m_config.app[0]).arg(m_config.app[1]).arg(m_config.app[2]));

        const TBReply::Power power = TBReply::decodePower(ask(TBProtocol::readPower()));
        QCOMPARE(power.watts, int(m_config.power));
        QCOMPARE(power.celsius, int(m_config.temperature));

        const TBReply::Settings settings = TBReply::decodeSettings(ask(TBProtocol::readSettings()));
        QCOMPARE(settings.settingsByte, m_config.settings);
        QCOMPARE(settings.threshold, m_config.threshold);
    }

    void busStatusAndEveryStation()
    {
        // Wait for the power-up scan to end.
        TBReply::BusStatus bus;
        for (int i = 0; i < 10; ++i) {
            bus = TBReply::decodeBusStatus(ask(TBProtocol::readBusStatus()));
            if (!bus.scanning)
                break;
        }
        QVERIFY(!bus.scanning);
        QVERIFY(bus.localPresent);

        QList<int> expected;
        for (const tbsim::Module &m : m_config.modules) {
            if (m.station > 0 && !expected.contains(m.station))
                expected << m.station;
        }
        std::sort(expected.begin(), expected.end());
        QCOMPARE(bus.stations(false), expected);
        QCOMPARE(bus.slaveCount, expected.size());

        for (int station : bus.stations(true)) {
            const TBReply::SlaveInfo info = TBReply::decodeSlaveInfo(ask(TBProtocol::readSlaveInfo(quint8(station))));
            QCOMPARE(int(info.station), station);
            QVERIFY(info.block.isValid());
            const auto module = tbsim::bus().adapter(kSerial.toStdString()).module(info.block.identity().toStdString());
            QVERIFY2(module.has_value(), qPrintable(info.block.identity()));
            QCOMPARE(int(info.block.station()), module->station);
            QCOMPARE(info.block.typeCode(), module->typeCode);
            QCOMPARE(info.block.moduleKey(), QString::asprintf("#0000%4X", module->typeCode));
            QCOMPARE(info.block.name(), QString::fromStdString(module->name));
        }
    }

    void pendingIdentityReports()
    {
        QVERIFY(!ask(TBProtocol::requestPendingIdentity()).isEmpty());
        QStringList reported;
        for (int i = 0; i < 10; ++i) {
            const TBReply::PendingIdentity report = TBReply::decodePendingIdentity(ask(TBProtocol::readPendingIdentity()));
            if (report.identity.isEmpty())
                break;
            QCOMPARE(report.identity, report.block.identity());
            QVERIFY(report.block.flags() & 0x10);
            reported << report.identity;
        }
        // The module without station and the second module at station 4.
        QCOMPARE(reported, (QStringList{"DA01B2C3D40D", "DA01B2C3D40E"}));
    }

    void processData()
    {
        QVERIFY(!ask(TBProtocol::enterForceMode()).isEmpty());
        const TBReply::ProcessData data = TBReply::decodeProcessData(ask(TBProtocol::exchangeProcessData(QByteArray(64, '\0'))));
        const auto module = std::find_if(m_config.modules.cbegin(), m_config.modules.cend(),
                                         [&](const tbsim::Module &m) { return m.station == data.station; });
        QVERIFY(module != m_config.modules.cend());
        QCOMPARE(data.inputImage.size(), 66);
        QCOMPARE(data.stationStatus.size(), 2);
        QVERIFY(!ask(TBProtocol::leaveForceMode()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestReplies)
#include "tst_replies.moc"
