#pragma once

#include "SlaveSnapshot.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTabWidget>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class SwapMemoryView;

namespace Ui {
class SlaveInfoView;
}

// The parameter editor of one slave: its basic information, its
// configuration (station, IO start addresses and channel counts,
// parameters), its live inputs and its place in the process images. It
// shows snapshots; an accepted edit leaves as the 32-byte configuration
// record (sigApplyConfig), after checks that refuse, with the reason, any
// value the module could not hold.
//
// A newer snapshot of the slave shown refreshes everything but the rows the
// user is editing: those are reloaded only when the slave's configuration
// changed and nothing was edited since, or after an apply.
class SlaveInfoView : public QTabWidget
{
    Q_OBJECT

public:
    enum Column { NameColumn = 0, ValueColumn = 1, ChannelColumn = 2 };
    enum Tab { BasicTab = 0, ConfigTab = 1, InputTab = 2, MemoryTab = 3 };

    explicit SlaveInfoView(QWidget *parent = nullptr);
    ~SlaveInfoView() override;

    // Shows the slave among the slaves of its bus; null shows nothing.
    void setSlave(const SlaveSnapshot &slave, const SlaveList &slaves);
    void clear();
    const SlaveSnapshot &slave() const { return m_slave; }

    // What the user sees, for the page and for tests.
    QStringList basicRows() const; // "label|value"
    QStringList inputRows() const; // "channel|address|type|value"
    int rowOf(int paramType) const;
    QLineEdit *lineEditOf(int paramType) const;
    QComboBox *comboOf(int paramType) const;
    QComboBox *channelComboOf(bool input) const;
    QPushButton *applyButton() const;
    QPushButton *ioTestButton() const;
    SwapMemoryView *memoryView() const;
    bool isEdited() const { return m_edited; }
    QString hint() const;

    // The record the rows describe; an empty record and the reason when a
    // row holds what the module cannot take.
    struct Result {
        QByteArray record;
        QString refusal;
    };
    Result buildRecord() const;

    // Opens the configuration with the station row ready for typing.
    void focusStation();

signals:
    // An accepted edit, for the slave's Adapter.
    void sigApplyConfig(quint64 recordId, QByteArray record);
    void sigRestConfig();
    // Open the IO test window of the slave shown.
    void sigSlaveDataTest();
    // The area a start-address row now describes (bits), for the address view.
    void sigShowCurrSwapMemoryView(int start, int leng, int station, int type);
    void sigCurrentChanged(int index);

public slots:
    void onIOChannelChange(int index);
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_clicked();
    void updateOItem();
    void onUpdateDataItem();
    void on_SlaveInfoView_currentChanged(int index);

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    struct Row {
        int paramType = 0;
        int item = 0; // index in "CONFIG-DATA"
        QString label;
        QLineEdit *edit = nullptr;
        QComboBox *combo = nullptr;
        QComboBox *channels = nullptr;
        QString loadedText; // what the row showed when loaded
        int loadedStart = 0;
    };

    void loadConfiguration();
    void addRow(int itemIndex, const ItemState &item);
    void markEdited();
    void showPreview();
    // The start (bits) and the area (bits) an address row describes; false
    // with the reason when it describes none the module could take.
    bool areaOf(const Row &row, int &start, int &count, int &bits, QString &refusal) const;
    const Row *rowFor(int paramType) const;
    const Row *addressRow(bool input) const;
    int channelsOf(const Row &row) const;
    bool editable() const;
    void showHint();
    void refuse(const QString &text);

    Ui::SlaveInfoView *ui;
    QPushButton *m_ioTest;
    SlaveSnapshot m_slave;
    SlaveList m_slaves;
    QList<Row> m_rows;
    QByteArray m_loadedRecord;
    int m_loadedAlignment = 0;
    bool m_edited = false;
    int m_currentTab = 0;
};
