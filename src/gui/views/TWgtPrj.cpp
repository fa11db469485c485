#include "gui/views/TWgtPrj.h"

#include "data/TDataCfg.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"

#include <QListWidget>
#include <QTabWidget>
#include <QVBoxLayout>

TWgtPrj::TWgtPrj(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_tabs = new QTabWidget(this);
    m_tabs->setMovable(true);
    m_tabs->hide();
    layout->addWidget(m_tabs);
    connect(m_tabs, &QTabWidget::currentChanged, this, &TWgtPrj::slotSelectCfg);
}

void TWgtPrj::rebuild()
{
    clear();
    for (TDataCfg *cfg : dataPrj.cfgList()) {
        if (!cfg)
            continue;
        auto *page = new QListWidget;
        page->setProperty("id_cfg", cfg->id());
        page->setContextMenuPolicy(Qt::CustomContextMenu);
        for (TDataCmd *cmd : dataPrj.cmdsOfCfg(cfg->id()))
            page->addItem(cmd->cmd());
        if (page->count() > 0)
            page->setCurrentRow(0);
        connect(page, &QWidget::customContextMenuRequested, this, &TWgtPrj::signalContextMenuRequested);
        connect(page, &QListWidget::currentRowChanged, this, &TWgtPrj::slotSelectCfg);
        m_tabs->addTab(page, cfg->name());
    }
    m_tabs->setVisible(m_tabs->count() > 0);
}

void TWgtPrj::clear()
{
    while (m_tabs->count() > 0) {
        QWidget *page = m_tabs->widget(0);
        m_tabs->removeTab(0);
        delete page;
    }
    m_tabs->hide();
}

QListWidget *TWgtPrj::pageAt(int index) const
{
    return qobject_cast<QListWidget *>(m_tabs->widget(index));
}

void TWgtPrj::selectCfgCmd(int tabIndex, int row)
{
    if (tabIndex < 0 || tabIndex >= m_tabs->count())
        return;
    m_tabs->setCurrentIndex(tabIndex);
    if (row >= 0 && row < pageAt(tabIndex)->count())
        pageAt(tabIndex)->setCurrentRow(row);
}

QWidget *TWgtPrj::currentPage() const { return m_tabs->currentWidget(); }
int TWgtPrj::currentIndex() const { return m_tabs->currentIndex(); }
int TWgtPrj::count() const { return m_tabs->count(); }
bool TWgtPrj::hasSingleCfg() const { return m_tabs->count() == 1; }

int TWgtPrj::currentCfgId() const
{
    QListWidget *page = pageAt(m_tabs->currentIndex());
    return page ? page->property("id_cfg").toInt() : -1;
}

int TWgtPrj::currentRow() const
{
    QListWidget *page = pageAt(m_tabs->currentIndex());
    return page ? page->currentRow() : -1;
}

int TWgtPrj::currentCmdId() const
{
    const int row = currentRow();
    if (row < 0)
        return -1;
    const QList<TDataCmd *> cmds = dataPrj.cmdsOfCfg(currentCfgId());
    return row < cmds.size() ? cmds.at(row)->id() : -1;
}

void TWgtPrj::setSplitterSizes(const TSplitterPos &) {}
void TWgtPrj::setOrientation(bool) {}
void TWgtPrj::hideUnchecked(bool) {}
void TWgtPrj::applyRowColors() {}
void TWgtPrj::setTabBarAutoHide(bool hide) { m_tabs->setTabBarAutoHide(hide); }
void TWgtPrj::applyColorSettings() {}
void TWgtPrj::slotUpdateGUI(TCodeView, const TData &) {}
void TWgtPrj::slotSetViewParamPrj() {}
void TWgtPrj::slotSetViewParamCmd() {}
void TWgtPrj::slotSetViewParamExec() {}

void TWgtPrj::slotSelectCfg()
{
    emit signalSelectCmd(currentCfgId(), currentCmdId());
}
