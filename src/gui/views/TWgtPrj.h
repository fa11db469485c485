#pragma once
// The open project as a row of tabs, one configuration page per
// configuration in the project's order: the page at tab index i belongs to
// the configuration at index i of the project. It keeps the pages in step
// with the project records, colours each tab by its configuration's
// execution state, relays the pages' signals and applies view-wide settings
// to every page at once. GUI thread only; it follows changes made from
// workers through the project's queued change signal.

#include "core/TCodeView.h"
#include "core/TData.h"
#include "gui/views/TSplitterPos.h"

#include <QFrame>
#include <QPoint>
#include <QString>

class QTabBar;
class QTabWidget;
class QVBoxLayout;
class TWgtConfig;

class TWgtPrj : public QFrame
{
    Q_OBJECT
public:
    explicit TWgtPrj(QWidget *parent = nullptr);
    ~TWgtPrj() override;

    // Building and emptying
    void rebuild();
    // Removes every tab at once; the pages are deleted when control returns
    // to the event loop, so a page may be emptied from inside its own slots.
    void clear();
    void addCfgPage(int index, int id_cfg, const QString &name, const QString &description);
    void reloadCfg(int id_cfg);
    void setCfgTabText(int id_cfg, const QString &text);
    void removeCfgTab(int id_cfg);

    // Rows
    void updateCmdRow(const TData &record);
    void refreshCfgRows(int id_cfg);
    void refreshAllRows();
    void insertCmdRow(int id_cmd, const TData &record, int row);
    void removeCurrentCmdRow(int id_cmd);
    void updateFromParam(const TData &record);

    // View-wide operations
    void setSplitterSizes(const TSplitterPos &sizes);
    void setOrientation(bool horizontal);
    void hideUnchecked(bool hide);
    void applyRowColors();
    void reloadCurrentCmds();
    static void applyColorSettings();
    void setTabBarAutoHide(bool hide);

    // Execution state
    void updateTabColors();
    void resetTabColor(int id_cfg);
    void setCfgRunning(int id_cfg, bool running);
    void setAllChecked(int id_cfg, bool checked);
    // The tab text colour of an execution state.
    static QColor tabColor(int state);

    // Current page and selection
    void selectCfgCmd(int tabIndex, int row);
    void moveCurrentCmdRow(int direction);
    TWgtConfig *currentPage() const;
    TWgtConfig *cfgPage(int tabIndex) const;
    TWgtConfig *cfgPageById(int id_cfg) const;
    int tabIndexOfCfg(int id_cfg) const;
    int cfgIdAt(int tabIndex) const;
    int currentIndex() const;
    int currentCfgId() const;
    int currentCmdId() const;
    int currentRow() const;
    QString currentCmdCode() const;
    QString currentTabText() const;
    QString currentCfgDescription() const;
    bool hasSingleCfg() const;
    // Number of tabs.
    int count() const;
    bool hasFocusCmdList() const;
    QTabBar *tabBar() const;
    QTabWidget *tabWidget() const;

public slots:
    void slotUpdateGUI(TCodeView code, const TData &data);
    void slotSetViewParamPrj();
    void slotSetViewParamCmd();
    void slotSetViewParamExec();

signals:
    void signalSelectCmd(int id_cfg, int id_cmd);
    void signalSetViewParamCmd();
    void signalSplitterCfgMoved(const TSplitterPos &sizes);
    void signalContextMenuRequested(const QPoint &pos);

private slots:
    void slotSelectCfg();
    void slotMovedCfg(int from, int to);

private:
    // Runs the operation on every page, from the last tab to the first.
    template <typename F> void forEachPage(F op);
    void dropPage(int tabIndex);

    QVBoxLayout *m_layout;
    QTabWidget *m_tabs;
    QTabBar *m_tabBar;
    // The panel every page shows and whether they hide unchecked rows; a
    // page added later does the same.
    enum class Panel { Description, Parameters, Log };
    Panel m_panel = Panel::Description;
    bool m_hideUnchecked = false;   // the pages hide their unchecked rows
    void showPanel(TWgtConfig *page) const;
};
