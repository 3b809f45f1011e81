#pragma once

#include <QDialog>
#include <QMap>

namespace Ui {
class ConfigurationMatchingDlg;
}

// Finds an adapter on USB to which an offline configuration is downloaded
// ("链接适配器").
class ConfigurationMatchingDlg : public QDialog
{
    Q_OBJECT

public:
    ConfigurationMatchingDlg(int index, const QMap<QString, QString> &open, bool portBusy = false,
                             QWidget *parent = nullptr);
    ~ConfigurationMatchingDlg() override;

    // The name of the adapter chosen, while sigMatchingAdapter is handled.
    QString chosenName() const;

signals:
    void sigMatchingAdapter(int index, int vid, int pid, QString mac);

private slots:
    void on_btn_scan_clicked();
    void on_btn_matching_clicked();

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    Ui::ConfigurationMatchingDlg *ui;
    int m_index;
    QMap<QString, QString> m_open;
    bool m_portBusy;
};
