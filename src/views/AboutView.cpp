#include "AboutView.h"


#include "ui_AboutView.h"

#include <QEvent>
#include <QPushButton>

AboutView::AboutView(const QString &version, const QString &hidapiVersion, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::AboutView)
    , m_version(version)
    , m_hidapiVersion(hidapiVersion)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    fillTexts();
}

void AboutView::fillTexts()
{
    ui->buttonBox->button(QDialogButtonBox::Close)->setText(tr("关闭"));
    ui->version->setText(tr("版本 %1").arg(m_version));
    const QString hidapi = m_hidapiVersion.isEmpty() ? QStringLiteral("hidapi") : QStringLiteral("hidapi ") + m_hidapiVersion;
    QStringList paragraphs;
    paragraphs << tr("<p><b>Qt %1</b>(运行时 %2)<br>Qt 以 GNU 宽通用公共许可证第 3 版 (LGPL v3) 发布,"
                     "其源代码及许可条款见 <a href=\"https://www.qt.io/licensing/\">https://www.qt.io/licensing/</a>。</p>")
                      .arg(QStringLiteral(QT_VERSION_STR), QString::fromLatin1(qVersion()));
    paragraphs << tr("<p><b>%1</b><br>hidapi 可按 BSD 许可证、GNU GPL v3 或原 HIDAPI 许可证使用;本程序按 BSD 许可证使用。"
                     "见 <a href=\"https://github.com/libusb/hidapi\">https://github.com/libusb/hidapi</a>。</p>")
                      .arg(hidapi);
    paragraphs << tr("<p>本程序中的图标与模块图片由本项目绘制。</p>");
    ui->licences->setHtml(paragraphs.join(QString()));
}

AboutView::~AboutView()
{
    delete ui;
}

QString AboutView::versionText() const
{
    return ui->version->text();
}

QString AboutView::licenceText() const
{
    return ui->licences->toPlainText();
}

void AboutView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        fillTexts();
    }
    QDialog::changeEvent(event);
}
