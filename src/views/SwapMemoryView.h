#pragma once

#include "SlaveSnapshot.h"

#include <QVector>
#include <QWidget>

// The used input and output address areas of an adapter: two grids of the
// 512 bits of each process image, 32 bits a row. A bit two modules claim is
// red; the bits of the selected slave are highlighted. While the selected
// slave's areas are being edited, the map shows the edited areas in their
// place (a preview), collisions included.
class SwapMemoryView : public QWidget
{
    Q_OBJECT

public:
    enum class Cell { Free, Used, Collision, Selected, SelectedCollision };
    static constexpr int kBits = 512;
    static constexpr int kColumns = 32;

    explicit SwapMemoryView(QWidget *parent = nullptr);

    void setSlaves(const SlaveList &slaves);
    // The slave whose bits are highlighted; 0 for none.
    void setHighlight(quint64 recordId);
    quint64 highlight() const { return m_highlight; }
    // The selected slave's area of one direction as it is being edited, in
    // bits; cleared with clearPreview or a new highlight.
    void setPreview(bool input, int start, int bits);
    void clearPreview();

    Cell cell(bool input, int bit) const;
    QString cellToolTip(bool input, int bit) const;
    // Bits the modules use (appcore::bitsInUse: shared bits count for each
    // module) and bits claimed twice or more, of one direction.
    int usedBits(bool input) const;
    int collidingBits(bool input) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    struct Area {
        int start = 0;
        int bits = 0;
    };
    struct Geometry {
        int cell = 0;
        int left = 0;
        QRect grid[2]; // inputs, outputs
        int titleTop[2] = {0, 0};
        int titleLeft[2] = {0, 0};
        int titleWidth[2] = {0, 0};
        int legendTop = 0;
    };
    Geometry geometry() const;
    static QSize stackedSize(int cell);
    Area areaOf(const SlaveState &slave, bool input) const;
    void recount();
    // The bit under a point, and its direction; false when none.
    bool bitAt(const QPoint &pos, bool &input, int &bit) const;

    SlaveList m_slaves;
    quint64 m_highlight = 0;
    bool m_hasPreview[2] = {false, false};
    Area m_preview[2];
    QVector<quint8> m_counts;   // 1024 counters: inputs, then outputs
    QVector<bool> m_selected;   // the same bits: the highlighted slave's
};
