// The window redrawing without pause while a 128-module adapter polls and
// then exchanges process data as fast as it can: built with the sanitizers,
// this is where a view reading what the worker changes would show.

#include "AppHarness.h"

#include "MainProductView.h"

#include <QElapsedTimer>

using namespace apph;

class TestAppStress : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testing_support::useTestFolders(); }

    void redrawWhilePollingAndForcing()
    {
        const QString root = QDir::currentPath();
        tarnbus::LinkTiming timing = fastTiming();
        timing.pollPeriodMs = 20;
        timing.processDataPeriodMs = 1;
        tarnbus::setLinkTiming(timing);
        QCOMPARE(loadBus(QStringLiteral("sim/buses/full128.json"), root), QString());
        WorkingFolder folder;
        MainWindow window;
        window.resize(1600, 900);
        window.show();
        TabWidget *tabs = window.tabWidget();
        tabs->onCreateAdapterSlaveView(QStringLiteral("3C2E0A000128"), 0x2E3C, 0xAF01, QStringLiteral("stress"));
        AdapterManage *manager = tabs->manager(0);
        QVERIFY(waitLoaded(manager, 60000));
        QCOMPARE(manager->slaves().size(), 128);

        const auto churn = [&](int ms) {
            QElapsedTimer clock;
            clock.start();
            int round = 0;
            while (clock.elapsed() < ms) {
                manager->onResSVG(0);
                const SlaveList slaves = manager->slaves();
                const SlaveSnapshot slave = slaves.value(round % qMax(1, slaves.size()));
                if (slave) {
                    manager->showSlavePage(slave->recordId, slave->uuid);
                    if (manager->isForceMode())
                        manager->adapter()->requestSlaveOutput(slave->recordId, 0, round & 1);
                }
                window.grab();
                QCoreApplication::processEvents();
                ++round;
            }
            return round;
        };
        QVERIFY(churn(1500) > 0);
        manager->setForceMode(true);
        QTRY_VERIFY(manager->isForceMode());
        QVERIFY(churn(1500) > 0);
        manager->setForceMode(false);
        QTRY_VERIFY(!manager->isForceMode());
        tabs->closeAll();
        tarnbus::setLinkTiming(fastTiming());
        QCOMPARE(tbsim::bus().openHandleCount(), 0);
        QStringList v;
        for (const std::string &s : tbsim::bus().violations())
            v << QString::fromStdString(s);
        QCOMPARE(v, QStringList());
    }
};

QTEST_MAIN(TestAppStress)
#include "tst_app_stress.moc"
