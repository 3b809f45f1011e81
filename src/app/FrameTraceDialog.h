#pragma once

#include <QDialog>

#include <memory>

class FrameTraceModel;
class LinkDiagnostics;
class QTimer;

namespace Ui {
class FrameTraceDialog;
}

// "帧跟踪" of an adapter: the reports of its frame trace, filtered by
// command, station and result, the bytes of the one picked with the frame's
// fields marked and its CRC checked, and the export to text or pcap.
// Recording is switched here; while it runs the list follows once a second.
class FrameTraceDialog : public QDialog
{
    Q_OBJECT

public:
    FrameTraceDialog(std::shared_ptr<LinkDiagnostics> diagnostics, const QString &title, QWidget *parent = nullptr);
    ~FrameTraceDialog() override;

    FrameTraceModel *model() const { return m_model; }
    // Recording on or off, as the check box does.
    void setRecording(bool on);
    bool isRecording() const;
    // A new copy of the trace, the filters and the selection kept.
    void refresh();
    // The shown reports to a file: .pcap a capture, else text. Empty on
    // success, else why not.
    QString exportTo(const QString &path) const;
    // The raw view of the report picked, as HTML.
    QString rawHtml() const;

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    void applyFilter();
    void fillFilters();
    void showSelected();
    void exportAs(bool pcap);

    Ui::FrameTraceDialog *ui;
    std::shared_ptr<LinkDiagnostics> m_diagnostics;
    FrameTraceModel *m_model;
    QTimer *m_follow;
    bool m_filling = false;
};
