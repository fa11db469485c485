#pragma once
// The program's main window: menus, tool bar, hot keys and context menus; the
// project-list tree beside the project view; the rule that enables the
// actions; and what users do with project lists and the projects in them.

#include "data/TDataPrj.h"
#include "gui/views/TWgtPrj.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

class QAction;
class QActionGroup;
class QButtonGroup;
class QCloseEvent;
class QFrame;
class QHBoxLayout;
class QMenu;
class QSplitter;
class QThread;
class QTreeWidgetItem;
class TExec;
class TButtonAction;
class TDialogCmdSelector;
class TWgtPrjList;
class TWgtStatusBar;

// The facts the enabling rule looks at.
struct TMainActionFacts
{
    bool listLoaded = false;     // a project list is loaded in the tree
    bool hasItem = false;        // the tree has a current entry
    bool itemHasChildren = false;
    bool prjOpen = false;
    bool prjClipboard = false;   // the project clipboard holds a file
    bool cfgClipboard = false;
    bool cmdClipboard = false;
    bool singleCfg = false;      // the project has exactly one configuration
    bool hasCurrentCmd = false;  // the current page has a current command
    int currentRow = -1;         // current row of the command list
    int cmdCount = 0;            // commands of the current configuration
};

// Enabled state of every action named by its hot-key name ("Exec" for the
// execute action); actions not listed are always enabled.
QHash<QString, bool> mainActionStates(const TMainActionFacts &f);

class TMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // Texts added after the first language files, in one place.
    static constexpr int MSG_PRJ_FILE_EXISTS = 436;   // %1 path
    static constexpr int MSG_PRJ_FILE_CREATE = 437;   // %1 path
    static constexpr int MSG_LIST_SAVE_FAILED = 439;  // %1 path
    static constexpr int MSG_PRJ_DISCARD = 440;       // %1 project name, %2 reason
    static constexpr int MSG_RUN_EDIT = 451;          // %1 the running configuration
    static constexpr int MSG_RUN_PROJECT = 452;
    static constexpr int MSG_RUN_QUIT = 453;
    static constexpr int MSG_PORT_HOLDER_QUICK = 482;  // %1 "ID Prog" or "Reset", %2 configuration
    static constexpr int MSG_LIST_DISCARD = 483;      // %1 path
    static constexpr int MSG_SETTINGS_SAVE = 484;     // %1 the file and the reason
    static constexpr int MSG_PRJ_LOST = 485;          // %1 project name, %2 reason
    static constexpr int MSG_EXECUTE_RUNNING = 563;   // %1 the configuration an "execute" asked for
    static constexpr int MSG_EXECUTE_CLOSING = 564;   // %1 the same
    static constexpr int MSG_PRJ_CHANGED_ASK = 596;   // %1 project name, %2 its file

    explicit TMainWindow(QWidget *parent = nullptr);
    ~TMainWindow() override;

    // The action of a hot-key name ("Exec", "Help", "About", "AboutQt" for
    // the actions without one); null for an unknown name.
    QAction *action(const QString &name) const;
    TWgtPrjList *prjList() const { return m_prjList; }
    TWgtPrj *prjView() const { return m_prj; }
    TWgtStatusBar *statusBarWidget() const { return m_status; }
    QMenu *contextMenuPrjList() const { return m_menuPrjList; }
    QMenu *contextMenuCfg() const { return m_menuCfg; }
    QMenu *contextMenuCmd() const { return m_menuCmd; }
    QWidget *toolBarFrame() const { return m_bar; }
    QWidget *toolBarRight() const { return m_barRight; }
    TButtonAction *toolButton(const QString &icon) const { return m_buttons.value(icon); }
    QString prjClipboardName() const { return m_clipName; }

    void updateActions();
    void applySettings();

    // Saves the open project into its file; true on success. The status bar
    // shows the outcome.
    bool saveProject();
    // Saves the open project at path, asking before it writes over a file
    // another copy changed; false with the reason when nothing was written.
    static bool saveProjectAsking(const QString &path, QWidget *parent, QString *error);
    // Closes the open project, saving or asking first when it is modified.
    // False when a save failed and the user kept the project: it stays open.
    bool closeProject();

    // Guards of running configurations: true (after telling the user) when a
    // structural edit of the configuration idCfg would disturb a live worker,
    // that of idCfg or of one whose jumps or detection routes lead into it.
    bool refuseStructuralEdit(int idCfg);
    // True (after telling the user) when a worker or an ID Prog or Reset
    // exchange is alive, so the open project must not be closed or replaced.
    bool refuseProjectChange();

    // Execution control. Every started configuration runs in a worker of
    // its own; the table holds the live ones.
    void execStart(int id_cfg);
    void clearExecState(int id_cfg);
    void updateExecButtons();
    int runningCount() const { return m_execs.size(); }
    bool isRunning(int id_cfg) const { return m_execs.contains(id_cfg); }
    // True while an ID Prog or Reset exchange is under way, until its
    // outcome is written.
    bool quickBusy() const { return m_quickCfg >= 0; }

    // The keyboard modifiers held when the execute action runs. Tests may
    // point it elsewhere: key events sent straight to a widget do not reach
    // the application's modifier state.
    static Qt::KeyboardModifiers (*keyboardModifiers)();

signals:
    void signalStop(int idCfg);
    void signalPauseReset(int idCfg);

public slots:
    // Project lists and projects
    void slotPrjListNew();
    void slotPrjListLoad();
    void slotPrjListSelect();
    void slotPrjListReload();
    void slotPrjListSaveAs();
    void slotPrjListOpenFolder();
    void slotPrjListDragDrop();
    void slotPrjNew();
    void slotPrjNewSub();
    void slotPrjAdd();
    void slotPrjAddSub();
    void slotPrjCopy();
    void slotPrjPasteNew();
    void slotPrjPasteNewSub();
    void slotPrjEdit();
    void slotPrjSave();
    void slotPrjDelete();
    void slotPrjDeleteSubAll();
    void slotPrjOpenFolder();
    void slotSelectPrj(const QString &file);
    void slotChangePrj(bool modified);

    // Configurations and commands
    void slotCfgNew();
    void slotCfgCopy();
    void slotCfgPaste();
    void slotCfgEdit();
    void slotCfgDelete();
    void slotCmdSelector();
    void slotCmdSelectorClose();
    void slotNewCmd(const QString &code, bool status);
    void slotCmdNewSetProgDevice();
    void slotCmdNewSetProg();
    void slotCmdNewSetDevice();
    void slotCmdCopy();
    void slotCmdCopySelected();
    void slotCmdPaste();
    void slotCmdDeleteCur();
    void slotCmdDeleteSelected();
    void slotCmdDeleteError();
    void slotCmdDeleteDev();
    void slotCmdDeleteAll();
    void slotCmdCheckAll();
    void slotCmdUcheckAll();
    void slotCmdMoveUp();
    void slotCmdMoveDown();
    void slotCmdUncheckHide();
    void slotSelectCmd();
    void slotSplitterCfgMoved(const TSplitterPos &sizes);

    // Execution
    void slotExecIDProg();
    void slotExecReset();
    void slotExecCfg();
    void slotExecClearState();
    void slotExecClearAllState();
    void slotExecuteFromCmd(int id_cfg);
    void slotPauseFromCmd(int id_cfg);
    void slotStatusFromCmd(int id_cfg, bool ok);

    // View, settings and the rest
    void slotSetViewParamPrj();
    void slotSetViewParamCmd();
    void slotSetViewParamExec();
    void slotSettings();
    void slotSetLanguage();
    void slotSaveSettings();
    void slotHelp();
    void slotAbout();
    void slotAboutQt();
    void slotQuit();

    void slotOpenContextMenuPrjList(const QPoint &pos);
    void slotOpenContextMenuPrj(const QPoint &pos);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void restoreGeometry();
    void createActions();
    void loadHotKeys();
    void createCentralWidget();
    void createMenus();
    void createToolBar();
    void createContextMenus();
    void reopenLastProject();

    QAction *addAction(const QString &name, const QString &caption, void (TMainWindow::*slot)());
    void addButton(QHBoxLayout *layout, const QString &icon, const QString &action);
    // Gives the tool button (named by its first icon) another icon; nothing
    // happens while it shows that icon already.
    void setButtonIcon(const QString &button, const QString &icon);
    void fillMenu(QMenu *menu, const QStringList &names);
    void connectPrjView(bool on);

    // List and entry helpers
    QString listDir() const;
    QString chooseListFile(int title);
    bool loadList(const QString &name, const QString &file, bool remember);
    void saveListReporting();
    void editEntry(int title, int mode, bool asChild);
    bool closeProjectBeforeRemoving(bool childrenOnly);
    // Writes the tree to its list file before the tree is replaced, when it
    // changed since it was read or written; true when it may be replaced
    // (written, unchanged, or the user gives the changes up after a failed
    // write).
    bool saveListBeforeReplacing();
    void refreshPasteCaptions();
    void returnToOpenEntry();

    TWgtPrj *m_prj = nullptr;
    TWgtPrjList *m_prjList = nullptr;
    TWgtStatusBar *m_status = nullptr;
    QSplitter *m_splitter = nullptr;
    QFrame *m_bar = nullptr;
    QWidget *m_barRight = nullptr;
    QButtonGroup *m_pageButtons = nullptr;
    QMenu *m_menuPrjList = nullptr;
    QMenu *m_menuCfg = nullptr;
    QMenu *m_menuCmd = nullptr;
    QActionGroup *m_viewGroup = nullptr;
    QHash<QString, QAction *> m_actions;
    QStringList m_hotKeyNames;
    QHash<QString, TButtonAction *> m_buttons;
    QHash<QString, QString> m_buttonIcons; // the icon each button shows now
    QList<QMetaObject::Connection> m_prjViewConnections;

    // Execution table: the live worker of each running configuration, with
    // its thread and the number it was started under. Both delete
    // themselves; an entry leaves when its own worker is destroyed.
    struct TExecThread
    {
        TExec *exec = nullptr;
        QPointer<QThread> thread;
        quint64 serial = 0;
    };
    QHash<int, TExecThread> m_execs;
    quint64 m_execSerial = 0;
    // Every worker thread started and not yet gone, for the destructor.
    QList<QPointer<QThread>> m_threads;
    // The running ID Prog or Reset exchange: its thread and the
    // configuration it was asked for (-1: none runs).
    QPointer<QThread> m_quickThread;
    int m_quickCfg = -1;
    // Set when the user chose to stop the runs and quit: the window closes
    // once the last worker is gone.
    bool m_closeWhenIdle = false;
    // The depth of event loops the quit was answered at: a deeper one is a
    // dialog's, which ends before the window closes.
    int m_closeLoopLevel = 0;
    // The close event is being handled (its questions may be open).
    bool m_inClose = false;
    // The user let the window close without the tree's file: its failure
    // is not told a second time as the window goes.
    bool m_listGivenUp = false;
    void execFinished(int id_cfg, quint64 serial);
    bool cfgReachedByRun(int id_cfg, int *runningCfg) const;
    void runQuick(bool reset);
    // Closes the window when it waits for the last run or exchange to end
    // and none is left.
    void closeIfIdle();
    // A worker or an ID Prog or Reset exchange is alive.
    bool busy() const { return !m_execs.isEmpty() || quickBusy(); }
    // The close is refused after all: the window works on as before.
    void keepOpen(QCloseEvent *event);

    // Editing helpers
    int insertIndexFor(int idCfg, int idCmd) const;
    void followRemoval();
    void refreshCmdPasteCaption();
    void moveCurrentCmd(int direction);
    void setSelectorChecked(bool open);
    // The open command selector; null while closed.
    QPointer<TDialogCmdSelector> m_selector;

    // The entry whose project is open; null when none or when it was removed.
    QTreeWidgetItem *m_openItem = nullptr;

    // Clipboards of the window (never the system's)
    QString m_clipName;
    QString m_clipFile;
    QByteArray m_clipContent;
    TDataClip m_cfgClipboard;         // filled when it has a name
    TDataClip m_cmdClipboard;
};
