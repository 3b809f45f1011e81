#pragma once

#include "CompareReport.h"
#include "CompareWrite.h"
#include "ConfigCompare.h"

#include <QDialog>
#include <QHash>
#include <QPointer>

#include <functional>
#include <optional>

class AdapterManage;
class CompareRowsModel;

namespace Ui {
class ConfigCompareDialog;
}

// "对比组态": a configuration (a configuration file, an offline configuration
// or another adapter's bus open in a tab) against this adapter's bus, row by
// row (appcore::Compare). The rows checked are written to the adapter with
// its own record writes, one at a time, each refusal said for its row; the
// bus is then read again and compared anew. The result can be saved as CSV
// and printed to PDF.
//
// Like every view it only asks the Adapter (its request functions) and
// learns from its reports; the bus it compares is its manager's last
// snapshot of the slaves.
class ConfigCompareDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ConfigCompareDialog(AdapterManage *manager, QWidget *parent = nullptr);
    ~ConfigCompareDialog() override;

    // Compares a configuration file with the bus as last read.
    void compareFile(const QString &path);
    // Compares the configuration of another tab with the bus as last read.
    void compareTab(AdapterManage *source);
    // Reads the bus again and compares it with the source anew.
    void compareAgain();
    // The other tabs offered as sources, as they are open now.
    void refreshSources();
    // Writes the rows checked, after the user confirmed.
    void writeChecked();

    const appcore::Compare::Result &result() const;
    CompareRowsModel *rows() const { return m_rows; }
    // Reading the bus or writing rows.
    bool isBusy() const { return m_busy; }
    // What became of the last writes, by the bus module's record.
    const QHash<quint64, appcore::Compare::WriteOutcome> &outcomes() const { return m_outcomes; }
    // The rows' texts of one line of the table, separated by "|".
    QString lineText(int line) const;
    // What the saved and printed report says above the rows: now, the
    // adapter's serial and versions, the source.
    CompareReport::Heading heading() const;
    QString sourceText() const;

signals:
    // A comparison is shown (after a source was chosen, a re-read, writes).
    void compared();

private slots:
    void on_btnOpenFile_clicked();
    void on_btnCompare_clicked();
    void on_btnWrite_clicked();
    void on_btnCheckAll_clicked();
    void on_btnSaveCsv_clicked();
    void on_btnPrintPdf_clicked();
    void on_btnClose_clicked();
    void on_checkOnlyDifferences_toggled(bool only);
    void on_comboSource_activated(int index);

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    enum class Source { None, File, Tab };

    void fillSources();
    // The source as it is now (the file read again), or none with the reason shown.
    std::optional<appcore::Compare::Side> readSource();
    void compareNow();
    void showResult();
    void selectFirstDifference();
    void showDetails();
    void showCounts();
    void setBusy(bool busy, const QString &progress = QString());
    void updateButtons();
    // Runs then once the Adapter has served everything asked before and its
    // reports have arrived here.
    void afterAdapter(std::function<void()> then);
    void readBusThen(std::function<void()> then);
    void startWrites(const QList<appcore::Compare::RowWrite> &writes);
    void sendNextWrite();
    void finishWrites();

    Ui::ConfigCompareDialog *ui;
    QPointer<AdapterManage> m_manager;
    CompareRowsModel *m_rows = nullptr;
    Source m_source = Source::None;
    QString m_filePath;
    QString m_fileForm;
    QPointer<AdapterManage> m_sourceTab;
    QList<QPointer<AdapterManage>> m_sourceTabs; // the other tabs, in the order of the source choice
    bool m_busy = false;
    std::optional<appcore::Compare::WriteRun> m_run;
    int m_writeCount = 0;
    int m_sent = 0;
    QList<appcore::Compare::Report> m_reports;
    QMetaObject::Connection m_reportConnection;
    QHash<quint64, appcore::Compare::WriteOutcome> m_outcomes;
};
