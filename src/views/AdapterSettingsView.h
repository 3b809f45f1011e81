#pragma once

#include "AdapterSettings.h"
#include "AdapterTypes.h"

#include <QWidget>

namespace Ui {
class AdapterSettingsView;
}
class QComboBox;

// The adapter's own settings, edited: its four switches and the threshold,
// written together ("写入适配器"); the adapter restarts with them. What the
// user has changed and not yet written survives the adapter's reports; a
// report of other settings (after a write, or a reconnect) shows those.
class AdapterSettingsView : public QWidget
{
    Q_OBJECT

public:
    explicit AdapterSettingsView(QWidget *parent = nullptr);
    ~AdapterSettingsView() override;

    // Editable while the adapter is linked and not forced; an offline
    // configuration has no adapter settings.
    void showState(const AdapterState &state, bool offline);

    // The edit as it stands in the form.
    appcore::AdapterSettings::Edit edit() const;

signals:
    // The settings byte (the other bits as the adapter reported them), the
    // threshold and whether the adapter is to take the threshold.
    void sigWriteSettings(quint8 settingsByte, quint16 threshold, bool changeThreshold);

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_checkBox_toggled(bool checked);

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    QList<QComboBox *> switches() const;
    void fillFromReport();
    void updateButtons();

    Ui::AdapterSettingsView *ui;
    AdapterState m_reported;
    bool m_hasReport = false;
    bool m_editable = false;
    const char *m_hint = nullptr; // the hint shown, untranslated
};
