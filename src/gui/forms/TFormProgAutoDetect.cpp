#include "gui/forms/TFormProgAutoDetect.h"

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/TSettings.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/dev_lists.h"
#include "devices/param_schema.h"
#include "gui/dialogs/TDialogSelectDevice.h"
#include "gui/dialogs/setup_page_misc.h"
#include "gui/forms/form_device.h"
#include "gui/forms/form_numbers.h"
#include "gui/widgets/TActionWidget.h"
#include "gui/widgets/TComboBox.h"
#include "gui/widgets/TStyleCmdList.h"
#include "gui/widgets/TToolBarMetrics.h"

#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString source = QStringLiteral("gui\\forms\\TFormProgAutoDetect");

// One style object serves every route table; a view never owns its style.
TStyleCmdList *routeStyle()
{
    static TStyleCmdList *style = new TStyleCmdList;
    return style;
}

constexpr int keyRole = Qt::UserRole;
// A route item as stored, for a row that leads to no configuration.
constexpr int storedRole = Qt::UserRole + 1;

// The item of a Jamp/Execute or Skip/Stop box for a stored flag: 0 or 1 as
// the form stores them, "false" or "true" as a change of family keeps them;
// -1 (no item) for any other value.
int modeOf(const QVariant &stored)
{
    qint64 n = 0;
    if (schema::readInteger(stored, n))
        return n == 0 || n == 1 ? int(n) : -1;
    bool on = false;
    return schema::readFlag(stored, on) ? int(on) : -1;
}

} // namespace

TFormProgAutoDetect::TFormProgAutoDetect(const TData &data, QWidget *parent) : QWidget(parent)
{
    m_idCmd = getParam(source, __LINE__, data, QLatin1String(REC_ID_CMD)).toInt();
    m_executeMode = modeOf(getParam(source, __LINE__, data, QLatin1String(AUTO_EXECUTE)));
    m_stopMode = modeOf(getParam(source, __LINE__, data, QLatin1String(AUTO_STOP)));
    createUi();
    createActions();
    setShortcuts();
    createContextMenu();
    m_family = getParam(source, __LINE__, data, QLatin1String(AUTO_NAME)).toString();
    m_pairs = loadAutoPairs(m_family);
    fillRoutes(getParam(source, __LINE__, data, QLatin1String(AUTO_ROUTE)).toString());
    updateActions();
    updateDevice();
}

TFormProgAutoDetect::~TFormProgAutoDetect()
{
    m_table->disconnect(this);
    m_table->setRowCount(0);
    delete m_actAdd;
    delete m_actEdit;
    delete m_actDelete;
    delete m_actUp;
    delete m_actDown;
    delete m_menu;
    delete m_deviceForm;
}

TDataCmd *TFormProgAutoDetect::command() const
{
    return dataPrj.cmdById(m_idCmd);
}

void TFormProgAutoDetect::createUi()
{
    QHBoxLayout *top = createChooserRow(this, m_familyEdit, m_familyButton, 348, 349);
    m_execute = new TComboBox(this);
    m_execute->addItems({QStringLiteral("Jamp"), QStringLiteral("Execute")});
    m_execute->setToolTip(lang.text(350));
    m_execute->setCurrentIndex(m_executeMode == 0 || m_executeMode == 1 ? m_executeMode : -1);
    m_stop = new TComboBox(this);
    m_stop->addItems({QStringLiteral("Skip"), QStringLiteral("Stop")});
    m_stop->setToolTip(lang.text(351));
    m_stop->setCurrentIndex(m_stopMode == 0 || m_stopMode == 1 ? m_stopMode : -1);
    tagParamKey(m_execute, AUTO_EXECUTE);
    tagParamKey(m_stop, AUTO_STOP);
    top->addWidget(m_execute);
    top->addWidget(m_stop);

    auto *tabs = new QTabWidget(this);

    m_table = new QTableWidget(0, 2);
    m_table->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_table->setHorizontalHeaderLabels({lang.text(355), lang.text(356)});
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->horizontalHeader()->setHighlightSections(false);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(19);
    m_table->verticalHeader()->setMaximumSectionSize(19);
    m_table->setColumnWidth(0, appData.windowMainCmdAutoColumnDeviceWidth);
    m_table->setWordWrap(false);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    m_table->setStyleSheet(QStringLiteral("QTableWidget:item:selected:!active { background: #A0A0A0; }"));
    m_table->setStyle(routeStyle());
    auto *routeFrame = new QFrame;
    routeFrame->setFrameShape(QFrame::NoFrame);
    auto *routeLayout = new QVBoxLayout(routeFrame);
    routeLayout->setContentsMargins(0, 0, 0, 0);
    routeLayout->setAlignment(Qt::AlignTop);
    routeLayout->addWidget(m_table);
    tabs->addTab(routeFrame, lang.text(352));

    tabs->addTab(createDeviceFormPage(m_formLayout), lang.text(353));

    m_connection = new QTextEdit;
    m_connection->setObjectName(QStringLiteral("connection"));
    m_connection->setReadOnly(true);
    m_connection->setFont(QFont(appData.fontMonoName, appData.fontMonoSize));
    tabs->addTab(m_connection, lang.text(354));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(tabs);

    connect(m_familyButton, &QPushButton::clicked, this, &TFormProgAutoDetect::slotBtnSelectFamily);
    connect(m_execute, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TFormProgAutoDetect::slotChangeExecuteMode);
    connect(m_stop, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TFormProgAutoDetect::slotChangeExistMode);
    connect(m_table, &QTableWidget::itemDoubleClicked, this, &TFormProgAutoDetect::slotEdit);
    connect(m_table, &QWidget::customContextMenuRequested, this,
            &TFormProgAutoDetect::slotShowContextMenuRoute);
    connect(m_table, &QTableWidget::itemSelectionChanged, this,
            &TFormProgAutoDetect::slotSelectItemRoute);
}

void TFormProgAutoDetect::createActions()
{
    m_actAdd = new TActionWidget(m_table, lang.text(226), this);
    m_actEdit = new TActionWidget(m_table, lang.text(227), this);
    m_actDelete = new TActionWidget(m_table, lang.text(228), this);
    m_actUp = new TActionWidget(m_table, lang.text(229), this);
    m_actDown = new TActionWidget(m_table, lang.text(230), this);
    connect(m_actAdd, &QAction::triggered, this, &TFormProgAutoDetect::slotAdd);
    connect(m_actEdit, &QAction::triggered, this, &TFormProgAutoDetect::slotEdit);
    connect(m_actDelete, &QAction::triggered, this, &TFormProgAutoDetect::slotDelete);
    connect(m_actUp, &QAction::triggered, this, &TFormProgAutoDetect::slotMoveUp);
    connect(m_actDown, &QAction::triggered, this, &TFormProgAutoDetect::slotMoveDown);
}

void TFormProgAutoDetect::setShortcuts()
{
    const TSettings keys(hotKeyFilePath());
    const QString group = QStringLiteral("/HotKeyCmdAutoDetect/");
    const std::pair<TActionWidget *, const char *> bindings[] = {
        {m_actAdd, "Add"}, {m_actEdit, "Edit"}, {m_actDelete, "Delete"},
        {m_actUp, "MoveUp"}, {m_actDown, "MoveDown"}};
    for (const auto &b : bindings)
        b.first->setShortcut(QKeySequence::fromString(
            keys.readString(group + QLatin1String(b.second), QString()), QKeySequence::NativeText));
}

void TFormProgAutoDetect::createContextMenu()
{
    m_menu = new QMenu(QString(), this);
    m_menu->addAction(m_actAdd);
    m_menu->addAction(m_actEdit);
    m_menu->addAction(m_actDelete);
    m_menu->addSeparator();
    m_menu->addAction(m_actUp);
    m_menu->addAction(m_actDown);
}

// A row shows the device name of its identifier and the name of its
// configuration, and keeps both ids, shown or not.
void TFormProgAutoDetect::setRow(int row, const QString &key, int cfgId)
{
    auto *device = new QTableWidgetItem(m_pairs.valueOf(key));
    device->setData(keyRole, key);
    auto *cfg = new QTableWidgetItem(dataPrj.cfgName(cfgId));
    cfg->setData(keyRole, cfgId);
    m_table->setItem(row, 0, device);
    m_table->setItem(row, 1, cfg);
}

void TFormProgAutoDetect::fillRoutes(const QString &route)
{
    // An item that leads to no configuration (the check refuses it) shows
    // none and stays as stored until the user edits its row.
    for (const schema::Reference &r : schema::referencesIn(schema::Kind::Routes, route)) {
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        const int id = schema::targetOf(r);
        setRow(row, r.key, id);
        if (id < 0) {
            QTableWidgetItem *device = m_table->item(row, 0);
            device->setData(storedRole, r.item);
            if (device->text().isEmpty())
                device->setText(r.item);
        }
    }
    m_table->setCurrentCell(0, 0);
}

QString TFormProgAutoDetect::routeText() const
{
    QStringList items;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QTableWidgetItem *device = m_table->item(row, 0);
        const QTableWidgetItem *cfg = m_table->item(row, 1);
        const QString stored = device ? device->data(storedRole).toString() : QString();
        if (!stored.isEmpty()) {
            items << stored;
            continue;
        }
        items << QStringLiteral("%1=%2")
                     .arg(device ? device->data(keyRole).toString() : QString())
                     .arg(cfg ? cfg->data(keyRole).toInt() : -1);
    }
    return items.join(QLatin1Char('|'));
}

void TFormProgAutoDetect::emitRecord(const TData &keys)
{
    TData data = keys;
    data.insert(QLatin1String(REC_ID_CMD), m_idCmd);
    emit signalChangedCmdParam(data);
}

void TFormProgAutoDetect::emitRoute()
{
    emitRecord({{QLatin1String(AUTO_ROUTE), routeText()}});
}

void TFormProgAutoDetect::updateActions()
{
    const int r = m_table->currentRow();
    const int n = m_table->rowCount();
    m_actEdit->setEnabled(r >= 0);
    m_actDelete->setEnabled(r >= 0);
    m_actUp->setEnabled(n != 0 && r != 0);
    m_actDown->setEnabled(r < n - 1);
}

void TFormProgAutoDetect::slotShowContextMenuRoute(const QPoint &pos)
{
    updateActions();
    m_menu->popup(m_table->viewport()->mapToGlobal(pos));
}

void TFormProgAutoDetect::slotSelectItemRoute()
{
    updateActions();
}

namespace {

// The family's device names sorted, each with its identifier, and the
// project's configurations in order, each with its id.
void fillRouteDialog(TFormProgAutoDetectEdit &dialog, const TPairStringList &pairs,
                     const QString &device, const QString &cfg)
{
    QVector<std::pair<QString, QString>> devices;
    for (int i = 0; i < pairs.count(); ++i)
        devices.append({pairs.value(i), pairs.key(i)});
    std::stable_sort(devices.begin(), devices.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList names, keys;
    for (const auto &d : devices) {
        names << d.first;
        keys << d.second;
    }
    const QStringList cfgNames = dataPrj.cfgNames();
    QList<int> cfgIds;
    for (int i = 0; i < cfgNames.size(); ++i)
        cfgIds << dataPrj.cfgIdAt(i);
    dialog.setItems(names, device, cfgNames, cfg);
    dialog.setItemData(keys, cfgIds);
}

} // namespace

void TFormProgAutoDetect::slotAdd()
{
    TFormProgAutoDetectEdit dialog(lang.text(357), this);
    fillRouteDialog(dialog, m_pairs, QString(), QString());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int row = m_table->currentRow() + 1;
    m_table->insertRow(row);
    setRow(row, dialog.deviceKey(), dialog.cfgId());
    m_table->setCurrentCell(row, 0);
    emitRoute();
    updateActions();
}

void TFormProgAutoDetect::slotEdit()
{
    const int row = m_table->currentRow();
    if (row < 0)
        return;
    const QTableWidgetItem *device = m_table->item(row, 0);
    const QTableWidgetItem *cfg = m_table->item(row, 1);
    TFormProgAutoDetectEdit dialog(lang.text(358), this);
    fillRouteDialog(dialog, m_pairs, device->text(), cfg->text());
    dialog.selectByData(device->data(keyRole).toString(), cfg->data(keyRole).toInt());
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (row >= m_table->rowCount())
        return;
    setRow(row, dialog.deviceKey(), dialog.cfgId());
    emitRoute();
}

void TFormProgAutoDetect::slotDelete()
{
    const int row = m_table->currentRow();
    if (row < 0)
        return;
    const QString text = lang.text(361).arg(m_table->item(row, 0)->text(), m_table->item(row, 1)->text());
    if (!askYesNo(text, this))
        return;
    m_table->removeRow(row);
    emitRoute();
    updateActions();
}

void TFormProgAutoDetect::slotMoveUp()
{
    moveTableRow(m_table, -1);
    emitRoute();
    updateActions();
}

void TFormProgAutoDetect::slotMoveDown()
{
    moveTableRow(m_table, 1);
    emitRoute();
    updateActions();
}

void TFormProgAutoDetect::slotChangeExecuteMode()
{
    emitRecord({{QLatin1String(AUTO_EXECUTE), m_execute->currentIndex()}});
}

void TFormProgAutoDetect::slotChangeExistMode()
{
    emitRecord({{QLatin1String(AUTO_STOP), m_stop->currentIndex()}});
}

void TFormProgAutoDetect::slotBtnSelectFamily()
{
    QString chosen;
    {
        TDialogSelectDevice dialog(autoListNames(), this);
        dialog.setWindowTitle(lang.text(349));
        if (dialog.exec() != QDialog::Accepted)
            return;
        chosen = dialog.selectedDevice();
    }
    if (chosen.isEmpty() || chosen == m_familyEdit->text())
        return;
    const QPointer<TFormProgAutoDetect> alive(this);
    emitRecord({{QLatin1String(AUTO_NAME), chosen}, {QLatin1String(AUTO_ROUTE), QString()}});
    if (!alive)
        return;
    m_family = chosen;
    m_pairs = loadAutoPairs(chosen);
    m_table->setRowCount(0);
    updateActions();
    updateDevice();
}

void TFormProgAutoDetect::updateDevice()
{
    // Without its command (a form built for a record the project lacks)
    // the form shows the family it was built with and no device.
    const TDataCmd *cmd = command();
    m_familyEdit->setText(cmd ? getParam(source, __LINE__, cmd->toHash(), QLatin1String(AUTO_NAME)).toString()
                              : m_family);
    const DeviceInForce shown = deviceInForce(cmd);
    m_deviceForm = rebuildDeviceForm(m_deviceForm, shown, cmd, m_formLayout, this);
    fillConnectionText(m_connection, shown.pinLines, shown.comment);
}

// ---- Route dialog ---------------------------------------------------------

TFormProgAutoDetectEdit::TFormProgAutoDetectEdit(const QString &title, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    m_device = new TComboBox;
    m_cfg = new TComboBox;
    auto *rows = new QFormLayout;
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(5);
    rows->setLabelAlignment(Qt::AlignRight);
    rows->addRow(lang.text(359), m_device);
    rows->addRow(lang.text(360), m_cfg);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(5);
    layout->addLayout(rows);
    m_ok = addSetupButtons(this, layout);

    connect(m_device, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this] { updateOk(); });
    connect(m_cfg, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this] { updateOk(); });
    updateOk();

    setFixedHeight(sizeHint().height());
    centreOnActiveWindow(this, appData.windowOtherCenter, appData.windowRouteEditLeft,
                         appData.windowRouteEditTop, appData.windowRouteEditWidth,
                         sizeHint().height());
}

TFormProgAutoDetectEdit::~TFormProgAutoDetectEdit()
{
    const QRect g = geometry();
    appData.windowRouteEditLeft = g.left();
    appData.windowRouteEditTop = g.top();
    appData.windowRouteEditWidth = g.right() - g.left() + 1;
}

void TFormProgAutoDetectEdit::setItems(const QStringList &devices, const QString &device,
                                       const QStringList &cfgs, const QString &cfg)
{
    m_device->addItems(devices);
    m_device->setCurrentIndex(devices.indexOf(device));
    m_cfg->addItems(cfgs);
    m_cfg->setCurrentIndex(cfgs.indexOf(cfg));
    updateOk();
}

void TFormProgAutoDetectEdit::setItemData(const QStringList &deviceKeys, const QList<int> &cfgIds)
{
    for (int i = 0; i < m_device->count() && i < deviceKeys.size(); ++i)
        m_device->setItemData(i, deviceKeys.at(i));
    for (int i = 0; i < m_cfg->count() && i < cfgIds.size(); ++i)
        m_cfg->setItemData(i, cfgIds.at(i));
}

void TFormProgAutoDetectEdit::selectByData(const QString &deviceKey, int cfgId)
{
    const int device = m_device->findData(deviceKey);
    if (device >= 0)
        m_device->setCurrentIndex(device);
    const int cfg = m_cfg->findData(cfgId);
    if (cfg >= 0)
        m_cfg->setCurrentIndex(cfg);
}

QString TFormProgAutoDetectEdit::deviceText() const { return m_device->currentText(); }
QString TFormProgAutoDetectEdit::cfgText() const { return m_cfg->currentText(); }

QString TFormProgAutoDetectEdit::deviceKey() const
{
    return m_device->currentIndex() < 0 ? QString() : m_device->currentData().toString();
}

int TFormProgAutoDetectEdit::cfgId() const
{
    return m_cfg->currentIndex() < 0 ? -1 : m_cfg->currentData().toInt();
}

void TFormProgAutoDetectEdit::updateOk()
{
    m_ok->setEnabled(m_device->currentIndex() >= 0 && m_cfg->currentIndex() >= 0);
}
