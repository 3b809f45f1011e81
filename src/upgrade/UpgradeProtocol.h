#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The boot loader's upgrade protocol: 65-byte output reports (report id
// 0x00, marker 0x5A, command code, arguments, zero padding) and 65-byte
// replies (marker, command code, two result bytes, data). Plain functions
// over bytes; the transfer and the dialog call them.
namespace upgradeprotocol {

constexpr int kReportSize = 65;      // report id + 64 bytes
constexpr int kReplySize = 65;       // as read; a device sends 64
constexpr quint8 kMarker = 0x5A;
constexpr int kPieceSize = 60;       // data bytes of one 0xA3 report
constexpr int kPiecesPerBlock = 17;  // 17 x 60 = 1020 bytes, then one of 4
constexpr int kLastPieceSize = 4;

enum Command : quint8 {
    CmdDeviceInfo = 0xB0,
    CmdEnterUpgrade = 0xA0,
    CmdStartBurning = 0xA7,
    CmdBeginTransfer = 0xA1,
    CmdAnnounceBlock = 0xA2,
    CmdBlockData = 0xA3,
    CmdFinishFirst = 0xA4,
    CmdFinishSecond = 0xA5,
    CmdRestart = 0xA6,
};

// One output report; arguments land at report byte 3 on.
QByteArray report(quint8 command, const QByteArray &arguments = QByteArray());
// 0xA2 with the block address, most significant byte first.
QByteArray announceBlock(quint32 address);
// 0xA3 with 1 to 60 data bytes.
QByteArray blockData(const char *data, int length);
// What the search sends every device after reading its information: the
// restart command with the arguments 0x08 0x00 0x40.
QByteArray searchRestart();

// Reply tests. A reply matches a command when it starts with the marker and
// that command's code; success is 0xFF 0x00 in bytes 2 and 3, refusal 0x00 0xFF.
bool matches(const QByteArray &reply, quint8 command);
bool succeeded(const QByteArray &reply, quint8 command);
bool refused(const QByteArray &reply, quint8 command);
// The start address of a 0xA7 reply, bytes 4 to 7, most significant first.
quint32 startAddress(const QByteArray &reply);

// The information a device gives in reply to 0xB0.
struct DeviceInfo {
    int hardware = 0;
    QString bootVersion; // letter and three numbers, "V1.0.3"
    QString appVersion;
    QString type;
};
DeviceInfo decodeDeviceInfo(const QByteArray &reply);

// Version comparison of the package (from the upgrade file) with a device's
// App version text.
enum class VersionOrder {
    Unreadable, // the App version names neither "V" nor "T"
    Equal,
    PackageLower,
    PackageHigher,
};
VersionOrder compareVersions(const QString &packageVersion, const QString &appVersion);

// Whether an upgrade file of this category is meant for a device reporting
// this type ("TBC-U100" fits "TBC-U100" and "TBC-U100 Coupler", not
// "TBC-U200 Coupler"): the category is one of the type's words, letter case
// aside. A file without a category says nothing against any device.
bool categoryFits(const QString &category, const QString &deviceType);

// The numbers of a version a device gives: the App version text is a letter
// and three of them.
constexpr int kDeviceVersionParts = 3;

// Whether a device's App version text is the package version: its three
// numbers are the package version's first three (a missing part counts as
// 0), each as the one signed byte the device holds for it. Parts after the
// third cannot be told by a device and are not compared.
bool isPackageVersion(const QString &appVersion, const QString &packageVersion);

} // namespace upgradeprotocol
