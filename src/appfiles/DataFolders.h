#pragma once

#include <QString>
#include <QStringList>

// Where the device descriptions (Xml/), the module pictures (SVG/) and the
// bus files of the virtual adapter (buses/) are found. The same lookup for
// the window and the command line.
//
// Folders are searched in this order, each under the name
// AppIdentity::applicationName():
//   1. the user's data folder (~/.local/share/tarnbus-tester), where the
//      user's own imports go;
//   2. the system's data folders (XDG_DATA_DIRS: /usr/local/share/...,
//      /usr/share/tarnbus-tester), where the package installs them;
//   3. the working folder ("."), as a checkout or an unpacked copy has them;
//   4. share/tarnbus-tester beside the program's folder (a copy installed
//      under another prefix).
// A folder met twice counts once, where it was met first.
namespace DataFolders {

const QString kDescriptions = QStringLiteral("Xml");
const QString kPictures = QStringLiteral("SVG");
const QString kBuses = QStringLiteral("buses");

// The folders searched, first to last, whether they exist or not. The
// working folder is ".", so that what is found there reads as before
// ("./Xml/...").
QStringList roots();

// subfolder under each root where it exists as a folder, in search order.
QStringList existing(const QString &subfolder, const QStringList &searched = roots());

// The first existing file of this relative name (for example
// "SVG/Digital/TB-DI8-N.svg") under the roots; an absolute name is taken as
// it is. Empty when there is none.
QString locate(const QString &relativeName, const QStringList &searched = roots());

// subfolder of the user's data folder, where the program writes (the
// import of descriptions and pictures). Not created here.
QString userFolder(const QString &subfolder);

// The file names found in the folders, each once: a file of the user's
// folder hides one of the same name in the system's (a description the
// user imported replaces the shipped one), and so on down the order. The
// result holds full paths, by folder in search order, by name within a
// folder.
QStringList mergedFiles(const QStringList &folders);

// The demonstration bus: buses/demo.json in the data folders, else the
// checkout's sim/buses/demo.json in the working folder. Empty when neither
// is there.
QString demoBus();

} // namespace DataFolders
