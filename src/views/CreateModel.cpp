#include "CreateModel.h"

#include <QFile>
#include <QSet>
#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>

#include <DataFolders.h>
#include <SlaveFactory.h>
#include <TarnBaseConvert.h>

const QString CreateModel::kMimeType = QStringLiteral("application/x-tarnbus-module");

namespace {

const QString kFallbackIdent = QStringLiteral("#00000000");
const QSize kIconSize(38, 70);

QString classTitle(int code, const QString &moduleClass)
{
    switch (code) {
    case TarnBase::ModuleDI:
        return CreateModel::tr("DI  数字量输入");
    case TarnBase::ModuleDO:
        return CreateModel::tr("DO  数字量输出");
    case TarnBase::ModuleDIO:
        return CreateModel::tr("DIO  数字量输入输出");
    case TarnBase::ModuleDIDO:
        return CreateModel::tr("DIDO  数字量输入/输出");
    case TarnBase::ModuleAI:
        return CreateModel::tr("AI  模拟量输入");
    case TarnBase::ModuleAO:
        return CreateModel::tr("AO  模拟量输出");
    case TarnBase::ModuleAIO:
        return CreateModel::tr("AIO  模拟量输入输出");
    case TarnBase::ModuleAIAO:
        return CreateModel::tr("AIAO  模拟量输入/输出");
    default:
        return moduleClass.isEmpty() ? CreateModel::tr("其他") : moduleClass;
    }
}

QString detailsOf(const ModuleDescription &module)
{
    QStringList parts;
    if (module.inputChannelCount > 0)
        parts << CreateModel::tr("%1 路输入").arg(module.inputChannelCount);
    if (module.outputChannelCount > 0)
        parts << CreateModel::tr("%1 路输出").arg(module.outputChannelCount);
    if (module.bitSize > 1)
        parts << CreateModel::tr("每路 %1 位").arg(module.bitSize);
    return parts.join(QStringLiteral(", "));
}

} // namespace

CreateModel::CreateModel(QObject *parent)
    : QStandardItemModel(parent)
{
    setColumnCount(1);
}

void CreateModel::reload()
{
    reload(DeviceXmlLodaing::instance()->files());
}

void CreateModel::reload(const QList<DescriptionFilePtr> &library)
{
    clear();
    setColumnCount(1);
    QMap<int, QStandardItem *> groups;
    QSet<QString> seen;
    const QStringList pictureRoots = DataFolders::roots();
    for (const DescriptionFilePtr &file : library) {
        for (const auto &entry : file->modules) {
            const ModuleDescription &module = *entry.second;
            // The fallback describes modules the library does not know; no
            // such module can be made.
            if (module.moduleIdent == kFallbackIdent || seen.contains(module.moduleIdent))
                continue;
            seen.insert(module.moduleIdent);
            const int code = TarnBase::TarnBaseConvert::moduleTypeCode(module.moduleClass);
            QStandardItem *group = groups.value(code);
            if (!group) {
                group = new QStandardItem(classTitle(code, module.moduleClass));
                group->setFlags(Qt::ItemIsEnabled);
                QFont bold = group->font();
                bold.setBold(true);
                group->setFont(bold);
                group->setData(module.moduleClass, ClassRole);
                groups.insert(code, group);
            }
            const QString imagePath = DataFolders::locate(DataFolders::kPictures + QLatin1Char('/') + module.imageDir
                                                          + QLatin1Char('/') + module.image,
                                                          pictureRoots);
            auto *item = new QStandardItem(QIcon(picture(imagePath, kIconSize)), module.typeName);
            item->setToolTip(module.name + QLatin1Char('\n') + detailsOf(module));
            if (!SlaveFactory::hasKind(module.moduleClass)) {
                // Listed, but a module of it could only be an undefined one.
                item->setText(tr("%1 (不支持)").arg(module.typeName));
                item->setFlags(Qt::NoItemFlags);
                item->setToolTip(item->toolTip() + QLatin1Char('\n') + tr("没有对应的从站种类,不能添加。"));
                item->setData(module.moduleClass, ClassRole);
                item->setData(module.name, DescriptionRole);
                group->appendRow(item);
                continue;
            }
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
            item->setData(module.moduleIdent, TypeKeyRole);
            item->setData(module.moduleClass, ClassRole);
            item->setData(module.name, DescriptionRole);
            item->setData(imagePath, ImagePathRole);
            item->setData(detailsOf(module), DetailsRole);
            group->appendRow(item);
        }
    }
    // Classes in their code order; types within a class as the library lists them (by type code).
    for (QStandardItem *group : qAsConst(groups))
        appendRow(group);
}

QModelIndex CreateModel::indexOfType(const QString &typeKey) const
{
    const QModelIndexList found = match(index(0, 0), TypeKeyRole, typeKey, 1, Qt::MatchExactly | Qt::MatchRecursive);
    return found.value(0);
}

QStringList CreateModel::typeKeys() const
{
    QStringList keys;
    for (int g = 0; g < rowCount(); ++g) {
        const QStandardItem *group = item(g);
        for (int r = 0; r < group->rowCount(); ++r) {
            const QString key = group->child(r)->data(TypeKeyRole).toString();
            if (!key.isEmpty())
                keys << key;
        }
    }
    return keys;
}

QStringList CreateModel::groups() const
{
    QStringList out;
    for (int g = 0; g < rowCount(); ++g)
        out << item(g)->data(ClassRole).toString();
    return out;
}

QPixmap CreateModel::picture(const QString &imagePath, const QSize &size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QSvgRenderer renderer;
    if (QFile::exists(imagePath) && renderer.load(imagePath) && renderer.isValid()) {
        QSizeF shape = renderer.defaultSize();
        shape.scale(size, Qt::KeepAspectRatio);
        const QRectF target((size.width() - shape.width()) / 2, (size.height() - shape.height()) / 2, shape.width(),
                            shape.height());
        renderer.render(&painter, target);
    } else {
        painter.setPen(QColor(0x54, 0x6E, 0x7A));
        painter.setBrush(QColor(0xEC, 0xEF, 0xF1));
        painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 3, 3);
    }
    return pixmap;
}

QStringList CreateModel::mimeTypes() const
{
    return {kMimeType};
}

QMimeData *CreateModel::mimeData(const QModelIndexList &indexes) const
{
    for (const QModelIndex &index : indexes) {
        const QString key = index.data(TypeKeyRole).toString();
        if (key.isEmpty())
            continue;
        auto *data = new QMimeData;
        data->setData(kMimeType, key.toLatin1());
        data->setText(index.data(Qt::DisplayRole).toString());
        return data;
    }
    return nullptr;
}

QString CreateModel::typeKeyOf(const QMimeData *data)
{
    return data && data->hasFormat(kMimeType) ? QString::fromLatin1(data->data(kMimeType)) : QString();
}
