#pragma once

#include "SlaveSnapshot.h"

#include <QDialog>

namespace Ui {
class LocalConfigView;
}

// The result of a batch or offline configuration download, station by
// station: the modules that failed first (red), then those configured (green).
class LocalConfigView : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kStationColumn = 0;
    static constexpr int kTypeColumn = 1;
    static constexpr int kStateColumn = 2;

    explicit LocalConfigView(QWidget *parent = nullptr);
    ~LocalConfigView() override;

    // reasons: why each failed record (by record id) was not written.
    void fill(const SlaveList &configured, const SlaveList &failed, const QMap<quint64, QString> &reasons = {});

    int rowCount() const;
    // "station|type|state" of a row.
    QString rowText(int row) const;
    QColor stateColor(int row) const;
    QString summaryText() const;

public slots:
    void on_pushButton_clicked();

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    void setRow(int row, const SlaveState &slave, const QString &state, const QColor &color);

    Ui::LocalConfigView *ui;
};
