#pragma once

class Loading;
class ProjectView;
class QWidget;
class TabWidget;

// The process-wide registry of the main window's parts, filled by the main
// window at start-up. Pointers only; nothing here is owned.
class mainWindowManagement
{
public:
    static mainWindowManagement *instance();

    Loading *loading() const { return m_loading; }
    QWidget *mainWindow() const { return m_mainWindow; }
    TabWidget *tabWidget() const { return m_tabWidget; }
    ProjectView *projectView() const { return m_projectView; }
    QWidget *productView() const { return m_productView; }

    void setLoading(Loading *loading) { m_loading = loading; }
    void setMainWindow(QWidget *window) { m_mainWindow = window; }
    void setTabWidget(TabWidget *tabs) { m_tabWidget = tabs; }
    void setProjectView(ProjectView *tree) { m_projectView = tree; }
    void setProductView(QWidget *catalogue) { m_productView = catalogue; }
    // Forgets everything (a window that is closing, or a test's teardown).
    void clear() { *this = mainWindowManagement(); }

private:
    Loading *m_loading = nullptr;
    QWidget *m_mainWindow = nullptr;
    TabWidget *m_tabWidget = nullptr;
    ProjectView *m_projectView = nullptr;
    QWidget *m_productView = nullptr;
};
