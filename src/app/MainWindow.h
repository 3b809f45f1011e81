#pragma once

#include <QMainWindow>

class Loading;
class QActionGroup;
class QLabel;
class ProductView;
class ProjectView;
class QSplitter;
class TabWidget;

namespace Ui {
class MainWindow;
}

// The top of the application: the actions, the project tree, the adapter
// tabs and the product catalogue.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    TabWidget *tabWidget() const { return m_tabs; }
    ProjectView *projectView() const { return m_tree; }
    Loading *loading() const { return m_loading; }
    ProductView *productView() const { return m_productView; }
    bool byteAlignment() const;

    // The window runs on the virtual adapter with this bus file (--demo):
    // its title and a label in the status bar say so, as long as it runs.
    void setVirtualAdapter(const QString &busFile);

public slots:
    void on_action_3_triggered();
    void on_action_4_triggered();
    void on_action_5_triggered();
    void on_action_6_triggered();
    void on_action_7_triggered();
    void on_action_8_triggered();
    void on_action_11_triggered();
    void on_action_12_triggered();
    void on_action_13_triggered();
    void on_action_14_triggered();
    void on_actionCompare_triggered();
    void on_action_15_triggered();
    void on_action_16_triggered();
    void on_action_17_triggered();
    void on_actionProductView_toggled(bool shown);
    void on_action_19_triggered();
    void onMatchAdapter(int index);
    void onCreateModule(const QString &typeKey);
    // Reloads the description library after an import.
    void onXMLLoad();

protected:
    void closeEvent(QCloseEvent *event) override;
    // A new language: the form's texts and those set here again.
    void changeEvent(QEvent *event) override;

private:
    // The index of the adapter the user picked; asks the user to pick one
    // (and returns -1) when several are open and none is selected.
    int pickAdapter(bool askWhenNone);
    bool refuseInForceMode();
    bool refuseOffline(int index, const QString &why);
    QMap<QString, QString> openAdapters() const;
    bool portBusy() const;
    void showAlignment(bool byteAlignment);
    // The menu "语言 / Language": the same in both languages.
    void addLanguageMenu();
    void retranslate();

    Ui::MainWindow *ui;
    QSplitter *m_splitter = nullptr;
    ProjectView *m_tree = nullptr;
    TabWidget *m_tabs = nullptr;
    ProductView *m_productView = nullptr;
    Loading *m_loading = nullptr;
    bool m_closeAgreed = false; // to close although an unreachable adapter may still force
    bool m_exportsSettled = false; // every changed offline configuration exported or let go
    QLabel *m_virtualAdapterLabel = nullptr;
    QString m_title; // the form's, without the virtual adapter
    QString m_busFile; // the virtual adapter's (--demo), if any
    QActionGroup *m_languages = nullptr;
};
