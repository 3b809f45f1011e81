// hidapi's C interface as the virtual adapters answer it: enumeration,
// opening, the two-report exchange, malformed requests, time-outs, and the
// checker of hidapi's thread-unsafe process-wide calls.

#include "SimTestSupport.h"

#include "HidLibrary.h"

#include <hidapi.h>

#include <atomic>
#include <thread>

using namespace simtest;

namespace {

constexpr char kTwoAdapters[] = R"({ "adapters": [
    { "serial": "SIMTEST00001", "scanReads": 0 },
    { "serial": "SIMTEST00002", "scanReads": 0, "manufacturer": "Tarn Test", "product": "Second", "release": 513 } ] })";

std::wstring wide(const char *text)
{
    return QString::fromLatin1(text).toStdWString();
}

hid_device *openRaw(const char *serial = kSerial)
{
    const std::wstring w = wide(serial);
    return hid_open(tbsim::kVendorId, tbsim::kProductId, w.c_str());
}

// The two output reports (report id included) that carry a frame.
QByteArray firstReport(const QByteArray &frame)
{
    return hex("00ec3e") + frame.left(62);
}

QByteArray secondReport(const QByteArray &frame)
{
    return (hex("00ee0a") + frame.mid(62, 10)).leftJustified(65, '\0');
}

int write(hid_device *dev, const QByteArray &report, int length = -1)
{
    return hid_write(dev, reinterpret_cast<const unsigned char *>(report.constData()),
                     size_t(length < 0 ? report.size() : length));
}

QByteArray read(hid_device *dev, int timeoutMs, size_t length = 65)
{
    unsigned char buffer[65] = {};
    const int n = hid_read_timeout(dev, buffer, length, timeoutMs);
    return n < 0 ? QByteArray("error") : QByteArray(reinterpret_cast<const char *>(buffer), n);
}

// The frame with its checksum made right again after a change.
QByteArray resealed(const QByteArray &frame)
{
    return TBProtocol::buildFrame(frame.left(70).leftJustified(72, '\0'));
}

bool anyViolationContains(const char *text)
{
    for (const std::string &v : tbsim::bus().violations()) {
        if (v.find(text) != std::string::npos)
            return true;
    }
    return false;
}

// Runs body on two threads at once, count times each.
template <typename Body>
void onTwoThreads(int count, Body body)
{
    std::atomic<int> ready{0};
    const auto run = [&] {
        ++ready;
        while (ready < 2) {
        }
        for (int i = 0; i < count; ++i)
            body();
    };
    std::thread a(run);
    std::thread b(run);
    a.join();
    b.join();
}

} // namespace

class SimHidTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useShortLinkTiming(); }
    void init()
    {
        tbsim::bus().reset();
        const std::string error = tbsim::bus().loadJson(kTwoAdapters);
        QVERIFY2(error.empty(), error.c_str());
    }
    void cleanup() { QVERIFY(tbsim::bus().violations().empty()); }

    void enumerationListsPluggedAdapters();
    void openingByIdentityAndPath();
    void deviceOpenElsewhere();
    void replyTravelsInTwoReports();
    void malformedRequest_data();
    void malformedRequest();
    void readTimeOuts();
    void handlesOfTwoAdaptersOnTwoThreads();
    void overlappingGlobalCallsAreCaught();
    void hidLibrarySerialisesGlobalCalls();
    void exitWithAnOpenHandleIsCaught();
    void useAfterCloseIsCaught();
    void closeUnderAWaitingReadIsCaught();
};

void SimHidTest::enumerationListsPluggedAdapters()
{
    hid_device_info *list = hid_enumerate(0x2E3C, 0xAF01);
    QVERIFY(list && list->next && !list->next->next);
    const hid_device_info *second = list->next;
    QCOMPARE(QString::fromWCharArray(list->serial_number), QString("SIMTEST00001"));
    QCOMPARE(QString::fromWCharArray(second->serial_number), QString("SIMTEST00002"));
    QCOMPARE(QString::fromWCharArray(second->manufacturer_string), QString("Tarn Test"));
    QCOMPARE(QString::fromWCharArray(second->product_string), QString("Second"));
    QCOMPARE(second->release_number, quint16(513));
    QCOMPARE(second->vendor_id, quint16(0x2E3C));
    QCOMPARE(second->product_id, quint16(0xAF01));
    QCOMPARE(second->bus_type, HID_API_BUS_USB);
    QVERIFY(std::string(list->path) != second->path);
    hid_free_enumeration(list);

    QVERIFY(!hid_enumerate(0x1234, 0xAF01));
    hid_device_info *any = hid_enumerate(0, 0);
    QVERIFY(any && any->next);
    hid_free_enumeration(any);

    tbsim::bus().adapter("SIMTEST00001").unplug();
    const QList<UsbDeviceInfo> devices = UsbGlobal::enumerateDevices();
    QCOMPARE(devices.size(), 1);
    QCOMPARE(devices.front().serial_number, QString("SIMTEST00002"));
}

void SimHidTest::openingByIdentityAndPath()
{
    hid_device *first = hid_open(0x2E3C, 0xAF01, nullptr);
    hid_device *second = openRaw("SIMTEST00002");
    QVERIFY(first && second);
    wchar_t text[32];
    QCOMPARE(hid_get_serial_number_string(first, text, 32), 0);
    QCOMPARE(QString::fromWCharArray(text), QString("SIMTEST00001"));
    QCOMPARE(hid_get_product_string(second, text, 32), 0);
    QCOMPARE(QString::fromWCharArray(text), QString("Second"));
    QCOMPARE(hid_get_manufacturer_string(second, text, 4), 0);
    QCOMPARE(QString::fromWCharArray(text), QString("Tar")); // cut to the buffer
    QCOMPARE(hid_get_indexed_string(second, 1, text, 32), -1);
    QCOMPARE(QString::fromWCharArray(hid_get_device_info(second)->serial_number), QString("SIMTEST00002"));

    hid_device *byPath = hid_open_path(hid_get_device_info(second)->path);
    QVERIFY(byPath);
    QCOMPARE(QString::fromWCharArray(hid_get_device_info(byPath)->serial_number), QString("SIMTEST00002"));

    QVERIFY(!openRaw("NOSUCHSERIAL"));
    QVERIFY(!QString::fromWCharArray(hid_error(nullptr)).isEmpty());
    QVERIFY(!hid_open(0x2E3C, 0x0001, nullptr));
    hid_close(first);
    hid_close(second);
    hid_close(byPath);
}

// A device another program holds is listed but cannot be opened; what this
// program had open before stays usable.
void SimHidTest::deviceOpenElsewhere()
{
    hid_device *before = openRaw("SIMTEST00002");
    QVERIFY(before);
    tbsim::bus().adapter("SIMTEST00002").setOpenElsewhere(true);
    QCOMPARE(UsbGlobal::enumerateDevices().size(), 2);
    QVERIFY(!openRaw("SIMTEST00002"));
    QCOMPARE(QString::fromWCharArray(hid_error(nullptr)), QString("Device or resource busy"));
    QVERIFY(!hid_open_path(hid_get_device_info(before)->path));
    QCOMPARE(write(before, hex("005ab0").leftJustified(65, '\0')), 65);
    QVERIFY(read(before, 1000).startsWith(hex("5ab0")));
    hid_close(before);
    tbsim::bus().adapter("SIMTEST00002").setOpenElsewhere(false);
    hid_device *after = openRaw("SIMTEST00002");
    QVERIFY(after);
    hid_close(after);

    // The same from the bus file.
    QCOMPARE(tbsim::bus().loadJson(R"({ "adapters": [ { "serial": "SIMTEST00003", "openElsewhere": true } ] })"),
             std::string());
    QCOMPARE(tbsim::bus().adapter("SIMTEST00003").config().openElsewhere, true);
    QVERIFY(!openRaw("SIMTEST00003"));
}

void SimHidTest::replyTravelsInTwoReports()
{
    hid_device *dev = openRaw();
    const QByteArray request = TBProtocol::readPower();
    QCOMPARE(write(dev, firstReport(request)), 65);
    QCOMPARE(write(dev, secondReport(request)), 65);

    const QByteArray first = read(dev, 100);
    const QByteArray second = read(dev, 100);
    QCOMPARE(first.size(), 64);
    QCOMPARE(second.size(), 64);
    QCOMPARE(first.left(2), hex("ec3e"));
    QCOMPARE(second.left(2), hex("ee0a"));
    QCOMPARE(second.mid(12), QByteArray(52, '\0'));
    const QByteArray reply = first.mid(2) + second.mid(2, 10);
    QCOMPARE(reply.left(6), hex("0101fe211824"));
    QVERIFY(TBProtocol::hasValidChecksum(reply));

    // A smaller buffer gets the start of the report.
    QCOMPARE(write(dev, firstReport(request)), 65);
    QCOMPARE(write(dev, secondReport(request)), 65);
    QCOMPARE(read(dev, 100, 10), first.left(10));
    hid_close(dev);
}

void SimHidTest::malformedRequest_data()
{
    QTest::addColumn<QByteArray>("first");  // empty: not sent
    QTest::addColumn<int>("firstLength");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<QString>("complaint");

    const QByteArray frame = TBProtocol::handshake();
    const QByteArray first = firstReport(frame);
    const QByteArray second = secondReport(frame);
    const auto with = [](QByteArray bytes, int at, char value) {
        bytes[at] = value;
        return bytes;
    };
    const auto sealedWith = [&](int at, char value) { return resealed(with(frame, at, value)); };
    QByteArray swapped = frame;
    swapped[70] = frame.at(71);
    swapped[71] = frame.at(70);

    QTest::newRow("report id") << with(first, 0, 0x01) << 65 << second << "report id 0x01";
    QTest::newRow("report too short") << first << 64 << second << "64 bytes";
    QTest::newRow("first marker") << with(first, 1, char(0xED)) << 65 << second << "marker 0xED";
    QTest::newRow("first length byte") << with(first, 2, 0x3D) << 65 << second << "first report length byte";
    QTest::newRow("second length byte") << first << 65 << with(second, 2, 0x0B) << "second report length byte";
    QTest::newRow("second padding") << first << 65 << with(second, 40, 0x01) << "padding byte 39";
    QTest::newRow("frame marker") << firstReport(sealedWith(0, 0x02)) << 65 << secondReport(sealedWith(0, 0x02)) << "frame marker";
    QTest::newRow("request status byte") << firstReport(sealedWith(1, 0x01)) << 65 << secondReport(sealedWith(1, 0x01)) << "status byte";
    QTest::newRow("address byte") << firstReport(sealedWith(2, char(0xFF))) << 65 << secondReport(sealedWith(2, char(0xFF))) << "address byte";
    QTest::newRow("checksum byte order") << firstReport(swapped) << 65 << secondReport(swapped) << "checksum";
    QTest::newRow("second report alone") << QByteArray() << 65 << second << "without a first";
}

void SimHidTest::malformedRequest()
{
    QFETCH(QByteArray, first);
    QFETCH(int, firstLength);
    QFETCH(QByteArray, second);
    QFETCH(QString, complaint);

    hid_device *dev = openRaw();
    if (!first.isEmpty())
        QCOMPARE(write(dev, first, firstLength), firstLength);
    QCOMPARE(write(dev, second), 65);

    QCOMPARE(read(dev, 20), QByteArray()); // nothing is answered
    QCOMPARE(adapter().traffic().size(), size_t(0));
    const std::vector<std::string> violations = tbsim::bus().violations();
    QVERIFY(!violations.empty());
    QVERIFY2(QString::fromStdString(violations.front()).contains(complaint), violations.front().c_str());
    QVERIFY(QString::fromStdString(violations.front()).startsWith(kSerial));
    tbsim::bus().clearViolations();

    // The adapter still answers the next well-formed request.
    QCOMPARE(write(dev, firstReport(TBProtocol::handshake())), 65);
    QCOMPARE(write(dev, secondReport(TBProtocol::handshake())), 65);
    QCOMPARE(read(dev, 100).size(), 64);
    hid_close(dev);
}

void SimHidTest::readTimeOuts()
{
    hid_device *dev = openRaw();
    unsigned char buffer[64];
    QCOMPARE(hid_read_timeout(dev, buffer, sizeof buffer, 0), 0);
    QCOMPARE(hid_read_timeout(dev, buffer, sizeof buffer, 10), 0);
    QCOMPARE(hid_set_nonblocking(dev, 1), 0);
    QCOMPARE(hid_read(dev, buffer, sizeof buffer), 0);
    QCOMPARE(hid_get_feature_report(dev, buffer, sizeof buffer), -1);
    QVERIFY(QString::fromWCharArray(hid_error(dev)) != QLatin1String("Success"));
    hid_close(dev);
}

void SimHidTest::handlesOfTwoAdaptersOnTwoThreads()
{
    constexpr int kExchanges = 20;
    const auto talk = [](const char *serial, int *ok) {
        Link link{QString::fromLatin1(serial)};
        for (int i = 0; i < kExchanges; ++i)
            *ok += link.send(TBProtocol::readSlaveInfo(quint8(i))) == COMM_OK ? 1 : 0;
    };
    int okFirst = 0;
    int okSecond = 0;
    std::thread a(talk, "SIMTEST00001", &okFirst);
    std::thread b(talk, "SIMTEST00002", &okSecond);
    a.join();
    b.join();
    QCOMPARE(okFirst, kExchanges);
    QCOMPARE(okSecond, kExchanges);
    QCOMPARE(tbsim::bus().adapter("SIMTEST00001").requestCount(0x25), kExchanges);
    QCOMPARE(tbsim::bus().adapter("SIMTEST00002").requestCount(0x25, -1, 0x02), kExchanges);
}

void SimHidTest::overlappingGlobalCallsAreCaught()
{
    onTwoThreads(20, [] { hid_free_enumeration(hid_enumerate(0x2E3C, 0xAF01)); });
    QVERIFY(anyViolationContains("called while hid_enumerate ran on another thread"));
    tbsim::bus().clearViolations();
}

void SimHidTest::hidLibrarySerialisesGlobalCalls()
{
    onTwoThreads(20, [] {
        tarnbus::hid::enumerate(0x2E3C, 0xAF01);
        tarnbus::hid::close(tarnbus::hid::open(0x2E3C, 0xAF01, QStringLiteral("SIMTEST00002")));
    });
    QCOMPARE(tbsim::bus().violations(), std::vector<std::string>());
}

void SimHidTest::exitWithAnOpenHandleIsCaught()
{
    hid_device *dev = openRaw();
    hid_exit();
    QVERIFY(anyViolationContains("hid_exit called while 1 device handle(s) are open"));
    tbsim::bus().clearViolations();
    hid_close(dev);
    hid_exit();
    QVERIFY(tbsim::bus().violations().empty());
    QCOMPARE(hid_init(), 0);
}

void SimHidTest::useAfterCloseIsCaught()
{
    hid_device *dev = openRaw();
    hid_close(dev);
    QCOMPARE(write(dev, firstReport(TBProtocol::handshake())), -1);
    QVERIFY(anyViolationContains("hid_write on a handle that is not open"));
    tbsim::bus().clearViolations();
}

void SimHidTest::closeUnderAWaitingReadIsCaught()
{
    hid_device *dev = openRaw();
    std::atomic<bool> reading{false};
    int result = 0;
    std::thread reader([dev, &reading, &result] {
        unsigned char buffer[64];
        reading = true;
        result = hid_read_timeout(dev, buffer, sizeof buffer, 10000);
    });
    QTRY_VERIFY(reading.load());
    QTest::qWait(50); // into the wait
    hid_close(dev);
    reader.join();
    QCOMPARE(result, -1);
    // Should the close have come first after all, the read is the one caught.
    QVERIFY(anyViolationContains("hid_close called while hid_read_timeout waited on the same handle")
            || anyViolationContains("hid_read_timeout on a handle that is not open"));
    tbsim::bus().clearViolations();
    QCOMPARE(tbsim::bus().openHandleCount(), 0);
}

QTEST_GUILESS_MAIN(SimHidTest)
#include "tst_sim_hid.moc"
