#pragma once

#include "UpgradeTypes.h"
#include "UsbCommunication.h"

#include <QList>

class QThread;

// The upgrade of one device, in a worker thread of its own: device
// information, upgrade mode, start of burning, every block announced and
// written, both finishing steps and the restart; then, once the device is
// back, its information again, which must give the file's version. Every
// upgrade ends in exactly one report: the final phase (success) or one of
// the failure signals; success is reported only when every step was
// acknowledged and the device came back running the file's version.
class UpdateManege : public UsbCommunication
{
    Q_OBJECT

public:
    // Without a parent: the object moves to its own thread.
    UpdateManege();
    ~UpdateManege() override;

    void setBlockList(const QList<QByteArray> &blocks) { m_blocks = blocks; }
    void setMac(const QString &mac) { m_mac = mac; }
    void setName(const QString &name) { m_name = name; }
    void setRow(int row) { m_row = row; }
    QString mac() const { return m_mac; }
    QString name() const { return m_name; }
    int row() const { return m_row; }
    QThread *workerThread() const { return m_thread; }
    // The version the device must run after the upgrade: the package
    // version in the header of the blocks' file.
    QString packageVersion() const;

    // Starts the upgrade in the worker thread.
    void start(quint16 vendorId, quint16 productId, const QString &serialNumber);

signals:
    void sigConnectFailed(int row);
    void sigRunBurningFailed(Update type);
    void sigUpdateFailed(int row, QString name, QString mac);
    void sigClose();
    void sigUpdate(int run, ulong vendor_id = 0, ulong product_id = 0, QString serial_number = QString());
    void sigUpdateProcess(Update type, int process, int row, QString name, QString mac);
    // After the restart: the App version the device gave once it was back,
    // before the final phase or sigWrongVersion.
    void sigVersionRead(int row, QString name, QString mac, QString appVersion);
    // The device came back with found, not the file's version expected.
    void sigWrongVersion(int row, QString name, QString mac, QString expected, QString found);
    // The device was not back (on USB, answering its information request)
    // within waitedMs of the restart command.
    void sigNotBack(int row, QString name, QString mac, int waitedMs);

public slots:
    void onUpdate(int run, ulong vendor_id, ulong product_id, QString serial_number);
    // Thread-safe, so that it can be called directly from the dialog's
    // thread while this upgrade waits inside an exchange: when mac is this
    // upgrade's, the upgrade stops at once and ends with sigError.
    void onStopUpdate(QString mac);
    // In the worker thread: closes the device. The thread ends when the
    // object is deleted (deleteLater after sigClose).
    void onClose();

private:
    enum class Outcome {
        Complete,
        ConnectFailed,
        ExchangeFailed, // write or read error, or cancelled
        EnterRefused,
        BurnRefused,
        Failed,
        WrongVersion, // back with another version than the file's
        NotBack,      // not back within the wait
    };

    Outcome upgrade(quint16 vendorId, quint16 productId, const QString &serialNumber);
    Outcome sendBlocks(quint32 startAddress);
    Outcome finish();
    // Waits for the restarted device, reads its version and compares it
    // with the file's.
    Outcome readBack(quint16 vendorId, quint16 productId);
    // One exchange; false when it did not go through.
    bool exchange(const QByteArray &report, QByteArray &reply);
    void progress(Update type, int value);

    QThread *m_thread = nullptr;
    QList<QByteArray> m_blocks;
    QString m_serial;
    QString m_foundVersion; // the App version read after the restart
    QString m_mac;
    QString m_name;
    int m_row = -1;
};
