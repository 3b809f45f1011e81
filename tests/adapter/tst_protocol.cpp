#include "TBProtocol.h"
#include "TBReplies.h"
#include "UsbGlobal.h"

#include <QtTest>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// A reply frame with the given bytes at the given offsets, checksummed.
QByteArray replyWith(quint8 code, const QList<QPair<int, QByteArray>> &fields)
{
    QByteArray frame = TBProtocol::header(code, 0, 0);
    for (const auto &field : fields)
        frame.replace(field.first, field.second.size(), field.second);
    return TBProtocol::buildFrame(frame);
}

} // namespace

class TestProtocol : public QObject
{
    Q_OBJECT

private slots:
    void crcCheckValueIsByteSwapped()
    {
        const QByteArray digits("123456789");
        const auto *data = reinterpret_cast<const quint8 *>(digits.constData());
        // CRC-16/MODBUS check value 0x4B37, returned with its bytes swapped.
        QCOMPARE(UsbGlobal::crc16(data, 9, 0), quint16(0x374B));
        QCOMPARE(UsbGlobal::crc16(data, 0, 3), quint16(0xFFFF));
        // start and length select a window of the buffer
        const QByteArray padded = QByteArray("xx") + digits;
        QCOMPARE(UsbGlobal::crc16(reinterpret_cast<const quint8 *>(padded.constData()), 9, 2), quint16(0x374B));
    }

    void checksumHighByteFirstOnTheWire()
    {
        const QByteArray frame = TBProtocol::readIdentity();
        QCOMPARE(frame.size(), 72);
        QCOMPARE(frame.left(6), bytes({0x01, 0x00, 0xFE, 0x20, 0x00, 0x00}));
        QCOMPARE(frame.mid(6, 64), QByteArray(64, '\0'));
        // CRC of those 70 bytes is 0xDE25; the high byte goes first.
        QCOMPARE(quint8(frame.at(70)), quint8(0xDE));
        QCOMPARE(quint8(frame.at(71)), quint8(0x25));
        QVERIFY(TBProtocol::hasValidChecksum(frame));

        QByteArray swapped = frame;
        swapped[70] = frame.at(71);
        swapped[71] = frame.at(70);
        QVERIFY(!TBProtocol::hasValidChecksum(swapped));
        QVERIFY(!TBProtocol::hasValidChecksum(frame.left(71)));
    }

    void dataIsLittleEndian()
    {
        const QByteArray frame = TBProtocol::buildFrame(TBProtocol::header(0x46, 1, 0), bytes({0x34, 0x12}));
        QCOMPARE(quint8(frame.at(6)), quint8(0x34));
        QCOMPARE(quint8(frame.at(7)), quint8(0x12));
        QCOMPARE(frame.mid(8, 62), QByteArray(62, '\0'));
    }

    void builders_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("data");

        const QByteArray record = QByteArray("ABCDEFGHIJKL") + bytes({3, 4, 0x08, 0x04});
        const QByteArray image(64, char(0xFF));
        QTest::newRow("identity") << TBProtocol::readIdentity() << bytes({0x20, 0, 0}) << QByteArray();
        QTest::newRow("power") << TBProtocol::readPower() << bytes({0x21, 0, 0}) << QByteArray();
        QTest::newRow("settings") << TBProtocol::readSettings() << bytes({0x22, 0, 0}) << QByteArray();
        QTest::newRow("leave force") << TBProtocol::leaveForceMode() << bytes({0x23, 0, 0}) << QByteArray();
        QTest::newRow("bus status") << TBProtocol::readBusStatus() << bytes({0x25, 0, 0x80}) << QByteArray();
        QTest::newRow("slave info 5") << TBProtocol::readSlaveInfo(5) << bytes({0x25, 5, 0x02}) << QByteArray();
        QTest::newRow("pending report") << TBProtocol::readPendingIdentity() << bytes({0x27, 0x06, 0}) << QByteArray();
        QTest::newRow("lamp") << TBProtocol::setSlaveLamp("UID") << bytes({0x27, 0x10, 0}) << QByteArray("UID");
        QTest::newRow("settings with threshold") << TBProtocol::writeSettings(0x0B, 1000, true)
                                                 << bytes({0x42, 0x0B, 0}) << bytes({0xE8, 0x03, 0xA5, 0x5A});
        QTest::newRow("settings keep threshold") << TBProtocol::writeSettings(0x0B, 1000, false)
                                                 << bytes({0x42, 0x0B, 0}) << bytes({0xE8, 0x03});
        QTest::newRow("apply settings") << TBProtocol::applySettings() << bytes({0x42, 0xAA, 0x55}) << QByteArray();
        QTest::newRow("store") << TBProtocol::storeConfiguration() << bytes({0x46, 0x34, 0x12}) << QByteArray();
        QTest::newRow("slave config") << TBProtocol::writeSlaveConfig(record) << bytes({0x46, 0x01, 0}) << record;
        QTest::newRow("download") << TBProtocol::downloadConfiguration(record) << bytes({0x46, 0, 0x02}) << record;
        QTest::newRow("request report") << TBProtocol::requestPendingIdentity() << bytes({0x47, 0xAA, 0x55}) << QByteArray();
        QTest::newRow("assignment") << TBProtocol::writeAddressAssignment(record) << bytes({0x47, 0, 0x02}) << record;
        QTest::newRow("handshake") << TBProtocol::handshake() << bytes({0x48, 0, 0xEC}) << QByteArray();
        QTest::newRow("force on") << TBProtocol::enterForceMode() << bytes({0x48, 0x05, 0}) << QByteArray();
        QTest::newRow("process data") << TBProtocol::exchangeProcessData(image) << bytes({0x49, 0xFE, 0}) << image;
    }

    void builders()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, data);
        QCOMPARE(frame.size(), 72);
        QCOMPARE(frame.left(3), bytes({0x01, 0x00, 0xFE}));
        QCOMPARE(frame.mid(3, 3), head);
        QByteArray expectedData = data;
        expectedData.append(QByteArray(64 - data.size(), '\0'));
        QCOMPARE(frame.mid(6, 64), expectedData);
        QVERIFY(TBProtocol::hasValidChecksum(frame));
    }

    void handshakeFrameMatchesTheWire()
    {
        const QByteArray frame = TBProtocol::handshake();
        QCOMPARE(frame.left(6), bytes({0x01, 0x00, 0xFE, 0x48, 0x00, 0xEC}));
        QCOMPARE(quint8(frame.at(70)), quint8(0x6A));
        QCOMPARE(quint8(frame.at(71)), quint8(0x15));
    }

    void identityReply()
    {
        QByteArray name("TBC-U100-H");
        const QByteArray reply = replyWith(0x20, {{6, name},
                                                  {54, bytes({0x0A, 0x3F})},
                                                  {57, bytes({1, 0, 12})},
                                                  {61, bytes({2, 10, 255})}});
        const TBReply::Identity id = TBReply::decodeIdentity(reply);
        QCOMPARE(id.name, QStringLiteral("TBC-U100-H"));
        QVERIFY(id.hVariant);
        QCOMPARE(id.hwVersion, QStringLiteral("KX42B.0A3F"));
        QCOMPARE(id.bootVersion, QStringLiteral("T1.0.12"));
        QCOMPARE(id.appVersion, QStringLiteral("V2.10.255"));
        QCOMPARE(id.appVersionNumber, quint32(0x020AFF));

        // A name filling all 32 bytes has no terminator.
        const QByteArray full = replyWith(0x20, {{6, QByteArray(32, 'N')}, {38, QByteArray(16, 'X')}});
        QCOMPARE(TBReply::decodeIdentity(full).name, QString(32, 'N'));
        QVERIFY(!TBReply::decodeIdentity(full).hVariant);
    }

    void powerAndSettingsReplies()
    {
        const TBReply::Power power = TBReply::decodePower(replyWith(0x21, {{4, bytes({200, 85})}}));
        QCOMPARE(power.watts, 200);
        QCOMPARE(power.celsius, 85);

        const TBReply::Settings settings = TBReply::decodeSettings(replyWith(0x22, {{4, bytes({0x0A})}, {6, bytes({0xB7, 0x0B})}}));
        QCOMPARE(settings.threshold, quint16(2999));
        QCOMPARE(settings.diFilter(), 0);
        QCOMPARE(settings.slaveAutoReset(), 1);
        QCOMPARE(settings.holdOutputsOnError(), 0);
        QCOMPARE(settings.freeStationAllocation(), 1);
    }

    void busStatusStations_data()
    {
        QTest::addColumn<QByteArray>("map");
        QTest::addColumn<int>("local");
        QTest::addColumn<QList<int>>("stations");
        QTest::newRow("1 and 16") << bytes({0x01, 0x80}) << 0 << QList<int>{1, 16};
        QTest::newRow("local, 1, 2, 9") << bytes({0x03, 0x01}) << 1 << QList<int>{0, 1, 2, 9};
        QTest::newRow("128 only") << (QByteArray(15, '\0') + bytes({0x80})) << 0 << QList<int>{128};
        QTest::newRow("empty bus") << QByteArray() << 0 << QList<int>{};
    }

    void busStatusStations()
    {
        QFETCH(QByteArray, map);
        QFETCH(int, local);
        QFETCH(QList<int>, stations);
        const QByteArray reply = replyWith(0x25, {{7, map}, {23, bytes({local})}});
        const TBReply::BusStatus bus = TBReply::decodeBusStatus(reply);
        QCOMPARE(bus.localPresent, local != 0);
        QCOMPARE(bus.stations(bus.localPresent), stations);
    }

    void busStatusScanAndFlags()
    {
        QByteArray reply = replyWith(0x25, {{1, bytes({0x37})}, {4, bytes({0x34, 0xF2})}, {6, bytes({5})}, {24, bytes({9})}});
        const TBReply::BusStatus bus = TBReply::decodeBusStatus(reply);
        QVERIFY(bus.scanning);
        QCOMPARE(bus.progress, 0x234); // only the low nibble of offset 5 counts
        QCOMPARE(bus.slaveCount, 5);
        QCOMPARE(bus.configWriteFlag, quint8(9));
        QCOMPARE(bus.status, quint8(0x37));

        // A reply of 23 bytes cannot carry the local module.
        reply = reply.left(23);
        QVERIFY(!TBReply::decodeBusStatus(reply).localPresent);
    }

    void slaveInfoBlock()
    {
        QByteArray block(64, '\0');
        block[0] = 0x01;
        block[1] = 7;
        block[7] = 0x24;
        block[8] = 0x02;
        block[9] = 0x11;
        block[10] = 0x0A;
        block[11] = 0x01;
        block.replace(32, 12, "DA01B2C3D4E5");
        block.replace(44, 9, "TB-DI16-P");
        const QByteArray reply = replyWith(0x25, {{4, bytes({7})}, {6, block}});
        const TBReply::SlaveInfo info = TBReply::decodeSlaveInfo(reply);
        QCOMPARE(info.station, quint8(7));
        QVERIFY(info.block.isValid());
        QCOMPARE(info.block.station(), quint8(7));
        QCOMPARE(info.block.stateByte(), quint8(0x24));
        QCOMPARE(info.block.typeCode(), quint16(0x1102));
        QCOMPARE(info.block.moduleKey(), QStringLiteral("#00001102"));
        QCOMPARE(info.block.moduleBytes(), bytes({0x0A, 0x01}));
        QCOMPARE(info.block.identity(), QStringLiteral("DA01B2C3D4E5"));
        QCOMPARE(info.block.name(), QStringLiteral("TB-DI16-P"));
        QCOMPARE(info.block.raw, block);
    }

    void moduleKeyPadsWithBlanks()
    {
        // "#0000%4X": codes below 0x1000 are padded with blanks, not zeros.
        QCOMPARE(TBReply::moduleKey(0x21), QStringLiteral("#0000  21"));
        QCOMPARE(TBReply::moduleKey(0xABCD), QStringLiteral("#0000ABCD"));
    }

    void pendingIdentityReport()
    {
        QByteArray block(64, '\0');
        block[0] = 0x11;
        block[1] = 12;
        block.replace(32, 12, "DA01B2C3D4E9");
        const TBReply::PendingIdentity report = TBReply::decodePendingIdentity(replyWith(0x27, {{4, bytes({12})}, {6, block}}));
        QCOMPARE(report.identity, QStringLiteral("DA01B2C3D4E9"));
        QCOMPARE(report.station, quint8(12));
        QCOMPARE(report.block.station(), quint8(12));

        const TBReply::PendingIdentity none = TBReply::decodePendingIdentity(replyWith(0x27, {}));
        QVERIFY(none.identity.isEmpty());
        QVERIFY(none.block.isEmpty());
    }

    void processDataReply()
    {
        QByteArray image(64, '\0');
        image[0] = char(0xA5);
        image[63] = 0x01;
        const QByteArray reply = replyWith(0x49, {{1, bytes({0x01, 9})}, {4, bytes({0x01, 0x08})}, {6, image}});
        const TBReply::ProcessData data = TBReply::decodeProcessData(reply);
        QCOMPARE(data.station, quint8(9));
        QCOMPARE(data.stationStatus, bytes({0x01, 0x08}));
        QCOMPARE(data.inputImage.size(), 66);
        QCOMPARE(data.inputImage.left(64), image);
    }

    // The refusal mark is the link's to judge (tst_transaction).
    void handshake()
    {
        QVERIFY(TBReply::isHandshakeReady(replyWith(0x48, {})));
        QVERIFY(!TBReply::isHandshakeReady(replyWith(0x08, {})));
        QVERIFY(!TBReply::isHandshakeReady(QByteArray()));
    }

    void shortRepliesReadAsZero()
    {
        const QByteArray shortReply = bytes({0x01, 0x21, 0xFE, 0x25, 3});
        const TBReply::BusStatus bus = TBReply::decodeBusStatus(shortReply);
        QVERIFY(bus.scanning);
        QCOMPARE(bus.progress, 3);
        QVERIFY(bus.stations(false).isEmpty());
        QCOMPARE(TBReply::decodeSlaveInfo(shortReply).block.raw, QByteArray(64, '\0'));
        QCOMPARE(TBReply::decodeIdentity(QByteArray()).appVersion, QStringLiteral("V0.0.0"));
    }
};

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
