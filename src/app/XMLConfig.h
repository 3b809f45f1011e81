#pragma once

#include <QDialog>

class QTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class XMLConfig;
}

// Imports a device description file into the user's data folder (Xml/) and
// module pictures into a loaded description's picture folder there
// (SVG/<image folder>), never into the system's folders ("导入XML配置"). The
// tree lists the loaded descriptions, their module classes and modules.
class XMLConfig : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kNameColumn = 0;
    static constexpr int kAddImageColumn = 1;
    static constexpr int kImageDirColumn = 2;

    explicit XMLConfig(QWidget *parent = nullptr);
    ~XMLConfig() override;

    // Builds the tree from the loaded library.
    void fill();
    QTreeWidget *tree() const;

signals:
    // A description was imported: the library is to be reloaded.
    void sigLoadXML();

public slots:
    void on_pushButton_clicked();   // "打开文件"
    void on_pushButton_2_clicked(); // import
    // "Add Image" of a description's row: pictures into its folder.
    void onCreateImage(QTreeWidgetItem *item, int column);

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    void addPictures(const QString &folder, const QStringList &files);

    Ui::XMLConfig *ui;
};
