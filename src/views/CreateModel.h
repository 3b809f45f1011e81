#pragma once

#include <DeviceXmlLodaing.h>

#include <QList>
#include <QPixmap>
#include <QStandardItemModel>
#include <QString>

class QMimeData;

// The module types of the description library, grouped by class (DI, DO,
// DIO, ...), each with its picture and its name: the model behind the
// product catalogue and module creation. A type leaves by drag as its type
// key ("#0000" and the type code).
class CreateModel : public QStandardItemModel
{
    Q_OBJECT

public:
    static const QString kMimeType; // "application/x-tarnbus-module"
    enum Role {
        TypeKeyRole = Qt::UserRole + 1, // module types only
        ClassRole,                      // "DI", "DO", ...
        DescriptionRole,                // the description's name
        ImagePathRole,
        DetailsRole, // channels and bits, as a line of text
    };

    explicit CreateModel(QObject *parent = nullptr);

    // Builds the types of this library; the first description of a type wins.
    void reload(const QList<DescriptionFilePtr> &library);
    // The same from the process-wide library.
    void reload();

    QModelIndex indexOfType(const QString &typeKey) const;
    // The types a module can be made of (not those without a slave kind).
    QStringList typeKeys() const;
    // The class groups, in order.
    QStringList groups() const;

    // A module's picture scaled into size, keeping its shape; a grey block
    // when the picture cannot be read.
    static QPixmap picture(const QString &imagePath, const QSize &size);
    static QString typeKeyOf(const QMimeData *data);

    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
};
