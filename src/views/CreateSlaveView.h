#pragma once

#include "SlaveSnapshot.h"

#include <QByteArray>
#include <QDialog>
#include <QSet>
#include <QString>

class CreateModel;

namespace Ui {
class CreateSlaveView;
}

// Adds modules to an offline configuration: the user picks a type of the
// library and a station, and adds; the dialog stays open for the next
// module, with the next free station proposed. A station another module of
// the configuration has is refused here; the manager refuses the rest
// (a full configuration, a station beyond 128).
class CreateSlaveView : public QDialog
{
    Q_OBJECT

public:
    explicit CreateSlaveView(QWidget *parent = nullptr);
    ~CreateSlaveView() override;

    CreateModel *model() const { return m_model; }
    // The modules of the configuration, for the stations they take.
    void setSlaves(const SlaveList &slaves);
    void selectType(const QString &typeKey);
    QString selectedType() const;
    void setStation(int station);
    int station() const;

signals:
    void sigCreateSlave(int sid, QByteArray typeKey);

public slots:
    void on_addButton_clicked();
    void on_closeButton_clicked();

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    void showType();
    void proposeStation();

    Ui::CreateSlaveView *ui;
    CreateModel *m_model;
    QSet<int> m_taken;
};
