#pragma once

#include <QDialog>
#include <QMap>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace Ui {
class SettingView;
}

// Scans USB for adapters and lists them; shared by the adapter chooser and
// the matching dialog. The scan runs in a thread of its own; its list
// entries show each adapter's serial number and keep the vid (role 3), pid
// (role 4), serial number (role 5) and name (role 6). An adapter another
// tab holds is listed, marked, and cannot be chosen.
class AdapterScanList
{
public:
    static constexpr int kVidRole = 3;
    static constexpr int kPidRole = 4;
    static constexpr int kSerialRole = 5;
    static constexpr int kNameRole = 6; // the adapter's name, the tab's title

    // Scans as the dialog opens, unless the port is busy: then the user
    // asks again with the scan button.
    static void startOnOpen(QWidget *dialog, QListWidget *list, QPushButton *scanButton,
                            const QMap<QString, QString> &open, bool portBusy);

    // Refused with "USB端口已被占用!" while another scan or an adapter's
    // connection is under way. Returns whether the scan started.
    static bool start(QWidget *dialog, QListWidget *list, QPushButton *scanButton, const QMap<QString, QString> &open,
                      bool portBusy);
};

// The adapter chooser ("新建适配器").
class SettingView : public QDialog
{
    Q_OBJECT

public:
    // open: serial number -> name of the adapters open in tabs; portBusy: an
    // adapter is connecting now.
    explicit SettingView(const QMap<QString, QString> &open, bool portBusy = false, QWidget *parent = nullptr);
    ~SettingView() override;

    QListWidget *list() const;

signals:
    void sigManualConfiguration();
    void sigIgnorePort();
    void sigAddNewAdapter(QString text, int vid, int pid, QString serial);

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_comboBox_currentIndexChanged(const QString &arg1);
    void on_listWidget_itemDoubleClicked(QListWidgetItem *item);

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    Ui::SettingView *ui;
    QMap<QString, QString> m_open;
    bool m_portBusy = false;
};
