#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class AboutView;
}

// The about box: the product, its version from the build, and the licences
// of the libraries it is built on (Qt, hidapi).
class AboutView : public QDialog
{
    Q_OBJECT

public:
    // version: the program's; hidapiVersion: the hidapi it was built with,
    // empty when unknown.
    AboutView(const QString &version, const QString &hidapiVersion, QWidget *parent = nullptr);
    ~AboutView() override;

    QString versionText() const;
    QString licenceText() const;

protected:
    // A new language: the form's texts again.
    void changeEvent(QEvent *event) override;

private:
    void fillTexts();

    Ui::AboutView *ui;
    QString m_version;
    QString m_hidapiVersion;
};
