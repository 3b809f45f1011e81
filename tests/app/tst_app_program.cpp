// tarnbus-tester as the real program: --help and --version without a
// display, one version with tarnbus-cli, and --demo, which starts the
// window again on the virtual adapter.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kWindow = QStringLiteral(TARNBUS_TESTER_PROGRAM);
const QString kCli = QStringLiteral(TARNBUS_CLI_PROGRAM);
constexpr int kFinishMs = 60000; // a limit for a hung program, not a measurement

QProcessEnvironment environment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A sanitizer build wants its runtime first; the preloaded virtual
    // adapter comes before it.
    const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
    env.insert(QStringLiteral("ASAN_OPTIONS"),
               (asan.isEmpty() ? QString() : asan + QLatin1Char(':')) + QStringLiteral("verify_asan_link_order=0"));
    return env;
}

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run run(const QString &program, const QStringList &args, const QProcessEnvironment &env = environment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    Run result;
    if (!process.waitForFinished(kFinishMs)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// The libraries mapped into a running process.
QByteArray mappedLibraries(qint64 pid)
{
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    return maps.open(QIODevice::ReadOnly) ? maps.readAll() : QByteArray();
}

} // namespace

class TestAppProgram : public QObject
{
    Q_OBJECT

private slots:
    // Both need no display: the manual page is made from them while building.
    void helpAndVersionWithoutADisplay()
    {
        QProcessEnvironment env = environment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        const Run help = run(kWindow, {QStringLiteral("--help")}, env);
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.startsWith(QStringLiteral("Usage: tarnbus-tester [--demo [BUS]]")));
        QCOMPARE(help.err, QString());
        const Run version = run(kWindow, {QStringLiteral("--version")}, env);
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, QStringLiteral("tarnbus-tester " TARNBUS_VERSION "\n"));
    }

    // One version for the window, the command line and the package.
    void oneVersion()
    {
        const Run cli = run(kCli, {QStringLiteral("--version")});
        QCOMPARE(cli.status, 0);
        QCOMPARE(cli.out, QStringLiteral("tarnbus-cli " TARNBUS_VERSION "\n"));
    }

    void demoRefused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("err");
        QTest::newRow("no such bus file") << QStringList{"--demo", "no-such-bus.json"}
                                          << "tarnbus-tester: --demo: no-such-bus.json: cannot read the bus file\n";
        QTest::newRow("an empty name") << QStringList{"--demo="} << "tarnbus-tester: --demo= needs a bus file\n";
    }
    void demoRefused()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, err);
        const Run refused = run(kWindow, args);
        QCOMPARE(refused.status, 2);
        QCOMPARE(refused.err, err);
    }

    // --demo: the window runs with the virtual adapter's library loaded,
    // until it is asked to end.
    void demoRunsOnTheVirtualAdapter_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("the demonstration bus") << QStringList{"--demo"};
        QTest::newRow("a bus file") << QStringList{"--demo", "sim/buses/upgrade.json"};
    }
    void demoRunsOnTheVirtualAdapter()
    {
        QFETCH(QStringList, args);
        QProcess window;
        window.setProcessEnvironment(environment());
        window.start(kWindow, args);
        QVERIFY(window.waitForStarted(kFinishMs));
        QTRY_VERIFY_WITH_TIMEOUT(mappedLibraries(window.processId()).contains("libtarnbus_sim_preload.so"), kFinishMs);
        QCOMPARE(window.state(), QProcess::Running);
        window.terminate();
        QVERIFY(window.waitForFinished(kFinishMs));
        QVERIFY2(!window.readAllStandardError().contains("tarnbus-tester:"), "no complaint");
    }
};

QTEST_MAIN(TestAppProgram)
#include "tst_app_program.moc"
