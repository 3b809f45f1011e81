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

// Each dialog starts in the folder last used for its kind of file
// (RecentFolders: configuration, report, description, picture), the user's
// documents folder the first time, and remembers the folder of the file
// chosen.
QFileDialog *openFile(QWidget *parent, const QString &caption, const QString &kind, const QString &filter,
                      std::function<void(const QString &)> chosen);
QFileDialog *openFiles(QWidget *parent, const QString &caption, const QString &kind, const QString &filter,
                       std::function<void(const QStringList &)> chosen);
// A name typed without a suffix gets defaultSuffix; suggestedName, when
// given, is offered in the folder.
QFileDialog *saveFile(QWidget *parent, const QString &caption, const QString &kind, const QString &filter,
                      const QString &defaultSuffix, std::function<void(const QString &)> chosen,
                      const QString &suggestedName = QString());

} // namespace FileChooser
