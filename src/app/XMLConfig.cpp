#include "XMLConfig.h"

#include "FormTexts.h"

#include "DataFolders.h"
#include "DescriptionImport.h"
#include "DescriptionParser.h"
#include "DeviceXmlLodaing.h"
#include "FileChooser.h"
#include "RecentFolders.h"
#include "MessageBox.h"
#include "ui_XMLConfig.h"

#include <QEvent>
#include <QDir>
#include <QHeaderView>

namespace {
constexpr int kNoticeWidth = 210;
constexpr int kRefusalWidth = 320;
const char *const kClasses[] = {"DI", "DO", "DIO", "DIDO", "AI", "AO", "AIO", "AIAO"};
} // namespace

XMLConfig::XMLConfig(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::XMLConfig)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    ui->treeWidget->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(ui->treeWidget, &QTreeWidget::itemClicked, this, &XMLConfig::onCreateImage);
}

XMLConfig::~XMLConfig()
{
    delete ui;
}

QTreeWidget *XMLConfig::tree() const
{
    return ui->treeWidget;
}

void XMLConfig::fill()
{
    QTreeWidget *tree = ui->treeWidget;
    tree->clear();
    const QIcon addImage(QStringLiteral(":/image/edit.png"));
    for (const DescriptionFilePtr &file : DeviceXmlLodaing::instance()->files()) {
        auto *top = new QTreeWidgetItem(tree);
        top->setText(kNameColumn, file->fileName);
        top->setText(kAddImageColumn, tr("Add Image"));
        top->setIcon(kAddImageColumn, addImage);
        top->setToolTip(kAddImageColumn, tr("为该描述添加模块图片"));
        top->setText(kImageDirColumn, file->imageDir);
        QList<QTreeWidgetItem *> classRows;
        for (const char *moduleClass : kClasses)
            classRows << new QTreeWidgetItem(top, QStringList{QString::fromLatin1(moduleClass)});
        for (const auto &entry : file->modules) {
            const ModuleDescription &module = *entry.second;
            const int code = isDeviceType(module.moduleClass);
            if (code >= 0 && code < classRows.size())
                new QTreeWidgetItem(classRows.at(code), QStringList{module.typeName, module.moduleIdent, module.name});
        }
    }
}

void XMLConfig::on_pushButton_clicked()
{
    FileChooser::openFile(this, tr("Config file"), RecentFolders::kDescription,
                          QStringLiteral("(*.xml)"),
                          [this](const QString &path) { ui->lineEdit->setText(QDir::toNativeSeparators(path)); });
}

void XMLConfig::on_pushButton_2_clicked()
{
    const QString path = QDir::fromNativeSeparators(ui->lineEdit->text().trimmed());
    if (path.isEmpty()) {
        MessageBox::notify(this, tr("警告"), tr("请先选择XML文件!"), MessageBox::Warning, kNoticeWidth);
        return;
    }
    const DescriptionImport::Outcome outcome = DescriptionImport::importDescription(path, DataFolders::userFolder(DataFolders::kDescriptions));
    if (!outcome.ok) {
        MessageBox::notify(this, tr("警告"), tr("导入XML文件失败!\n%1").arg(outcome.error), MessageBox::Warning,
                           kRefusalWidth);
        return;
    }
    // The library is reloaded before success is said.
    emit sigLoadXML();
    MessageBox::notify(parentWidget(), tr("提示"), tr("导入XML文件成功！"), MessageBox::Information, kNoticeWidth);
    accept();
}

void XMLConfig::onCreateImage(QTreeWidgetItem *item, int column)
{
    if (!item || item->parent() || column != kAddImageColumn)
        return;
    const QString imageDir = item->text(kImageDirColumn);
    const QString folder = DescriptionImport::pictureFolder(imageDir, DataFolders::userFolder(DataFolders::kPictures));
    if (folder.isEmpty()) {
        MessageBox::notify(this, tr("警告"),
                           tr("%1 的图片文件夹名\"%2\"无效,不能添加图片。").arg(item->text(kNameColumn), imageDir),
                           MessageBox::Warning, kRefusalWidth);
        return;
    }
    FileChooser::openFiles(this, tr("Image file"), RecentFolders::kPicture,
                           QStringLiteral("(*)"), [this, folder](const QStringList &files) { addPictures(folder, files); });
}

void XMLConfig::addPictures(const QString &folder, const QStringList &files)
{
    QStringList errors;
    for (const QString &file : files) {
        const DescriptionImport::Outcome outcome = DescriptionImport::importPicture(file, folder);
        if (!outcome.ok)
            errors << outcome.error;
    }
    if (errors.isEmpty())
        MessageBox::notify(this, tr("提示"), tr("      图片添加完成！    "), MessageBox::Information, kNoticeWidth);
    else
        MessageBox::notify(this, tr("警告"), tr("图片添加失败!\n%1").arg(errors.join(QLatin1Char('\n'))),
                           MessageBox::Warning, kRefusalWidth);
}

void XMLConfig::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        FormTexts::retranslateKeeping(this, {ui->lineEdit}, false, [this] { ui->retranslateUi(this); });
    QDialog::changeEvent(event);
}
