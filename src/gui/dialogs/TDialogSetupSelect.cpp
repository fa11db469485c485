#include "gui/dialogs/TDialogSetupSelect.h"

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/helpers.h"
#include "gui/dialogs/TDialogSetupPageConfirm.h"
#include "gui/dialogs/TDialogSetupPageInterface.h"
#include "gui/dialogs/TDialogSetupPageMain.h"
#include "gui/dialogs/TDialogSetupPageProg.h"
#include "gui/dialogs/dialog_parts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStringListModel>
#include <QTreeView>
#include <QVBoxLayout>

TDialogSetupSelect::TDialogSetupSelect(QWidget *parent) : QDialog(parent)
{
    // The pages hang on the dialog's own parent: a page taken out of the
    // scroll area must not be deleted with it.
    m_pages << new TDialogSetupPageMain(parent) << new TDialogSetupPageProg(parent)
            << new TDialogSetupPageInterface(parent) << new TDialogSetupPageConfirm(parent);
    for (IDialogSetupPage *page : qAsConst(m_pages))
        page->hide();
    createUi();
    restoreGeometry();
    selectPage(0);
}

TDialogSetupSelect::~TDialogSetupSelect()
{
    saveGeometry();
    m_scroll->takeWidget();
    qDeleteAll(m_pages);
    m_pages.clear();
}

void TDialogSetupSelect::createUi()
{
    setWindowTitle(lang.text(175));

    QStringList names;
    for (const IDialogSetupPage *page : qAsConst(m_pages))
        names << page->name();
    m_model = new QStringListModel(names, this);

    m_tree = new QTreeView;
    m_tree->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tree->setRootIsDecorated(false);
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setModel(m_model);
    m_tree->setStyleSheet(QStringLiteral("QTreeView:item:selected:!active { background: #A0A0A0; }"));

    m_pageFrame = new QFrame;
    m_pageFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_title = new QLabel;
    m_title->setFrameStyle(QFrame::NoFrame);
    m_line = new QLabel;
    m_line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    m_line->setLineWidth(1);
    m_titleLayout = new QVBoxLayout;
    m_titleLayout->setContentsMargins(0, 0, 0, 0);
    m_titleLayout->setSpacing(0);
    m_titleLayout->addWidget(m_title);
    m_titleLayout->addWidget(m_line);
    m_scroll = new QScrollArea;
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_frameLayout = new QVBoxLayout(m_pageFrame);
    m_frameLayout->setContentsMargins(10, 10, 10, 10);
    m_frameLayout->setSpacing(0);
    m_frameLayout->addLayout(m_titleLayout);
    m_frameLayout->addWidget(m_scroll);

    m_splitter = new QSplitter(Qt::Horizontal);
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_pageFrame);
    m_splitter->setCollapsible(0, false);
    m_splitter->setCollapsible(1, false);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);

    m_buttonBar = new QFrame;
    m_buttonBar->setFrameShape(QFrame::NoFrame);
    m_buttonBar->setFixedHeight(40);
    m_buttonLayout = new QHBoxLayout(m_buttonBar);
    m_buttonLayout->setContentsMargins(5, 5, 5, 5);
    m_buttonLayout->setSpacing(5);
    m_buttonLayout->addStretch();
    m_ok = new QPushButton(lang.text(79));
    m_ok->setFixedSize(100, 24);
    m_cancel = new QPushButton(lang.text(80));
    m_cancel->setFixedSize(100, 24);
    m_buttonLayout->addWidget(m_ok);
    m_buttonLayout->addWidget(m_cancel);

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 5, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_splitter);
    m_layout->addWidget(m_buttonBar);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TDialogSetupSelect::slotGroupSelect);
}

void TDialogSetupSelect::loadPages()
{
    if (!appData.windowSettingsMainSplitter.isEmpty())
        m_splitter->setSizes(appData.windowSettingsMainSplitter);
    for (IDialogSetupPage *page : qAsConst(m_pages))
        page->load();
}

void TDialogSetupSelect::savePages()
{
    for (IDialogSetupPage *page : qAsConst(m_pages))
        page->save();
}

void TDialogSetupSelect::slotGroupSelect(const QModelIndex &index)
{
    if (QWidget *shown = m_scroll->takeWidget()) {
        shown->hide();
        shown->setParent(parentWidget());
    }
    const int row = index.row();
    if (row < 0 || row >= m_pages.size())
        return;
    IDialogSetupPage *page = m_pages.at(row);
    setPageTitle(page->title());
    m_scroll->setWidget(page);
    page->show();
}

void TDialogSetupSelect::setPageTitle(const QString &title)
{
    m_title->setText(QStringLiteral("<H3>%1</H3>").arg(title));
}

void TDialogSetupSelect::selectPage(int n)
{
    const int row = n >= 0 && n < m_pages.size() ? n : 0;
    m_tree->setCurrentIndex(m_model->index(row, 0));
}

void TDialogSetupSelect::restoreGeometry()
{
    centreOnActiveWindow(this, appData.windowOtherCenter, appData.windowSettingsLeft,
                         appData.windowSettingsTop, appData.windowSettingsWidth,
                         appData.windowSettingsHeight);
    if (!appData.windowSettingsMainSplitter.isEmpty())
        m_splitter->setSizes(appData.windowSettingsMainSplitter);
}

void TDialogSetupSelect::saveGeometry()
{
    storeWindowGeometry(this, &appData.windowSettingsLeft, &appData.windowSettingsTop,
                        &appData.windowSettingsWidth, &appData.windowSettingsHeight);
    appData.windowSettingsMainSplitter = m_splitter->sizes();
}
