#include "CheckoutPdf.h"

#include "IoCheckout.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace appcore::checkout {

namespace {

// tr() of the context "CheckoutPdf", so that lupdate files the texts there.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(CheckoutPdf)
};

constexpr int kResolution = 300;
constexpr qreal kMarginMm = 15;

} // namespace

QString writePdf(const QString &path, const Checkout &checkout)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return Texts::tr("打印需要图形环境");
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return Texts::tr("无法创建文件夹 %1").arg(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    {
        QPdfWriter writer(&file);
        writer.setResolution(kResolution);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
        writer.setTitle(Texts::tr("IO检查报告 %1").arg(checkout.header.serial));
        writer.setCreator(QStringLiteral("TarnBUSTesterTool"));

        QTextDocument document;
        // Latin letters and digits from a Latin face: the CJK faces' CFF
        // digits reach the PDF without a text mapping, and a serial or UID
        // that cannot be searched or copied is of little use. Chinese falls
        // back to a CJK face.
        QFont font;
#if QT_VERSION >= QT_VERSION_CHECK(5, 13, 0)
        font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
#else
        font.setFamily(QStringLiteral("DejaVu Sans"));
#endif
        font.setPointSizeF(9);
        document.setDefaultFont(font);
        document.setHtml(checkout.reportHtml());
        // QTextDocument::print lays the pages out on the device and numbers them.
        document.print(&writer);
    }
    if (file.error() != QFileDevice::NoError) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

} // namespace appcore::checkout
