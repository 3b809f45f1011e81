#include "FileChooser.h"

#include "RecentFolders.h"

#include <QFileDialog>

namespace FileChooser {

namespace {

QFileDialog *prepare(QWidget *parent, const QString &caption, const QString &kind, const QString &filter,
                     QFileDialog::FileMode mode, QFileDialog::AcceptMode accept,
                     std::function<void(const QStringList &)> chosen)
{
    auto *dialog = new QFileDialog(parent, caption, RecentFolders::start(kind), filter);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(mode);
    dialog->setAcceptMode(accept);
    QObject::connect(dialog, &QFileDialog::filesSelected, dialog, [kind, chosen = std::move(chosen)](const QStringList &files) {
        if (files.isEmpty())
            return;
        RecentFolders::remember(kind, files.first());
        chosen(files);
    });
    return dialog;
}

} // namespace

QFileDialog *openFile(QWidget *parent, const QString &caption, const QString &kind, const QString &filter,
                      std::function<void(const QString &)> chosen)
{
    QFileDialog *dialog = prepare(parent, caption, kind, filter, QFileDialog::ExistingFile, QFileDialog::AcceptOpen,
                                  [chosen = std::move(chosen)](const QStringList &files) { chosen(files.first()); });
    dialog->open();
    return dialog;
}

QFileDialog *openFiles(QWidget *parent, const QString &caption, const QString &kind, const QString &filter,
                       std::function<void(const QStringList &)> chosen)
{
    QFileDialog *dialog = prepare(parent, caption, kind, filter, QFileDialog::ExistingFiles,
                                  QFileDialog::AcceptOpen, std::move(chosen));
    dialog->open();
    return dialog;
}

QFileDialog *saveFile(QWidget *parent, const QString &caption, const QString &kind, const QString &filter,
                      const QString &defaultSuffix, std::function<void(const QString &)> chosen,
                      const QString &suggestedName)
{
    QFileDialog *dialog = prepare(parent, caption, kind, filter, QFileDialog::AnyFile, QFileDialog::AcceptSave,
                                  [chosen = std::move(chosen)](const QStringList &files) { chosen(files.first()); });
    dialog->setDefaultSuffix(defaultSuffix);
    if (!suggestedName.isEmpty())
        dialog->selectFile(suggestedName);
    dialog->open();
    return dialog;
}

} // namespace FileChooser
