#pragma once

#include "IoCheckout.h"
#include "LoopRunner.h"
#include "OutputTestRule.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <optional>

class AdapterManage;
class QTreeWidgetItem;

namespace Ui {
class IoCheckoutDialog;
}

// "IO检查": the guided check of every channel of an adapter's modules
// (appcore::checkout), row by row while the engineer watches the field:
//  - a digital output is switched on alone; the engineer says pass or fail;
//  - a digital input is watched live; a change passes it, no change within
//    the time set leaves it open unless the engineer decides;
//  - an analog output is set to the value chosen (percent of its range);
//    the reading the engineer enters is held against it with the tolerance;
//  - an analog input's live value is held against the value expected;
//  - the loops of a wiring map are verified by the tool (LoopRunner).
// Outputs are driven only in force mode (asked for when a check begins,
// left again on closing when this dialog asked for it) and only the one
// under test; every ending switches it off by the IO test window's rule
// (appcore::outputTestEnd). The state is saved after every row and taken
// up again when the dialog is opened on the same adapter.
class IoCheckoutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit IoCheckoutDialog(AdapterManage *manager, QWidget *parent = nullptr);
    ~IoCheckoutDialog() override;

    // Every report of the adapter: the slaves with the inputs of the last
    // cycle, force mode and the link.
    void updateSlaves(const SlaveList &slaves, bool forceMode, bool linked);

    // Reads a wiring map; its problems are shown, and none is taken then.
    bool loadWiring(const QString &path);
    // Writes the report to path (PDF) and the CSV beside it; empty on
    // success, else why not.
    QString writeReport(const QString &path);

    const appcore::checkout::Checkout &checkout() const { return m_checkout; }
    // The row the engineer is on; -1 when none.
    int currentRow() const { return m_current; }
    void selectRow(int row);
    // A check under way on the current row (its output driven, its input watched).
    bool isChecking() const { return m_checking; }
    bool loopsRunning() const { return m_runner.isRunning(); }
    // The output driven now, if any: record and channel.
    std::optional<QPair<quint64, int>> drivenOutput() const { return m_driven; }
    // Texts of the visible rows ("module|channel|direction|result"), for tests.
    QStringList visibleRows() const;
    QString statusText() const;

signals:
    // What the check-out asked of the adapter and wrote, for the message list.
    void logMessage(const QString &text);

public slots:
    void startCheck();
    void stopCheck();
    void pass();
    void fail();
    void skip();
    void runLoops();

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

public slots:
    // Every way the dialog ends: the output off, the state saved, force
    // mode left when this dialog asked for it.
    void done(int result) override;

private slots:
    void on_btnWiring_clicked();
    void on_btnReport_clicked();
    void on_btnClose_clicked();
    void on_checkOpen_toggled(bool);
    void on_checkFailed_toggled(bool);
    void on_treeRows_currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *);
    void onInputWaitOver();

private:
    void buildTree();
    void showRow(int row);
    void showProgress();
    void applyFilter();
    void showPanel();
    void record(appcore::checkout::Result result, const QString &value, const QString &note);
    // Finishes the current row and goes on to the next open one.
    void advance();
    void save();
    void setStatus(const QString &text);
    // Drives the current row's output, if the rule allows it now.
    void driveCurrent();
    void switchOff();
    // Asks for force mode unless the adapter is in it; true when it is.
    bool needForce();
    void refreshRecords();
    void endFor(appcore::OutputTestEnd why);
    std::optional<int> liveValue(int row) const;
    QString liveText(int row) const;
    // The analog value as percent of the channel's range.
    double percentOf(int row, int value) const;

    Ui::IoCheckoutDialog *ui;
    QPointer<AdapterManage> m_manager;
    appcore::checkout::Checkout m_checkout;
    appcore::checkout::LoopRunner m_runner;
    SlaveList m_slaves;
    bool m_forceMode = false;
    bool m_linked = false;
    bool m_enteredForce = false; // this dialog asked for force mode
    bool m_pendingStart = false; // start once force mode is on
    bool m_pendingLoops = false;
    // A start waits this long for force mode, then is given up: a refused
    // force mode must not start a check later by surprise.
    static constexpr int kForceWaitMs = 10000;
    QElapsedTimer m_pendingSince;
    QList<QTreeWidgetItem *> m_items; // by row
    int m_current = -1;
    bool m_checking = false;
    std::optional<QPair<quint64, int>> m_driven;
    int m_drivenValue = 0;
    std::optional<int> m_inputStart; // an input's value when its check began
    quint64 m_inputCycles = 0;       // process-data cycles reported in force mode
    quint64 m_startCycle = 0;        // the count when an input's check began
    QTimer m_inputWait;
    QString m_status;
};
