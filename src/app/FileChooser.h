#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QFileDialog;
class QWidget;

// File dialogs that do not block the caller: the window keeps serving its
// adapters while the user picks a file. The callback runs only when the
// user has chosen; a cancelled dialog calls nothing. Each dialog deletes
// itself when it closes.
namespace FileChooser {

// Where the program's file dialogs start: the program's folder when the
// user may write there (a build, an unpacked copy), else the user's
// documents folder; an installed program's folder (/usr/bin) holds nothing
// of the user's and takes nothing.
QString startFolder();

QFileDialog *openFile(QWidget *parent, const QString &caption, const QString &directory, const QString &filter,
                      std::function<void(const QString &)> chosen);
QFileDialog *openFiles(QWidget *parent, const QString &caption, const QString &directory, const QString &filter,
                       std::function<void(const QStringList &)> chosen);
// A name typed without a suffix gets defaultSuffix.
QFileDialog *saveFile(QWidget *parent, const QString &caption, const QString &directory, const QString &filter,
                      const QString &defaultSuffix, std::function<void(const QString &)> chosen);

} // namespace FileChooser
