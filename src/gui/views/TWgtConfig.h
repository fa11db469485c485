#pragma once
// The page of one configuration in the project view: the command list beside
// (or above) one of three panels — the description, the current command's
// parameter form, or the execution log. It asks the command's provider for
// the form, stores the form's changes in the project, keeps the rows in step
// with the project records, and writes the log events of a run.
//
// Runs only observe: a worker's events arrive through blocking queued
// connections and are written here in the GUI thread. Pages and forms are
// deleted with deleteLater, so neither can vanish under a slot that is still
// running on it; the log slots let pending events run and return at once
// when that removed their page.

#include "core/TData.h"
#include "devices/TCodeExec.h"
#include "gui/views/TSplitterPos.h"

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QHBoxLayout;
class QLabel;
class QScrollArea;
class QSplitter;
class QTabWidget;
class QTextEdit;
class QVBoxLayout;
class TDataCmd;
class TWgtCmdList;
class TWgtLogExec;

// Rows to drop so that the rows' command ids follow the remaining commands:
// walking from row 0, a row whose id equals the id at the same position stays
// and the walk moves on; any other row (also every row past the end of the
// list) is removed and the same position is compared again. The result lists
// the row indices to remove, each as it stands at the time of its removal.
QList<int> rowsToDrop(const QList<int> &rowIds, const QList<int> &cmdIds);

class TWgtConfig : public QWidget
{
    Q_OBJECT
public:
    explicit TWgtConfig(QWidget *parent = nullptr);
    ~TWgtConfig() override;

    void setCfgId(int id);
    int cfgId() const;
    // Escaped text, as the project keeps it; an unchanged text is left alone.
    void setDescription(const QString &escaped);
    QString description() const;
    void setOrientation(bool horizontal);
    void setSplitterSizes(const TSplitterPos &sizes);
    TSplitterPos splitterSizes() const;
    void setCmdList(const QList<TDataCmd *> &cmds);

    // Panels
    void showPageDesc();
    void showPageParam();
    void showPageExec();
    void setPanelTitle(const QString &text);

    // Rows and the open form
    void insertCmdRow(int id_cmd, int row);
    void removeCmdRow(int id_cmd);
    void updateCmdText(const TData &record);
    void updateCmdRow(const TData &record);
    void refreshCmdRows();
    void reloadCmd(const TData &record);
    void reloadCurrentCmd();
    void highlightJumpTarget(int id_cmd);

    // Forwarders to the command list
    void setAllChecked(bool checked);
    void moveCurrentRow(int direction);
    void hideUnchecked(bool hide);
    void applyRowColors();
    void clearHighlight();
    void setFocusCmdList();
    bool hasFocusCmdList() const;
    QPoint mapToGlobal(const QPoint &pos) const;
    int currentCmdId() const;
    QString currentCmdCode() const;
    int currentRow() const;
    void setCurrentRow(int row);
    // Asked before an edited "set_device" takes the device commands after it
    // away (the configuration's id); true keeps them. The main window refuses
    // while a run may walk that configuration.
    static std::function<bool(int)> structuralEditGuard;
    static void applyColorSettings();

    // Execution
    void setRunning(bool running);
    void clearLog();
    // Writes one log event at once, without letting pending events run (the
    // window's own lines; a worker's come through slotExecEventText).
    void writeEvent(TCodeExec code, const QString &text1, const QString &text2);

    // Parts, for the window and for tests
    TWgtCmdList *cmdList() const;
    TWgtLogExec *log() const;
    QWidget *openForm() const;
    QTextEdit *descriptionEditor() const;
    QWidget *shownPanel() const;
    QString panelTitle() const;
    QSplitter *splitter() const;

public slots:
    void slotExecEventText(TCodeExec code, const QString &text1, const QString &text2);
    void slotExecEventText(TCodeExec code, const QString &text1);
    void slotExecEventProc(int percent);
    void slotChangedCmdParam(const TData &param);

signals:
    void signalSetViewParamCmd();
    void signalSplitterMoved(const TSplitterPos &sizes);
    void signalSelectCmd(int id_cfg, int id_cmd);
    void signalContextMenuRequested(const QPoint &pos);

private slots:
    void slotSplitterMoved();
    void slotSelectCmd(int id_cmd);
    void slotSelectCmdClick();
    void slotEnabledCmd(int id_cmd, bool status);
    void slotPrjDescChanged();

private:
    void showPanel(QWidget *panel, int title);
    // Takes the open form out of the layout and has it deleted later.
    void dropForm();
    // Puts a new form of the command into the form area and connects it.
    void openFormOf(TDataCmd *cmd, const TData &record);
    // The jump-target rule of a newly opened form.
    void applyJumpRule(const QString &code, int id_cmd);
    // The parameter text of a command's row: the open form takes part only
    // for the current command, with its signals blocked.
    QString paramText(TDataCmd *cmd, const TData &record);
    // Removes the rows of commands no longer in the configuration.
    void dropRemovedRows(int id_cfg);

    int m_cfgId = -1;
    QVBoxLayout *m_mainLayout;
    TWgtCmdList *m_cmdList;
    QWidget *m_rightPanel;
    QSplitter *m_splitter;
    QVBoxLayout *m_rightLayout;
    QLabel *m_title;
    QScrollArea *m_scroll;
    QTabWidget *m_descPanel;
    QWidget *m_formArea;
    QHBoxLayout *m_formLayout;
    QPointer<QWidget> m_form;
    TWgtLogExec *m_log;
    QTextEdit *m_descEdit;
};
