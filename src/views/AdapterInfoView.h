#pragma once

#include "AdapterTypes.h"

#include <QStringList>
#include <QTableWidget>

// The information table of one adapter: its identity, versions, settings,
// power and state, and the use of its process images, in sections.
class AdapterInfoView : public QTableWidget
{
    Q_OBJECT

public:
    explicit AdapterInfoView(QWidget *parent = nullptr);

    // inputUsed and outputUsed in bits; an offline configuration has no
    // identity, power or state to show.
    void showAdapter(const AdapterState &state, const AdapterStatus &status, quint16 inputUsed, quint16 outputUsed,
                     bool offline);

    // "label|value" of every row that is not a section title.
    QStringList rows() const;
    // The section titles, in order.
    QStringList sections() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    void setHeaderTexts();
    struct Line {
        bool section = false;
        QString label;
        QString value;
        QColor color;
        bool operator==(const Line &o) const
        {
            return section == o.section && label == o.label && value == o.value && color == o.color;
        }
    };
    void addSection(const QString &title);
    void addRow(const QString &label, const QString &value, const QColor &color = QColor());
    void redraw();

    QList<Line> m_lines;
    QList<Line> m_shown;
};
