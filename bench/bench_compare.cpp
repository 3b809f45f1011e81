// Comparing a configuration file with a loaded bus of 128 modules: an
// Adapter in its own thread loads the virtual adapter of
// sim/buses/full128.json (the protocol's waits shortened, the load is not
// what is measured), its configuration is exported with UIDs and changed in
// some lines (areas moved, parameters changed, a module left out), and then the
// comparison the window and tarnbus-cli diff make is timed: reading and
// checking the file, reading its lines as the import would, taking the bus
// snapshot apart and matching and comparing every module. Goal: at most 20
// ms for the whole. Run from the repository root; takes a few seconds.

#include "Adapter.h"
#include "AdapterTypes.h"
#include "ConfigCompare.h"
#include "ConfigCsv.h"
#include "DeviceXmlLodaing.h"
#include "LinkTiming.h"
#include "UsbGlobal.h"
#include "VirtualBus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <vector>

using namespace appcore;

namespace {

const char *kBusFile = "sim/buses/full128.json";
const QString kSerial = QStringLiteral("3C2E0A000128");
constexpr int kLoadLimitMs = 60000;
constexpr int kRuns = 51;
constexpr double kGoalMs = 20.0;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Every 8th module with inputs gets its input area moved one bit and
// another filter level; one module is left out.
QStringList changed(const QStringList &lines)
{
    QStringList out;
    int withInputs = 0;
    for (int i = 0; i < lines.size(); ++i) {
        QStringList fields = lines.at(i).trimmed().split(QLatin1Char(','));
        if (i == 40)
            continue;
        if (fields.value(4).toInt() > 0 && withInputs++ % 8 == 0) {
            fields[3] = QString::number(fields.at(3).toInt() + 1);
            fields[7] = QString::number((fields.at(7).toInt() + 1) % 4);
        }
        out << fields.join(QLatin1Char(','));
    }
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbus.*.debug=false"));
    QTextStream out(stdout);

    tbsim::bus().reset();
    const std::string error = tbsim::bus().loadFile(kBusFile);
    if (!error.empty()) {
        out << "cannot load " << kBusFile << ": " << QString::fromStdString(error) << Qt::endl;
        return 1;
    }
    tarnbus::setLinkTiming(tarnbus::LinkTiming::forVirtualAdapter());
    DeviceXmlLodaing::instance()->onLoadXmlFile();

    Adapter::registerMetaTypes();
    QThread worker;
    auto *adapter = new Adapter;
    adapter->moveToThread(&worker);
    worker.start();
    adapter->setManagerOperation(true); // no poll meanwhile

    SlaveList bus;
    QStringList lines;
    QEventLoop loop;
    QObject::connect(adapter, &Adapter::sigSlaveLoadingFinished, &loop,
                     [&](adapter_message_type type, AdapterStatus, SlaveList slaves) {
                         if (type != MSG_LOAD_FINISHED)
                             return;
                         bus = slaves;
                         adapter->requestCsvLines(true);
                     });
    QObject::connect(adapter, &Adapter::sigCsvLines, &loop, [&](QStringList csv) {
        lines = csv;
        loop.quit();
    });
    QTimer::singleShot(kLoadLimitMs, &loop, &QEventLoop::quit);
    emit adapter->sigSetSerialPort(UsbGlobal::kVendorId, UsbGlobal::kProductId, kSerial);
    loop.exec();
    adapter->requestShutdown();
    emit adapter->sigClean();
    worker.wait();
    if (bus.size() != 128 || lines.size() != 128) {
        out << "the bus did not load: " << bus.size() << " modules, " << lines.size() << " lines" << Qt::endl;
        return 1;
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.csv"));
    if (ConfigCsv::writeFile(path, ConfigCsv::Form::WithUid, changed(lines))) {
        out << "cannot write " << path << Qt::endl;
        return 1;
    }

    std::vector<double> readMs, fileSideMs, busSideMs, compareMs, totalMs;
    Compare::Result result;
    QElapsedTimer clock;
    for (int run = 0; run < kRuns; ++run) {
        clock.start();
        const ConfigCsv::ParsedFile file = ConfigCsv::readFile(path, ConfigCsv::librarySizes());
        const qint64 read = clock.nsecsElapsed();
        const Compare::Side configured = Compare::sideOf(file);
        const qint64 fileSide = clock.nsecsElapsed();
        const Compare::Side onBus = Compare::sideOf(bus);
        const qint64 busSide = clock.nsecsElapsed();
        result = Compare::compare(configured, onBus);
        const qint64 done = clock.nsecsElapsed();
        readMs.push_back(double(read) / 1e6);
        fileSideMs.push_back(double(fileSide - read) / 1e6);
        busSideMs.push_back(double(busSide - fileSide) / 1e6);
        compareMs.push_back(double(done - busSide) / 1e6);
        totalMs.push_back(double(done) / 1e6);
    }

    const double total = median(totalMs);
    const double worst = *std::max_element(totalMs.begin(), totalMs.end());
    out << "modules:              " << bus.size() << " on the bus, " << result.configuration.modules.size() << " in the file"
        << Qt::endl
        << "rows:                 " << result.count(Compare::Kind::Same) << " same, " << result.count(Compare::Kind::Differs)
        << " differ, " << result.count(Compare::Kind::Extra) << " extra, " << result.count(Compare::Kind::Missing)
        << " missing (median of " << kRuns << " runs)" << Qt::endl
        << "read and check file:  " << QString::number(median(readMs), 'f', 2) << " ms" << Qt::endl
        << "file lines as import: " << QString::number(median(fileSideMs), 'f', 2) << " ms" << Qt::endl
        << "bus snapshot:         " << QString::number(median(busSideMs), 'f', 2) << " ms" << Qt::endl
        << "match and compare:    " << QString::number(median(compareMs), 'f', 2) << " ms" << Qt::endl
        << "whole comparison:     " << QString::number(total, 'f', 2) << " ms, slowest run "
        << QString::number(worst, 'f', 2) << " ms (goal: at most " << kGoalMs << " ms) "
        << (total <= kGoalMs ? "met" : "NOT met") << Qt::endl;
    return total <= kGoalMs ? 0 : 1;
}
