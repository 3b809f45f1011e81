#pragma once

#include "UpgradeFile.h"
#include "UpgradeTypes.h"

#include <QDialog>
#include <QMap>
#include <QPair>
#include <QPointer>

#include <optional>

class QCheckBox;
class QCloseEvent;
class QProgressBar;
class QPushButton;
class QThread;
class UpdateManege;

namespace Ui {
class FirmwareBurning;
}

// The upgrade dialog: searches the devices on USB, shows their versions,
// loads one upgrade file and upgrades one device or a batch of them, each in
// an UpdateManege of its own.
//
// While any upgrade runs, search and browse are disabled and the dialog
// cannot be closed: a search would clear the rows of running upgrades and
// talk to the devices being flashed.
class FirmwareBurning : public QDialog
{
    Q_OBJECT

public:
    enum Column {
        ColumnSelect,
        ColumnType,
        ColumnHardware,
        ColumnBoot,
        ColumnApp,
        ColumnIp,
        ColumnMac,
        ColumnButton,
        ColumnProgress,
        ColumnCount,
    };

    explicit FirmwareBurning(QWidget *parent = nullptr);
    ~FirmwareBurning() override;

    // True while any upgrade runs or a cancelled one has not stopped yet.
    bool isUpgrading() const { return !m_running.isEmpty(); }
    const UpgradeFile &upgradeFile() const { return m_file; }

    void reject() override;

signals:
    void sigCloseUpgrade(bool open);
    void sigStopUpdate(QString mac);
    void sigAction(int action);

public slots:
    void on_pushButton_2_clicked();
    void on_pushButton_clicked();
    void addNewDevice(int HW, QString vbtool, QString vapp, QString info, QString ip, QString mac);
    void printfLog(QString text);
    void on_listWidget_customContextMenuRequested(QPoint pos);
    void onUploadHw();
    void on_pushButton_3_clicked();
    void on_checkBox_clicked();
    void onRunBurningFailed(Update type);
    void onUpdateProcess(Update type, int process, int row, QString name, QString mac);
    void onUpdateFailed(int row, QString name, QString mac);
    void onConnectFailed(int row);
    void onErrorMessage(int row, QString name, QString mac);
    void onVersionRead(int row, QString name, QString mac, QString appVersion);
    void onWrongVersion(int row, QString name, QString mac, QString expected, QString found);
    void onNotBack(int row, QString name, QString mac, int waitedMs);

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // One row's upgrade, from its start until its worker has reported its end.
    struct Running {
        UpdateManege *manager = nullptr;
        int row = -1;
        QString name;
        QString mac;
        bool batch = false;
        bool cancelled = false; // the user stopped it; the worker has not reported yet
    };

    void setHeader();
    bool startUpgrade(int row, bool batch);
    bool confirmVersion(int row);
    void cancelUpgrade(int row, bool batch);
    // Ends the upgrade whose worker sent the current report and brings its
    // row back to idle; empty when the report is not from a running upgrade.
    std::optional<Running> endReportingUpgrade(bool success);
    // Ends it as failed: the message box, or the log line of an interruption
    // when there is no text or the user stopped it. A failure the user did
    // not ask for marks its row. False when the report ended nothing.
    bool endFailedUpgrade(const QString &title, const QString &text);
    void refreshButtons();
    bool batchRunning() const;
    void showTimedMessage(const QString &title, const QString &text);

    int rowOfButton(const QObject *button) const;
    QCheckBox *rowCheckBox(int row) const;
    QPushButton *rowButton(int row) const;
    // The row's progress shows the failure.
    void showFailedRow(int row);
    QProgressBar *rowProgress(int row) const;
    QString cellText(int row, int column) const;

    Ui::FirmwareBurning *ui;
    UpgradeFile m_file;
    QMap<QString, QPair<quint16, quint16>> m_devices; // mac -> vendor id, product id
    QMap<int, Running> m_running;                     // by row
    QList<QPointer<QThread>> m_workerThreads;
};
