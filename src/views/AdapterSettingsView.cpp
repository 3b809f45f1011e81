#include "AdapterSettingsView.h"

#include "FormTexts.h"
#include "ui_AdapterSettingsView.h"

namespace as = appcore::AdapterSettings;

AdapterSettingsView::AdapterSettingsView(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::AdapterSettingsView)
{
    ui->setupUi(this);
    for (QComboBox *box : switches())
        connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &AdapterSettingsView::updateButtons);
    connect(ui->spinBox, QOverload<int>::of(&QSpinBox::valueChanged), this, &AdapterSettingsView::updateButtons);
    showState(AdapterState(), true);
}

AdapterSettingsView::~AdapterSettingsView()
{
    delete ui;
}

QList<QComboBox *> AdapterSettingsView::switches() const
{
    return {ui->comboBox, ui->comboBox_2, ui->comboBox_3, ui->comboBox_4};
}

void AdapterSettingsView::showState(const AdapterState &state, bool offline)
{
    const QList<as::Field> fields = as::fields(state);
    const bool complete = fields.size() == as::kSwitchCount + 1;
    // Only other reported settings replace what the user is editing.
    if (complete
        && (!m_hasReport || state.settingsByte != m_reported.settingsByte || state.threshold != m_reported.threshold
            || state.infoItems != m_reported.infoItems)) {
        m_reported = state;
        m_hasReport = true;
        fillFromReport();
    }
    m_editable = !offline && complete && state.linked && !state.forceMode;
    // Settings the adapter could not be asked for are not shown as if they
    // were its own: the form stays empty until a good read.
    const bool unknown = !offline && state.linked && !state.settingsKnown;
    if (unknown && m_hasReport) {
        m_hasReport = false;
        for (QComboBox *box : switches()) {
            const QSignalBlocker quiet(box);
            box->setCurrentIndex(-1);
        }
        const QSignalBlocker quietSpin(ui->spinBox);
        ui->spinBox->setSpecialValueText(tr("未知"));
        ui->spinBox->setValue(ui->spinBox->minimum());
    }

    const char *hint = QT_TR_NOOP("写入后适配器将重启,约需数秒后重新链接。");
    if (offline)
        hint = QT_TR_NOOP("离线组态没有适配器参数。");
    else if (unknown)
        hint = QT_TR_NOOP("适配器参数未能读取,不可修改。请重新链接适配器。");
    else if (!complete || !state.linked)
        hint = QT_TR_NOOP("适配器未链接,参数不可修改。");
    else if (state.forceMode)
        hint = QT_TR_NOOP("强制模式下不可修改适配器参数。");
    m_hint = hint;
    ui->hintLabel->setText(tr(hint));

    for (QComboBox *box : switches())
        box->setEnabled(m_editable);
    ui->checkBox->setEnabled(m_editable);
    ui->spinBox->setEnabled(m_editable && ui->checkBox->isChecked());
    updateButtons();
}

void AdapterSettingsView::fillFromReport()
{
    const QList<as::Field> fields = as::fields(m_reported);
    const QList<QLabel *> labels{ui->label, ui->label_2, ui->label_3, ui->label_4, ui->label_5};
    for (int i = 0; i < fields.size() && i < labels.size(); ++i)
        labels.at(i)->setText(fields.at(i).name);
    const QList<QComboBox *> boxes = switches();
    for (int bit = 0; bit < as::kSwitchCount; ++bit) {
        QComboBox *box = boxes.at(bit);
        const QSignalBlocker quiet(box);
        box->clear();
        box->addItems(fields.at(bit).options);
        box->setCurrentIndex(fields.at(bit).value);
    }
    const QSignalBlocker quietSpin(ui->spinBox);
    const QSignalBlocker quietCheck(ui->checkBox);
    ui->spinBox->setSpecialValueText(QString());
    ui->spinBox->setValue(m_reported.threshold);
    ui->checkBox->setChecked(false);
    ui->spinBox->setEnabled(false);
}

as::Edit AdapterSettingsView::edit() const
{
    as::Edit edit;
    for (const QComboBox *box : switches())
        edit.switches << qMax(0, box->currentIndex());
    edit.changeThreshold = ui->checkBox->isChecked();
    // Unless the adapter is to take a new threshold, the reported one stands.
    edit.threshold = edit.changeThreshold ? ui->spinBox->value() : m_reported.threshold;
    return edit;
}

void AdapterSettingsView::updateButtons()
{
    const as::Edit current = edit();
    const bool changed = m_hasReport
                         && (as::settingsByte(current, m_reported.settingsByte) != m_reported.settingsByte
                             || current.changeThreshold);
    ui->pushButton->setEnabled(m_editable && changed);
    ui->pushButton_2->setEnabled(changed);
}

void AdapterSettingsView::on_pushButton_clicked()
{
    if (!m_editable)
        return;
    const as::Edit current = edit();
    emit sigWriteSettings(as::settingsByte(current, m_reported.settingsByte), quint16(current.threshold),
                          current.changeThreshold);
}

void AdapterSettingsView::on_pushButton_2_clicked()
{
    fillFromReport();
    updateButtons();
}

void AdapterSettingsView::on_checkBox_toggled(bool checked)
{
    ui->spinBox->setEnabled(m_editable && checked);
    updateButtons();
}

void AdapterSettingsView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        FormTexts::retranslateKeeping(this, {ui->hintLabel}, false, [this] { ui->retranslateUi(this); });
        if (m_hint)
            ui->hintLabel->setText(tr(m_hint));
    }
    QWidget::changeEvent(event);
}
