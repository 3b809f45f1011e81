#include "CreateSlaveView.h"

#include "FormTexts.h"

#include "CreateModel.h"
#include "MessageBox.h"
#include "SlaveEditChecks.h"
#include "ui_CreateSlaveView.h"

namespace {
constexpr int kBoxWidth = 240;
const QSize kPictureSize(110, 200);
} // namespace

CreateSlaveView::CreateSlaveView(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CreateSlaveView)
    , m_model(new CreateModel(this))
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_model->reload();
    ui->typeView->setModel(m_model);
    ui->typeView->setIconSize(QSize(30, 56));
    ui->typeView->expandAll();
    connect(ui->typeView->selectionModel(), &QItemSelectionModel::currentChanged, this, &CreateSlaveView::showType);
    connect(ui->typeView, &QTreeView::doubleClicked, this, &CreateSlaveView::on_addButton_clicked);
    connect(ui->stationBox, QOverload<int>::of(&QSpinBox::valueChanged), this, [this](int station) {
        ui->stationHint->setText(m_taken.contains(station) ? tr("站号%1已被占用").arg(station) : QString());
    });
    proposeStation();
    showType();
}

CreateSlaveView::~CreateSlaveView()
{
    delete ui;
}

void CreateSlaveView::setSlaves(const SlaveList &slaves)
{
    m_taken.clear();
    for (const SlaveSnapshot &slave : slaves) {
        if (slave->newStationId != 0)
            m_taken.insert(slave->newStationId);
    }
    if (m_taken.contains(station()))
        proposeStation();
    emit ui->stationBox->valueChanged(station());
}

void CreateSlaveView::proposeStation()
{
    int station = 1;
    while (station < appcore::kMaxStation && m_taken.contains(station))
        ++station;
    ui->stationBox->setValue(station);
}

void CreateSlaveView::selectType(const QString &typeKey)
{
    const QModelIndex index = m_model->indexOfType(typeKey);
    if (index.isValid())
        ui->typeView->setCurrentIndex(index);
    showType();
}

QString CreateSlaveView::selectedType() const
{
    return ui->typeView->currentIndex().data(CreateModel::TypeKeyRole).toString();
}

void CreateSlaveView::setStation(int station)
{
    ui->stationBox->setValue(station);
}

int CreateSlaveView::station() const
{
    return ui->stationBox->value();
}

void CreateSlaveView::showType()
{
    const QModelIndex index = ui->typeView->currentIndex();
    const QString key = index.data(CreateModel::TypeKeyRole).toString();
    if (key.isEmpty()) {
        ui->picture->clear();
        ui->typeName->setText(tr("请选择模块类型"));
        ui->description->clear();
        return;
    }
    ui->picture->setPixmap(CreateModel::picture(index.data(CreateModel::ImagePathRole).toString(), kPictureSize));
    ui->typeName->setText(index.data(Qt::DisplayRole).toString());
    ui->description->setText(index.data(CreateModel::DescriptionRole).toString() + QLatin1Char('\n')
                             + index.data(CreateModel::DetailsRole).toString());
}

void CreateSlaveView::on_addButton_clicked()
{
    const QString key = selectedType();
    if (key.isEmpty()) {
        MessageBox::notify(this, tr("警告"), tr("请选择模块类型!"), MessageBox::Warning, kBoxWidth);
        return;
    }
    const int sid = station();
    if (m_taken.contains(sid)) {
        MessageBox::notify(this, tr("警告"), tr("从站站号冲突,添加%1站号失败!").arg(sid), MessageBox::Warning, kBoxWidth);
        return;
    }
    emit sigCreateSlave(sid, key.toLatin1());
    ui->added->setText(tr("已添加 %1 到站号 %2").arg(ui->typeName->text()).arg(sid));
    // The next module goes to the next free station, whatever the manager
    // reports meanwhile.
    m_taken.insert(sid);
    proposeStation();
}

void CreateSlaveView::on_closeButton_clicked()
{
    accept();
}

void CreateSlaveView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        FormTexts::retranslateKeeping(this, {ui->added, ui->description, ui->stationHint, ui->typeName}, false, [this] { ui->retranslateUi(this); });
        if (ui->typeView->currentIndex().data(CreateModel::TypeKeyRole).toString().isEmpty())
            ui->typeName->setText(tr("请选择模块类型"));
    }
    QDialog::changeEvent(event);
}
