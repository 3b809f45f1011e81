// Start-up of the tester against a bare Qt main window on the same display:
// tarnbus-tester --demo on the demonstration bus (as tools/run.sh starts it)
// and bench_startup_window, each launched in turn several times in one run.
// Each reports its phases (StartupTrace: TARNBUS_STARTUP_TRACE) on the
// monotonic clock; the figures are the medians of the times from the launch.
// Goal: the tester mapped at most 1.3x as late as the bare window.
// The bare window is launched a second time without the OpenGL drivers, as
// the tester starts, for a like-for-like figure beside the goal's. Then the
// tester once more per run with "新建工程" after its first picture, to time
// the first scan of the bus.
// Run from the repository root on a display, e.g.
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/bench_startup [runs]

#include <QCoreApplication>
#include <QDir>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <vector>

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    static const bool utf8 = (stream.setCodec("UTF-8"), true);
    Q_UNUSED(utf8)
    return stream;
}

qint64 monotonicNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Phase -> ms after the launch; a phase reported twice (the tester starts
// itself again on the virtual adapter) keeps both, the second as "<phase> 2".
using Phases = QMap<QString, double>;

Phases launch(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment,
              const QString &lastPhase)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setReadChannel(QProcess::StandardError);
    const qint64 start = monotonicNs();
    process.start(program, arguments);
    Phases phases;
    QByteArray pending;
    while (!phases.contains(lastPhase)) {
        if (!process.waitForReadyRead(15000))
            break;
        pending += process.readAllStandardError();
        int end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QByteArray line = pending.left(end);
            pending.remove(0, end + 1);
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() < 3 || parts.first() != "tarnbus-startup")
                continue;
            QString phase = QString::fromUtf8(line.mid(parts.first().size() + 1, line.lastIndexOf(' ') - parts.first().size() - 1));
            if (phases.contains(phase))
                phase += QStringLiteral(" 2");
            phases.insert(phase, (parts.last().toLongLong() - start) / 1e6);
        }
    }
    process.kill();
    process.waitForFinished(5000);
    return phases;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void printPhases(const QString &title, const std::vector<Phases> &runs, const QStringList &order)
{
    out() << title << Qt::endl;
    for (const QString &phase : order) {
        std::vector<double> ms;
        for (const Phases &run : runs) {
            if (run.contains(phase))
                ms.push_back(run.value(phase));
        }
        if (ms.empty())
            continue;
        const auto [low, high] = std::minmax_element(ms.begin(), ms.end());
        out() << QStringLiteral("  %1 %2 ms  (%3 .. %4, %5 runs)")
                     .arg(phase, -16)
                     .arg(median(ms), 7, 'f', 1)
                     .arg(*low, 0, 'f', 1)
                     .arg(*high, 0, 'f', 1)
                     .arg(ms.size())
              << Qt::endl;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = app.arguments().size() > 1 ? std::max(1, app.arguments().at(1).toInt()) : 7;
    const QString root = QDir::currentPath();
    const QString bus = root + QStringLiteral("/sim/buses/demo.json");
    if (!QFile::exists(bus) || !QDir(root + QStringLiteral("/Xml")).exists()) {
        out() << "run from the repository root: sim/buses/demo.json and ./Xml are needed" << Qt::endl;
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        out() << "needs a display: xvfb-run -a -s \"-screen 0 1920x1080x24\" " << app.arguments().first() << Qt::endl;
        return 1;
    }

    // Settings and user folders of their own, the same for both programs:
    // neither a language chosen nor descriptions imported by the user count.
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("TARNBUS_STARTUP_TRACE"), QStringLiteral("1"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    // The tester leaves the OpenGL drivers out of its start; the bare window
    // is also measured that way, to see what is left of the difference.
    QProcessEnvironment withoutOpenGl = environment;
    withoutOpenGl.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none"));
    QProcessEnvironment scanning = environment;
    scanning.insert(QStringLiteral("TARNBUS_STARTUP_TRACE"), QStringLiteral("scan"));

    const QString tester = QStringLiteral(TARNBUS_TESTER_PROGRAM);
    const QStringList testerArguments{QStringLiteral("--demo"), bus};
    const QString bare = QStringLiteral(BARE_WINDOW_PROGRAM);

    // One of each first, not counted: the files are in the page cache then.
    launch(bare, {}, environment, QStringLiteral("painted"));
    launch(tester, testerArguments, environment, QStringLiteral("painted"));

    std::vector<Phases> testerRuns, bareRuns, plainRuns, scanRuns;
    std::vector<double> ratios, plainRatios;
    for (int i = 0; i < runs; ++i) {
        const Phases b = launch(bare, {}, environment, QStringLiteral("painted"));
        const Phases t = launch(tester, testerArguments, environment, QStringLiteral("painted"));
        const Phases p = launch(bare, {}, withoutOpenGl, QStringLiteral("painted"));
        scanRuns.push_back(launch(tester, testerArguments, scanning, QStringLiteral("scan done")));
        bareRuns.push_back(b);
        plainRuns.push_back(p);
        testerRuns.push_back(t);
        if (b.contains(QStringLiteral("mapped")) && t.contains(QStringLiteral("mapped")))
            ratios.push_back(t.value(QStringLiteral("mapped")) / b.value(QStringLiteral("mapped")));
        if (p.contains(QStringLiteral("mapped")) && t.contains(QStringLiteral("mapped")))
            plainRatios.push_back(t.value(QStringLiteral("mapped")) / p.value(QStringLiteral("mapped")));
    }

    out() << "times from the launch, median of " << runs << " runs (low .. high)" << Qt::endl;
    printPhases(QStringLiteral("bare Qt main window:"), bareRuns,
                {QStringLiteral("main"), QStringLiteral("QApplication"), QStringLiteral("window built"),
                 QStringLiteral("mapped"), QStringLiteral("painted")});
    printPhases(QStringLiteral("bare Qt main window, QT_XCB_GL_INTEGRATION=none:"), plainRuns,
                {QStringLiteral("QApplication"), QStringLiteral("mapped"), QStringLiteral("painted")});
    printPhases(QStringLiteral("tarnbus-tester --demo:"), testerRuns,
                {QStringLiteral("main"), QStringLiteral("main 2"), QStringLiteral("QApplication"),
                 QStringLiteral("language"), QStringLiteral("descriptions"), QStringLiteral("window built"),
                 QStringLiteral("mapped"), QStringLiteral("painted")});
    printPhases(QString::fromUtf8("tarnbus-tester --demo, \"新建工程\" after the first picture:"), scanRuns,
                {QStringLiteral("mapped"), QStringLiteral("painted"), QStringLiteral("scan done")});

    std::vector<double> bareMapped, testerMapped;
    for (const Phases &p : bareRuns)
        bareMapped.push_back(p.value(QStringLiteral("mapped")));
    for (const Phases &p : testerRuns)
        testerMapped.push_back(p.value(QStringLiteral("mapped")));
    const double ratio = median(ratios);
    out() << QStringLiteral("tester / bare window without OpenGL either (median of the runs' ratios): %1")
                 .arg(median(plainRatios), 0, 'f', 2)
          << Qt::endl;
    out() << QStringLiteral("launch until mapped: tester %1 ms, bare window %2 ms; tester / bare (median of the runs' ratios): "
                            "%3   goal: <= 1.3 %4")
                 .arg(median(testerMapped), 0, 'f', 1)
                 .arg(median(bareMapped), 0, 'f', 1)
                 .arg(ratio, 0, 'f', 2)
                 .arg(ratio > 0 && ratio <= 1.3 ? QStringLiteral("met") : QStringLiteral("MISSED"))
          << Qt::endl;
    return ratio > 0 && ratio <= 1.3 ? 0 : 1;
}
