#include "gui/dialogs/TDialogCmdSelector.h"

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataPrj.h"
#include "gui/dialogs/dialog_parts.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

// ---- Pane -------------------------------------------------------------------

QString cmdKindEnding(const QString &code)
{
    // Codes read "<memory>_<kind>_<operation>" ("flash_file_write",
    // "char_write"): the kind word stands before the operation.
    const int last = code.lastIndexOf(QLatin1Char('_'));
    return (last < 0 ? code : code.left(last)).right(4);
}

TCmdGroup::TCmdGroup(const QString &title, const TCmdCode *catalogue, QWidget *parent)
    : QWidget(parent), m_catalogue(catalogue)
{
    m_group = new QGroupBox(title, this);
    m_scroll = new QScrollArea(m_group);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_frame = new QFrame;
    m_frame->setFrameShape(QFrame::NoFrame);
    m_buttonLayout = new QVBoxLayout(m_frame);
    m_buttonLayout->setContentsMargins(5, 5, 5, 5);
    m_buttonLayout->setSpacing(1);
    m_buttonLayout->setAlignment(Qt::AlignTop);
    m_scroll->setWidget(m_frame);

    m_groupLayout = new QVBoxLayout(m_group);
    m_groupLayout->setContentsMargins(0, 0, 0, 0);
    m_groupLayout->setSpacing(0);
    m_groupLayout->setAlignment(Qt::AlignTop);
    m_groupLayout->addWidget(m_scroll);

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_group);
}

TCmdGroup::~TCmdGroup() = default;

void TCmdGroup::setCmdList(const QStringList &codes)
{
    if (codes == m_codes)
        return;
    clear();
    for (const QString &code : codes)
        createButton(code);
    m_codes = codes;
}

void TCmdGroup::clear()
{
    // A press can refill its own pane before its click has returned: the
    // buttons go once control is back in the event loop.
    for (QPushButton *button : qAsConst(m_buttons)) {
        m_buttonLayout->removeWidget(button);
        button->hide();
        button->disconnect(this);
        button->deleteLater();
    }
    m_buttons.clear();
    m_codes.clear();
}

void TCmdGroup::createButton(const QString &code)
{
    auto *button = new QPushButton(m_catalogue->name(code), m_frame);
    m_buttonLayout->addWidget(button);
    m_buttons.append(button);
    if (code == QLatin1String(CMD_SEPARATOR)) {
        button->setFixedHeight(appData.windowCmdSelectorButtonSeparatorHeight);
        button->setFlat(true);
        button->setEnabled(false);
        return;
    }
    button->setFixedHeight(appData.windowCmdSelectorButtonHeight);
    const QString ending = cmdKindEnding(code);
    const QColor *color = ending == QLatin1String("char")   ? &appData.selectorColorChar
                          : ending == QLatin1String("data") ? &appData.selectorColorData
                          : ending == QLatin1String("file") ? &appData.selectorColorFile
                                                            : nullptr;
    if (color && *color != QColor(0, 0, 0, 255))
        button->setPalette(QPalette(*color));
    connect(button, &QPushButton::clicked, this, &TCmdGroup::slotAddCmd);
}

void TCmdGroup::slotAddCmd()
{
    const auto *button = qobject_cast<const QPushButton *>(sender());
    if (button)
        emit signalAddCmd(m_catalogue->code(button->text()));
}

// ---- Placement --------------------------------------------------------------

QRect cmdSelectorPlacement(int mode, const QRect &stored, const QRect &active,
                           const QRect &desktop, bool *centre)
{
    *centre = false;
    const int w = stored.width();
    // Without an active window the modes beside it use the stored place.
    if ((mode == 1 || mode == 3) && active.isNull())
        mode = 0;
    switch (mode) {
    case 1:
        return QRect(active.left() - w - 11, active.top(), w, active.height());
    case 2:
        *centre = true;
        return stored;
    case 3:
        return QRect(active.right() + 12, active.top(), w, active.height());
    case 4:
        return QRect(0, 30, w, desktop.bottom() - desktop.top() - 29);
    case 5:
        return QRect(desktop.width() - w, 30, w, desktop.bottom() - desktop.top() - 29);
    default:
        return stored;
    }
}

// ---- Window -----------------------------------------------------------------

TDialogCmdSelector::TDialogCmdSelector(int id_cfg, int id_cmd, TDataPrj *project,
                                       const TCmdCode *catalogue, QWidget *parent)
    : QWidget(parent), m_project(project), m_catalogue(catalogue)
{
    setWindowTitle(lang.text(169));
    createUi();
    restoreGeometry();
    fillGroups(id_cfg, id_cmd);
}

TDialogCmdSelector::~TDialogCmdSelector()
{
    saveGeometry();
}

void TDialogCmdSelector::createUi()
{
    m_state = new QCheckBox(lang.text(170), this);
    m_state->setToolTip(lang.text(171));
    m_state->setChecked(appData.cmdAddState);
    m_line = createSeparatorLine(this);
    m_line->setFixedHeight(2);
    m_topLayout = new QVBoxLayout;
    m_topLayout->setContentsMargins(0, 0, 0, 0);
    m_topLayout->setSpacing(5);
    m_topLayout->setAlignment(Qt::AlignTop);
    m_topLayout->addWidget(m_state);
    m_topLayout->addWidget(m_line);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_tools = new TCmdGroup(QStringLiteral(" Tools "), m_catalogue, m_splitter);
    m_prog = new TCmdGroup(QStringLiteral(" Prog "), m_catalogue, m_splitter);
    m_device = new TCmdGroup(QStringLiteral(" Device "), m_catalogue, m_splitter);
    for (int i = 0; i < 3; ++i) {
        m_splitter->setCollapsible(i, false);
        m_splitter->setStretchFactor(i, i == 2 ? 1 : 0);
    }

    m_buttonFrame = new QFrame(this);
    m_buttonFrame->setFrameShape(QFrame::NoFrame);
    m_buttonFrame->setFixedHeight(40);
    m_buttonLayout = new QHBoxLayout(m_buttonFrame);
    m_buttonLayout->setContentsMargins(5, 5, 5, 5);
    m_buttonLayout->setSpacing(5);
    m_buttonLayout->addStretch();
    m_close = new QPushButton(lang.text(81), m_buttonFrame);
    m_buttonLayout->addWidget(m_close);

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(5, 5, 5, 5);
    m_layout->setSpacing(5);
    m_layout->addLayout(m_topLayout, 0);
    m_layout->addWidget(m_splitter, 1);
    m_layout->addWidget(m_buttonFrame);
    m_close->setFocus();

    connect(m_close, &QPushButton::clicked, this, &TDialogCmdSelector::slotClose);
    for (TCmdGroup *group : {m_tools, m_prog, m_device})
        connect(group, &TCmdGroup::signalAddCmd, this, &TDialogCmdSelector::slotAddCmd);
}

void TDialogCmdSelector::restoreGeometry()
{
    const QWidget *active = QApplication::activeWindow();
    const QScreen *screen = QGuiApplication::primaryScreen();
    bool centre = false;
    const QRect r = cmdSelectorPlacement(
        appData.windowCmdSelector,
        QRect(appData.windowCmdSelectorLeft, appData.windowCmdSelectorTop,
              appData.windowCmdSelectorWidth, appData.windowCmdSelectorHeight),
        active ? active->geometry() : QRect(), screen ? screen->availableGeometry() : QRect(),
        &centre);
    centreOnActiveWindow(this, centre, r.left(), r.top(), r.width(), r.height());
    m_splitter->setSizes(appData.windowCmdSelectorSplitter);
}

void TDialogCmdSelector::saveGeometry()
{
    storeWindowGeometry(this, &appData.windowCmdSelectorLeft, &appData.windowCmdSelectorTop,
                        &appData.windowCmdSelectorWidth, &appData.windowCmdSelectorHeight);
    appData.windowCmdSelectorSplitter = m_splitter->sizes();
}

void TDialogCmdSelector::fillGroups(int id_cfg, int id_cmd)
{
    if (id_cfg < 0 && id_cmd < 0) {
        m_tools->clear();
        m_prog->clear();
        m_device->clear();
        return;
    }
    m_tools->setCmdList(m_project->toolsCmdList());
    m_prog->setCmdList(m_project->progCmdListAt(id_cmd));
    m_device->setCmdList(m_project->deviceCmdListAt(id_cmd));
}

void TDialogCmdSelector::slotSelectCmd(int id_cfg, int id_cmd)
{
    fillGroups(id_cfg, id_cmd);
}

void TDialogCmdSelector::slotAddCmd(const QString &cmd_code)
{
    bool state = m_state->isChecked();
    if (QApplication::keyboardModifiers() == Qt::ControlModifier)
        state = !state;
    emit signalAddCmd(cmd_code, state);
}

void TDialogCmdSelector::slotClose()
{
    close();
}
