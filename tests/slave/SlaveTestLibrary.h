#pragma once

#include <DeviceXmlLodaing.h>
#include <Slave.h>
#include <SlaveFactory.h>

#include <QString>

#include <memory>

// The fixture family of description files (one module of every class).
namespace SlaveTestLibrary {

inline QString fixtureFile()
{
    return QStringLiteral("tests/fixtures/xml/TestFamily.xml");
}

inline QList<DescriptionFilePtr> fixture()
{
    static QList<DescriptionFilePtr> library;
    if (library.isEmpty()) {
        DeviceXmlLodaing::instance()->loadFolder(QStringLiteral("tests/fixtures/xml"));
        library = DeviceXmlLodaing::instance()->files();
    }
    return library;
}

inline std::unique_ptr<Slave> create(const QString &ident, int station = 5)
{
    return std::unique_ptr<Slave>(SlaveFactory::createFrom(fixture(), ident, station));
}

const QString kDI = QStringLiteral("#0000F101");
const QString kDO = QStringLiteral("#0000F201");
const QString kDIO = QStringLiteral("#0000F301");
const QString kDIDO = QStringLiteral("#0000F401");
const QString kAI = QStringLiteral("#0000F501");
const QString kAO = QStringLiteral("#0000F601");
const QString kAIO = QStringLiteral("#0000F701");
const QString kAIAO = QStringLiteral("#0000F801");
const QString kLowerCaseDI = QStringLiteral("#0000F901");
const QString kNoPdo = QStringLiteral("#0000FA01");

} // namespace SlaveTestLibrary
