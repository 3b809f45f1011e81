#include "FileChooser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace FileChooser {

QString startFolder()
{
    const QString program = QCoreApplication::applicationDirPath();
    if (QFileInfo(program).isWritable())
        return program;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

namespace {

QFileDialog *prepare(QWidget *parent, const QString &caption, const QString &directory, const QString &filter,
                     QFileDialog::FileMode mode, QFileDialog::AcceptMode accept,
                     std::function<void(const QStringList &)> chosen)
{
    auto *dialog = new QFileDialog(parent, caption, directory, filter);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(mode);
    dialog->setAcceptMode(accept);
    QObject::connect(dialog, &QFileDialog::filesSelected, dialog, [chosen = std::move(chosen)](const QStringList &files) {
        if (!files.isEmpty())
            chosen(files);
    });
    return dialog;
}

} // namespace

QFileDialog *openFile(QWidget *parent, const QString &caption, const QString &directory, const QString &filter,
                      std::function<void(const QString &)> chosen)
{
    QFileDialog *dialog = prepare(parent, caption, directory, filter, QFileDialog::ExistingFile, QFileDialog::AcceptOpen,
                                  [chosen = std::move(chosen)](const QStringList &files) { chosen(files.first()); });
    dialog->open();
    return dialog;
}

QFileDialog *openFiles(QWidget *parent, const QString &caption, const QString &directory, const QString &filter,
                       std::function<void(const QStringList &)> chosen)
{
    QFileDialog *dialog = prepare(parent, caption, directory, filter, QFileDialog::ExistingFiles,
                                  QFileDialog::AcceptOpen, std::move(chosen));
    dialog->open();
    return dialog;
}

QFileDialog *saveFile(QWidget *parent, const QString &caption, const QString &directory, const QString &filter,
                      const QString &defaultSuffix, std::function<void(const QString &)> chosen)
{
    QFileDialog *dialog = prepare(parent, caption, directory, filter, QFileDialog::AnyFile, QFileDialog::AcceptSave,
                                  [chosen = std::move(chosen)](const QStringList &files) { chosen(files.first()); });
    dialog->setDefaultSuffix(defaultSuffix);
    dialog->open();
    return dialog;
}

} // namespace FileChooser
