#pragma once

#include "UpgradeTypes.h"
#include "UsbDeviceInfo.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QThread;
class UpdateManege;

// The upgrades of several adapters at once, as the upgrade dialog's batch
// runs them: one UpdateManege each, in its own thread, started with the
// device's ids and serial number. Their reports arrive here queued and are
// kept per adapter; an upgrade counts as complete only on the final phase,
// which comes once the adapter is back running the file's version.
class UpgradeBatch : public QObject
{
    Q_OBJECT

public:
    struct Target {
        UsbDeviceInfo device;
        QString name; // the device type its information gave
    };

    enum class End {
        Running,
        Complete,      // written, restarted and waited for
        ConnectFailed, // the device could not be opened
        EnterRefused,  // it did not enter upgrade mode
        BurnRefused,   // it did not start burning
        Failed,        // a step was refused or not acknowledged
        Broken,        // a write or read failed: gone from USB, or cancelled
        WrongVersion,  // back after the restart with another version than the file's
        NotBack,       // not back after the restart within the wait
    };
    // How an upgrade ended, language-neutral: "upgrade.done",
    // "upgrade.open_failed", "upgrade.enter_refused", "upgrade.burn_refused",
    // "upgrade.refused", "upgrade.link_lost", "upgrade.wrong_version",
    // "upgrade.not_back"; "upgrade.cancelled" when the user stopped it.
    static QString endCode(End end, bool cancelled);

    struct Upgrade {
        Target target;
        int percent = 0;        // of the file, by the piece about to be sent
        bool begun = false;     // the transfer began: the old application is gone
        bool written = false;   // every block written, the device restarting
        bool cancelled = false; // asked to stop
        QString appVersion = QString();  // what the device gave once it was back; empty before
        QString fileVersion = QString(); // what it had to give (WrongVersion)
        int waitedMs = 0;                // how long it was waited for (NotBack)
        End end = End::Running;
    };

    UpgradeBatch(const QList<QByteArray> &blocks, const QList<Target> &targets, QObject *parent = nullptr);
    // Stops what still runs and waits for the workers' threads.
    ~UpgradeBatch() override;

    void start();
    // Stops every upgrade that still runs, through its onStopUpdate; each
    // then reports its end.
    void cancel();
    bool finished() const;
    const QList<Upgrade> &upgrades() const { return m_upgrades; }

    // Called after every change of an upgrade, with its index.
    std::function<void(int index)> changed;

signals:
    void sigStopUpdate(QString mac);

private slots:
    void onUpdateProcess(Update type, int process, int row, QString name, QString mac);
    void onUpdateFailed(int row, QString name, QString mac);
    void onConnectFailed(int row);
    void onRunBurningFailed(Update type);
    void onErrorMessage(int row, QString name, QString mac);
    void onVersionRead(int row, QString name, QString mac, QString appVersion);
    void onWrongVersion(int row, QString name, QString mac, QString expected, QString found);
    void onNotBack(int row, QString name, QString mac, int waitedMs);

private:
    // The running upgrade whose worker sent the report being handled; -1 for none.
    int reportingIndex() const;
    void end(End how);
    void notify(int index);

    QList<QByteArray> m_blocks;
    QList<Upgrade> m_upgrades;
    QList<UpdateManege *> m_managers; // null once the upgrade has ended
    QList<QPointer<QThread>> m_threads;
};
