#pragma once

#include "RunningLight.h"
#include "SlaveSnapshot.h"

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QTimer>
#include <QVector>

class QTableWidget;

namespace Ui {
class SettingRegisterData;
}

// The IO test window of one slave: its inputs live, a point test of its
// outputs, and the running-light test that switches its outputs on in turn
// while it counts which inputs of a monitored station follow. It edits no
// record: outputs leave as requests naming the slave's record, for the
// Adapter that owns it.
//
// A running light never leaves outputs on: stopping it, closing the window,
// leaving force mode, losing the link or the slave going away all end it
// the same way, with the outputs it set switched off.
class SettingRegisterData : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kMinIntervalMs = 500;
    static constexpr int kRefreshMs = 100;

    explicit SettingRegisterData(const QString &title, QWidget *parent = nullptr);
    ~SettingRegisterData() override;

    // Shows the slave, one of the slaves of its bus, with the adapter's
    // force mode and link. The next reports come through updateSlaves.
    void setSlave(const SlaveSnapshot &slave, const SlaveList &slaves, bool forceMode, bool linked);
    // Every notification of the adapter: the slave gone ends the test and
    // closes the window; force mode left or the link lost end the test.
    void updateSlaves(const SlaveList &slaves, bool forceMode, bool linked);

    quint64 recordId() const { return m_slave ? m_slave->recordId : 0; }
    bool isRunning() const { return m_light.isRunning(); }
    const RunningLight &runningLight() const { return m_light; }
    QTableWidget *inputTable() const { return m_inputs; }
    QTableWidget *outputTable() const { return m_outputs; }
    bool refreshing() const { return m_refreshTimer.isActive(); }
    bool stepping() const { return m_loopTimer.isActive(); }
    int interval() const { return m_interval; }
    // The running light's verdict once it ended: pass, or the channels
    // that did not follow.
    QString verdictText() const;

signals:
    // The test's steps as the adapter would be told them: start (flag 0),
    // each step (flag 1, its position), end (flag 0, step 0).
    void sigSlaveDataTest(int station, int flag, int step);
    // Point test: one output of the slave.
    void sigOutputRequest(quint64 recordId, int index, int value);
    // Running light: every output of the slave at once.
    void sigOutputsRequest(quint64 recordId, QVector<int> values);

public slots:
    void onUpdateDataItem();
    void onAODataEdit(int index, QString text);
    void onDODataEdit(int index, int value);
    void onShareChannel(QByteArray values, int station);
    void onDeleteSlave();
    void on_pushButton_clicked();
    void on_lineEdit_returnPressed();
    void onLoopSendData();
    void on_lineEdit_textChanged(QString text);

public slots:
    void done(int result) override;

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    void buildTables();
    void fillOutputs();
    void showForceState();
    void finishTest(const QString &why = QString());
    void showVerdict(bool monitored, const QList<int> &missing);
    void warn(const QString &text);
    // The inputs of the monitored station: its channels; -1 when no slave
    // with inputs answers at that station.
    int monitoredInputs(int station) const;

    Ui::SettingRegisterData *ui;
    SlaveSnapshot m_slave;
    SlaveList m_slaves;
    bool m_forceMode = false;
    bool m_linked = false;
    bool m_dirty = false;
    QTableWidget *m_inputs = nullptr;
    QTableWidget *m_outputs = nullptr;
    QTimer m_refreshTimer;
    QTimer m_loopTimer;
    RunningLight m_light;
    int m_interval = 1000;
    int m_testStation = -1;
    QVector<int> m_onValues; // per output of the light: its value when on
};
