#pragma once

#include <QString>
#include <QWidget>

class CreateModel;
class QLineEdit;
class QSortFilterProxyModel;
class QTreeView;

// The product catalogue on the right of the main window: the module types
// of the loaded description library by class, with their pictures. A type
// is added to an offline configuration by a double-click or by dragging it
// onto the configuration's topology.
class ProductView : public QWidget
{
    Q_OBJECT

public:
    explicit ProductView(QWidget *parent = nullptr);

    // The catalogue is filled when it is first shown or looked at (the
    // pictures of every type are drawn then, not at the window's start).
    CreateModel *model() const
    {
        fill();
        return m_model;
    }
    QTreeView *tree() const
    {
        fill();
        return m_tree;
    }
    QLineEdit *search() const { return m_search; }
    // The types shown under the search, by type key.
    QStringList shownTypes() const;

public slots:
    // The library again (after descriptions were imported).
    void reload();

signals:
    // A type was chosen for the offline configuration in front.
    void sigCreateModule(QString typeKey);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Reads the library into the catalogue if it has not yet, or if it was
    // reloaded since.
    void fill() const;

    mutable bool m_stale = true;
    CreateModel *m_model;
    QSortFilterProxyModel *m_filter;
    QLineEdit *m_search;
    QTreeView *m_tree;
};
