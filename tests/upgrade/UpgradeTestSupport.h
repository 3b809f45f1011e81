#pragma once

// Shared pieces of the upgrade tests: upgrade files built in memory, short
// protocol waits, virtual adapters with boot loaders, and a recorder of an
// upgrade's reports.

#include "BootLoaderControl.h"
#include "UpgradeFiles.h"
#include "UpdateManege.h"
#include "UpgradeFile.h"
#include "FastTiming.h"
#include "UsbGlobal.h"
#include "VirtualBus.h"

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <QtTest>

namespace upgradetest {

using testing_support::setUpgradeWaits;
using testing_support::useShortUpgradeTiming;

const QString kSerialA = QStringLiteral("UPGRADE00001");
const QString kSerialB = QStringLiteral("UPGRADE00002");
const QString kSerialC = QStringLiteral("UPGRADE00003");
constexpr quint32 kStartAddress = 0x08004000;

inline QByteArray toQ(const tbsim::Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

// Adapters A, B and C (in that order), each with its boot loader; extra
// keys per adapter go into its object.
inline QString loadAdapters(const QList<QJsonObject> &extras = {}, int count = 3)
{
    const QStringList serials{kSerialA, kSerialB, kSerialC};
    QJsonArray adapters;
    for (int i = 0; i < count; ++i) {
        QJsonObject adapter{{"serial", serials.at(i)}, {"scanReads", 0}, {"restartMs", 30}};
        const QJsonObject extra = extras.value(i);
        for (auto it = extra.begin(); it != extra.end(); ++it)
            adapter.insert(it.key(), it.value());
        adapters.append(adapter);
    }
    tbsim::bus().reset();
    const QJsonDocument document(QJsonObject{{"adapters", adapters}});
    return QString::fromStdString(tbsim::bus().loadJson(document.toJson().toStdString()));
}

inline tbsim::VirtualAdapter simAdapter(const QString &serial)
{
    return tbsim::bus().adapter(serial.toStdString());
}

inline tbsim::BootLoaderView bootLoader(const QString &serial)
{
    return tbsim::bootLoaderView(serial.toStdString());
}

inline QStringList violations()
{
    QStringList list;
    for (const std::string &v : tbsim::bus().violations())
        list << QString::fromStdString(v);
    return list;
}

// The commands an adapter received, in order, as hex codes ("A3/60" for a
// data piece with its length).
inline QStringList commandsReceived(const QString &serial)
{
    QStringList codes;
    for (const tbsim::TrafficEntry &entry : simAdapter(serial).traffic()) {
        QString code = QString::number(entry.code, 16).toUpper();
        if (entry.code == 0xA3)
            code += QLatin1Char('/') + QString::number(entry.param2);
        codes << code;
    }
    return codes;
}

// The reports of one upgrade, received in the test's thread, as text:
// "phase 0", "progress 960", "version V3.4.5" (read after the restart),
// "error", "connect failed", "refused 3", "update failed",
// "wrong version 3.4.5 V2.1.7" (the file's, the device's), "not back".
class UpgradeRecorder : public QObject
{
    Q_OBJECT
public:
    QStringList events;
    QList<int> progress;

    bool ended() const
    {
        return std::any_of(events.cbegin(), events.cend(), [](const QString &e) {
            return e == QLatin1String("phase 101")
                   || !(e.startsWith(QLatin1String("phase")) || e.startsWith(QLatin1String("version")));
        });
    }
    QStringList phasesAndEnds() const { return events; }

public slots:
    void onProcess(Update type, int value, int, QString, QString)
    {
        if (type == UPDATE_PROGRESS)
            progress << value;
        else
            events << QStringLiteral("phase %1").arg(value);
    }
    void onError(int, QString, QString) { events << QStringLiteral("error"); }
    void onConnectFailed(int) { events << QStringLiteral("connect failed"); }
    void onRefused(Update type) { events << QStringLiteral("refused %1").arg(int(type)); }
    void onUpdateFailed(int, QString, QString) { events << QStringLiteral("update failed"); }
    void onVersionRead(int, QString, QString, QString app) { events << QStringLiteral("version ") + app; }
    void onWrongVersion(int, QString, QString, QString expected, QString found)
    {
        events << QStringLiteral("wrong version %1 %2").arg(expected, found);
    }
    void onNotBack(int, QString, QString, int) { events << QStringLiteral("not back"); }
};

// One UpdateManege run as the dialog runs it: reports queued to this
// thread, closed and released after its end.
class UpgradeRun
{
public:
    explicit UpgradeRun(const QList<QByteArray> &blocks, const QString &mac = kSerialA)
        : manager(new UpdateManege)
    {
        manager->setBlockList(blocks);
        manager->setMac(mac);
        manager->setName(QStringLiteral("TBC-U100"));
        manager->setRow(0);
        thread = manager->workerThread();
        QObject::connect(manager, &UpdateManege::sigUpdateProcess, &recorder, &UpgradeRecorder::onProcess);
        QObject::connect(manager, &UsbCommunication::sigError, &recorder, &UpgradeRecorder::onError);
        QObject::connect(manager, &UpdateManege::sigConnectFailed, &recorder, &UpgradeRecorder::onConnectFailed);
        QObject::connect(manager, &UpdateManege::sigRunBurningFailed, &recorder, &UpgradeRecorder::onRefused);
        QObject::connect(manager, &UpdateManege::sigUpdateFailed, &recorder, &UpgradeRecorder::onUpdateFailed);
        QObject::connect(manager, &UpdateManege::sigVersionRead, &recorder, &UpgradeRecorder::onVersionRead);
        QObject::connect(manager, &UpdateManege::sigWrongVersion, &recorder, &UpgradeRecorder::onWrongVersion);
        QObject::connect(manager, &UpdateManege::sigNotBack, &recorder, &UpgradeRecorder::onNotBack);
    }
    ~UpgradeRun()
    {
        manager->cancel();
        emit manager->sigClose();
        manager->deleteLater();
        if (thread && thread->wait(10000))
            delete thread.data();
    }
    UpgradeRun(const UpgradeRun &) = delete;
    UpgradeRun &operator=(const UpgradeRun &) = delete;

    void start(const QString &serial = kSerialA, quint16 vendorId = UsbGlobal::kVendorId,
               quint16 productId = UsbGlobal::kProductId)
    {
        manager->start(vendorId, productId, serial);
    }
    bool waitForEnd(int timeoutMs = 20000)
    {
        return QTest::qWaitFor([this] { return recorder.ended(); }, timeoutMs);
    }

    UpdateManege *manager;
    QPointer<QThread> thread;
    UpgradeRecorder recorder;
};

} // namespace upgradetest
