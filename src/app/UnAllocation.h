#pragma once

#include "SlaveSnapshot.h"

#include <QByteArray>
#include <QDialog>
#include <QMap>

class QLineEdit;

namespace Ui {
class UnAllocation;
}

// New station numbers for the modules the adapter reports as sharing one
// ("批量配置重复站号"): one row per such module, with its number editable.
// The rows are sent only when they hold distinct numbers from 1 to 128.
class UnAllocation : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kTypeColumn = 0;
    static constexpr int kUidColumn = 1;
    static constexpr int kStationColumn = 2;
    static const char kMacProperty[]; // "mac": the module's UID on its station line

    explicit UnAllocation(QWidget *parent = nullptr);
    ~UnAllocation() override;

    // One row for every slave flagged as repeated (statusBit4), in list order.
    void fill(const SlaveList &slaves);

    int rowCount() const;
    QLineEdit *stationEdit(int row) const;

signals:
    void sigSetRepeatSid(QMap<int, QByteArray> map);

public slots:
    void on_pushButton_2_clicked(); // "自动生成站号"
    void on_pushButton_clicked();   // "下发配置"
    // Shows sid on the row of the module with this UID (the first one).
    void setSlaveID(QByteArray mac, uint8_t sid);

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    QStringList stationTexts() const;

    Ui::UnAllocation *ui;
    QList<int> m_otherStations; // the stations of the modules that are no row
};
