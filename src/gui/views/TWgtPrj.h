#pragma once
// The project view: the open project as a row of tabs, one page per
// configuration, in the project's order. This is the part of it that the
// main window drives: building and emptying the pages, the current page and
// command, and the view-wide settings.

#include "core/TCodeView.h"
#include "core/TData.h"

#include <QFrame>
#include <QList>
#include <QPoint>

class QListWidget;
class QTabWidget;

// The splitter sizes shared by every configuration page.
typedef QList<int> TSplitterPos;

class TWgtPrj : public QFrame
{
    Q_OBJECT
public:
    explicit TWgtPrj(QWidget *parent = nullptr);

    void rebuild();
    void clear();

    // Tab index, else current row; negative values change nothing.
    void selectCfgCmd(int tabIndex, int row);
    QWidget *currentPage() const;
    int currentIndex() const;
    int currentCfgId() const;
    int currentCmdId() const;
    int currentRow() const;
    bool hasSingleCfg() const;
    int count() const;

    void setSplitterSizes(const TSplitterPos &sizes);
    void setOrientation(bool horizontal);
    void hideUnchecked(bool hide);
    void applyRowColors();
    void setTabBarAutoHide(bool hide);
    static void applyColorSettings();

signals:
    void signalSelectCmd(int idCfg, int idCmd);
    void signalSetViewParamCmd();
    void signalSplitterCfgMoved(const TSplitterPos &sizes);
    void signalContextMenuRequested(const QPoint &pos);

public slots:
    void slotUpdateGUI(TCodeView code, const TData &data);
    void slotSelectCfg();
    void slotSetViewParamPrj();
    void slotSetViewParamCmd();
    void slotSetViewParamExec();

private:
    QListWidget *pageAt(int index) const;

    QTabWidget *m_tabs = nullptr;
};
