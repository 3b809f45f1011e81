#include "ProductView.h"

#include "CreateModel.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// A type matches by its model name or by its description's name.
class TypeFilter : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        const QString text = filterRegularExpression().pattern();
        if (text.isEmpty())
            return true;
        const QModelIndex index = sourceModel()->index(row, 0, parent);
        return index.data(Qt::DisplayRole).toString().contains(text, Qt::CaseInsensitive)
               || index.data(CreateModel::DescriptionRole).toString().contains(text, Qt::CaseInsensitive);
    }
};

} // namespace

ProductView::ProductView(QWidget *parent)
    : QWidget(parent)
    , m_model(new CreateModel(this))
    , m_filter(new TypeFilter(this))
    , m_search(new QLineEdit)
    , m_tree(new QTreeView)
{
    setObjectName(QStringLiteral("ProductView"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto *title = new QLabel(tr("产品目录"));
    title->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 14px;"));
    layout->addWidget(title);
    m_search->setPlaceholderText(tr("搜索型号或名称"));
    layout->addWidget(m_search);

    m_filter->setSourceModel(m_model);
    m_filter->setRecursiveFilteringEnabled(true);
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_filter->setFilterRegularExpression(QRegularExpression(text.trimmed()));
        m_tree->expandAll();
    });

    m_tree->setModel(m_filter);
    m_tree->header()->hide();
    // A narrow catalogue scrolls sideways rather than cutting names short.
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(false);
    m_tree->setTextElideMode(Qt::ElideNone);
    m_tree->setIconSize(QSize(38, 70));
    m_tree->setDragEnabled(true);
    m_tree->setDragDropMode(QAbstractItemView::DragOnly);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setIndentation(12);
    connect(m_tree, &QTreeView::doubleClicked, this, [this](const QModelIndex &index) {
        const QString key = index.data(CreateModel::TypeKeyRole).toString();
        if (!key.isEmpty())
            emit sigCreateModule(key);
    });
    layout->addWidget(m_tree, 1);

    auto *hint = new QLabel(tr("双击模块,或把它拖到离线组态的拓扑图上,即可添加到离线组态。"));
    hint->setWordWrap(true);
    hint->setStyleSheet(QStringLiteral("color: #607D8B;"));
    layout->addWidget(hint);
}

void ProductView::reload()
{
    m_stale = true;
    if (isVisible())
        fill();
}

void ProductView::fill() const
{
    if (!m_stale)
        return;
    m_stale = false;
    m_model->reload();
    m_tree->expandAll();
}

void ProductView::showEvent(QShowEvent *event)
{
    fill();
    QWidget::showEvent(event);
}

QStringList ProductView::shownTypes() const
{
    fill();
    QStringList keys;
    for (int g = 0; g < m_filter->rowCount(); ++g) {
        const QModelIndex group = m_filter->index(g, 0);
        for (int r = 0; r < m_filter->rowCount(group); ++r) {
            const QString key = m_filter->index(r, 0, group).data(CreateModel::TypeKeyRole).toString();
            if (!key.isEmpty())
                keys << key;
        }
    }
    return keys;
}
