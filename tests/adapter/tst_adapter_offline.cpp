#include "AdapterHarness.h"

using namespace harness;

class TestAdapterOffline : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(TestAdapterOffline)
#include "tst_adapter_offline.moc"
