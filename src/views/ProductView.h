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

    CreateModel *model() const { return m_model; }
    QTreeView *tree() const { return m_tree; }
    QLineEdit *search() const { return m_search; }
    // The types shown under the search, by type key.
    QStringList shownTypes() const;

public slots:
    // The library again (after descriptions were imported).
    void reload();

signals:
    // A type was chosen for the offline configuration in front.
    void sigCreateModule(QString typeKey);

private:
    CreateModel *m_model;
    QSortFilterProxyModel *m_filter;
    QLineEdit *m_search;
    QTreeView *m_tree;
};
