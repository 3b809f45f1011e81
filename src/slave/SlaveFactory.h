#pragma once

#include <DeviceXmlLodaing.h>

#include <QList>
#include <QObject>
#include <QString>

class Slave;

// Turns a module identity reported by the adapter ("#0000" and the type code
// in four hexadecimal digits) into a slave of the right kind, filled from the
// module's description. Holds no state: every call reads the library anew.
class SlaveFactory : public QObject
{
    Q_OBJECT
public:
    static const QString kFallbackIdent; // "#00000000"

    explicit SlaveFactory(QObject *parent = nullptr);

    // A new slave owned by the caller; never null. Looks the identity up in
    // the process-wide description library.
    Slave *create(const QString &identity, int station) const;

    // The same over a given library (first collection holding the identity wins).
    static Slave *createFrom(const QList<DescriptionFilePtr> &library, const QString &identity, int station);

    // Modules of this class ("DI", "DO", ...) become slaves of a kind of
    // their own; others are shown as undefined.
    static bool hasKind(const QString &moduleClass);
};
