#include "gui/forms/TFormTools.h"

#include "core/TAppData.h"
#include "core/TCmdCode.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "data/TDataCfg.h"
#include "data/TDataCmd.h"
#include "data/TDataPrj.h"
#include "devices/param_schema.h"
#include "formats/TFormat.h"
#include "gui/forms/form_numbers.h"
#include "gui/widgets/TComboBox.h"
#include "gui/widgets/TWgtEditDecDef.h"
#include "gui/widgets/TWgtEditFileName.h"
#include "gui/widgets/TWgtEditHexDec.h"
#include "gui/widgets/TWgtEditHexDec64.h"
#include "gui/widgets/TWgtLabelComboBox.h"
#include "gui/widgets/TWgtLine.h"
#include "link/TSerialPort.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <limits>

namespace {

QFormLayout *formLayout(QWidget *form, int spacing)
{
    auto *layout = new QFormLayout(form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    layout->setLabelAlignment(Qt::AlignRight);
    return layout;
}

TWgtEditDecDef *numberEdit(int value, int min, int max, int byDefault, const QString &unit)
{
    auto *edit = new TWgtEditDecDef(value);
    edit->setRange(min, max);
    edit->setDefault(byDefault);
    edit->setEditToolTip(QStringLiteral("%1..%2").arg(min).arg(max) + unit);
    edit->setDefaultToolTip(QStringLiteral("Default: %1").arg(byDefault) + unit);
    return edit;
}

constexpr int int32Max = std::numeric_limits<int>::max();
constexpr int int32Min = std::numeric_limits<int>::min();

} // namespace

// ---- counter ------------------------------------------------------------------

TFormToolsCounter::TFormToolsCounter(int idCmd, int value, int limit, int delta, QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd), m_limit(limit), m_delta(delta)
{
    m_value = numberEdit(value, 0, int32Max, 0, QString());
    m_limitEdit = numberEdit(limit, 0, int32Max, 10, QString());
    m_deltaEdit = numberEdit(delta, int32Min, int32Max, 1, QString());
    tagParamKey(m_value, COUNTER_VALUE);
    tagParamKey(m_limitEdit, COUNTER_LIMIT);
    tagParamKey(m_deltaEdit, COUNTER_DELTA);
    QFormLayout *layout = formLayout(this, 2);
    layout->addRow(lang.text(322), m_value);
    layout->addRow(lang.text(323), m_limitEdit);
    layout->addRow(lang.text(324), m_deltaEdit);
    connect(m_value, &TWgtEditDecDef::valueChanged, this, &TFormToolsCounter::slotChanged);
    connect(m_limitEdit, &TWgtEditDecDef::valueChanged, this, &TFormToolsCounter::slotLimitChanged);
    connect(m_deltaEdit, &TWgtEditDecDef::valueChanged, this, &TFormToolsCounter::slotDeltaChanged);
}

void TFormToolsCounter::setValue(int value)
{
    m_value->setValue(value);
}

void TFormToolsCounter::slotLimitChanged()
{
    m_limit = m_limitEdit->value();
    slotChanged();
}

void TFormToolsCounter::slotDeltaChanged()
{
    m_delta = m_deltaEdit->value();
    slotChanged();
}

void TFormToolsCounter::slotChanged()
{
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                {QLatin1String(COUNTER_VALUE), m_value->value()},
                                {QLatin1String(COUNTER_LIMIT), m_limit},
                                {QLatin1String(COUNTER_DELTA), m_delta}});
}

// ---- delay --------------------------------------------------------------------

TFormToolsDelay::TFormToolsDelay(int idCmd, int value, int defaultValue, QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd)
{
    m_value = numberEdit(value, 0, int32Max, defaultValue, QStringLiteral(" ms"));
    tagParamKey(m_value, DELAY_VALUE);
    formLayout(this, 2)->addRow(lang.text(325), m_value);
    connect(m_value, &TWgtEditDecDef::valueChanged, this, &TFormToolsDelay::slotChanged);
}

void TFormToolsDelay::slotChanged()
{
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                {QLatin1String(DELAY_VALUE), m_value->value()}});
}

// ---- execute ------------------------------------------------------------------

TFormToolsExecute::TFormToolsExecute(const TData &command, QWidget *parent) : QWidget(parent)
{
    m_idCmd = schema::cmdId(command);
    const int target = schema::target(command, EXECUTE_CFG);
    m_cfg = new TComboBox;
    m_cfg->setToolTip(lang.text(320));
    m_cfg->setMaxVisibleItems(10);
    int current = -1;
    const QList<TDataCfg *> cfgs = dataPrj.cfgList();
    for (int i = 0; i < cfgs.size(); ++i) {
        m_cfg->addItem(cfgs.at(i)->name());
        if (cfgs.at(i)->id() == target)
            current = i;
    }
    m_cfg->setCurrentIndex(current);
    tagParamKey(m_cfg, EXECUTE_CFG);
    formLayout(this, 2)->addRow(lang.text(321), m_cfg);
    connect(m_cfg, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TFormToolsExecute::slotChanged);
}

void TFormToolsExecute::slotChanged()
{
    // No current item stores nothing: the stored target stays.
    if (m_cfg->currentIndex() < 0)
        return;
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                {QLatin1String(EXECUTE_CFG), dataPrj.cfgIdAt(m_cfg->currentIndex())}});
}

// ---- jamp ---------------------------------------------------------------------

TFormToolsJamp::TFormToolsJamp(int idCmd, int toCmd, QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd), m_cfgShown(dataPrj.cfgIdOfCmd(toCmd)), m_target(toCmd)
{
    m_cfgBox = new TComboBox;
    m_cfgBox->setMaxVisibleItems(10);
    m_cmdBox = new TComboBox;
    m_cmdBox->setMaxVisibleItems(10);
    tagParamKey(m_cfgBox, JAMP_TO_CMD);
    tagParamKey(m_cmdBox, JAMP_TO_CMD);
    QFormLayout *layout = formLayout(this, 2);
    layout->addRow(lang.text(326), m_cfgBox);
    layout->addRow(lang.text(327), m_cmdBox);
    fillConfigs();
    fillCommands();
    connect(m_cfgBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TFormToolsJamp::slotChangedCfg);
    connect(m_cmdBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TFormToolsJamp::slotChangedCmd);
}

void TFormToolsJamp::fillConfigs()
{
    m_cfgIds.clear();
    m_cfgBox->clear();
    int current = -1;
    for (const TDataCfg *cfg : dataPrj.cfgList()) {
        if (cfg->id() == m_cfgShown)
            current = m_cfgIds.size();
        m_cfgIds << cfg->id();
        m_cfgBox->addItem(cfg->name());
    }
    m_cfgBox->setCurrentIndex(current);
}

void TFormToolsJamp::fillCommands()
{
    m_cmdIds.clear();
    m_cmdBox->clear();
    int current = -1;
    for (const TDataCmd *cmd : dataPrj.cmdsOfCfg(m_cfgShown)) {
        if (cmd->id() == m_target)
            current = m_cmdIds.size();
        m_cmdIds << cmd->id();
        m_cmdBox->addItem(cmdCode.name(cmd->cmd()));
    }
    m_cmdBox->setCurrentIndex(current);
}

void TFormToolsJamp::slotChangedCfg()
{
    const int index = m_cfgBox->currentIndex();
    if (index < 0 || index >= m_cfgIds.size())
        return;
    const bool blocked = m_cmdBox->blockSignals(true);
    m_cfgShown = m_cfgIds.at(index);
    fillCommands();
    if (!m_cmdIds.isEmpty()) {
        m_target = m_cmdIds.first();
        m_cmdBox->setCurrentIndex(0);
        emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                    {QLatin1String(JAMP_TO_CMD), m_target}});
    }
    m_cmdBox->blockSignals(blocked);
}

void TFormToolsJamp::slotChangedCmd()
{
    const int cfg = m_cfgBox->currentIndex();
    const int cmd = m_cmdBox->currentIndex();
    if (cfg < 0 || cfg >= m_cfgIds.size() || cmd < 0 || cmd >= m_cmdIds.size())
        return;
    m_cfgShown = m_cfgIds.at(cfg);
    m_target = m_cmdIds.at(cmd);
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                {QLatin1String(JAMP_TO_CMD), m_target}});
}

// ---- process ------------------------------------------------------------------

TFormToolsProcess::TFormToolsProcess(int idCmd, const QString &basePath, const QString &fileName,
                                     QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd)
{
    m_file = new TWgtEditFileName(lang.text(328), fileName);
    m_file->setEditToolTip(lang.text(329));
    m_file->setButtonToolTip(lang.text(330));
    m_file->setFileDialog(lang.text(331), QStringLiteral("%1 (*.*)").arg(lang.text(332)), QString());
    m_file->setBasePath(basePath);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_file);
    layout->addStretch(1);
    connect(m_file, &TWgtEditFileName::signalChanged, this, &TFormToolsProcess::slotChanged);
}

void TFormToolsProcess::slotChanged(const QString &file)
{
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                {QLatin1String(PROCESS_FILE), file}});
}

// ---- set_prog -----------------------------------------------------------------

TFormToolsSetProg::TFormToolsSetProg(const TData &command, QWidget *parent) : QWidget(parent)
{
    m_idCmd = schema::cmdId(command);
    const QString prog = schema::text(command, SET_PROG_PROG);
    m_altEnabled = schema::flag(command, SET_PROG_ALT_ENABLED);
    m_altPort = schema::text(command, SET_PROG_ALT_PORT);

    m_prog = new TComboBox;
    m_prog->setToolTip(lang.text(315));
    m_prog->setMaxVisibleItems(10);
    int current = -1;
    const TProgName names = appData.progLists().names;
    for (int i = 0; i < names.count(); ++i) {
        const QString name = names.at(i);
        const TProgNameItem item = names.find(name);
        if (!item.mark)
            continue;
        if (name == prog)
            current = m_prog->count();
        m_prog->addItem(QStringLiteral("%1: %2, %3").arg(name, item.port, item.type));
    }
    m_prog->setCurrentIndex(current);

    // The stored port is matched by its whole name; one that is not present
    // now is shown as an entry of its own rather than replaced.
    QStringList ports = TSerialPort::availablePorts();
    int portIndex = -1;
    for (int i = 0; i < ports.size() && portIndex < 0; ++i)
        if (TSerialPort::portNameOf(ports.at(i)) == m_altPort)
            portIndex = i;
    if (portIndex < 0 && !m_altPort.isEmpty()) {
        ports << m_altPort;
        portIndex = ports.size() - 1;
    }
    const bool available = !ports.isEmpty();

    m_alt = new QCheckBox;
    m_alt->setToolTip(lang.text(316));
    m_alt->setChecked(m_altEnabled && available);
    m_alt->setEnabled(available);
    tagParamKey(m_alt, SET_PROG_ALT_ENABLED);
    m_port = new TComboBox;
    m_port->setToolTip(lang.text(317));
    m_port->setMaxVisibleItems(10);
    m_port->addItems(ports);
    m_port->setCurrentIndex(portIndex >= 0 ? portIndex : (available ? 0 : -1));
    m_port->setEnabled(m_alt->isChecked());

    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(5);
    row->addWidget(m_alt);
    row->addWidget(m_port);
    row->addStretch(1);
    QFormLayout *layout = formLayout(this, 5);
    layout->addRow(lang.text(318), m_prog);
    layout->addRow(lang.text(319), row);

    connect(m_prog, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TFormToolsSetProg::slotChanged);
    connect(m_alt, &QCheckBox::stateChanged, this, [this] {
        m_portTouched = true;
        slotChanged();
    });
    connect(m_port, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        m_portTouched = true;
        slotChanged();
    });
}

void TFormToolsSetProg::slotChanged()
{
    const bool blocked = m_port->blockSignals(true);
    m_port->setEnabled(m_alt->isChecked());
    m_port->blockSignals(blocked);
    if (m_portTouched) {
        m_altEnabled = m_alt->isChecked();
        m_altPort = TSerialPort::portNameOf(m_port->currentText());
    }
    TData data{{QLatin1String(REC_ID_CMD), m_idCmd},
               {QLatin1String(SET_PROG_ALT_ENABLED), m_altEnabled},
               {QLatin1String(SET_PROG_ALT_PORT), m_altPort}};
    // While no programmer is current (the stored one is disabled or gone)
    // the stored name stays: every later command depends on it.
    if (m_prog->currentIndex() >= 0) {
        const QString text = m_prog->currentText();
        const int colon = text.indexOf(QLatin1Char(':'));
        data.insert(QLatin1String(SET_PROG_PROG), colon < 0 ? text : text.left(colon));
    }
    emit signalChangedCmdParam(data);
}

// ---- calc_crc -----------------------------------------------------------------

TFormToolsCalcCRC::TFormToolsCalcCRC(int idCmd, const QStringList &crcNames, const QString &crcName,
                                     const QString &format, const QString &file, qint64 addr,
                                     qint64 count, quint8 fill, QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd)
{
    m_crc = new TWgtLabelComboBox(lang.text(333), crcNames, 1);
    m_crc->setFixedHeight(23);
    m_crc->selectText(crcName);
    auto *line = new TWgtLine(10);
    m_file = new TWgtEditFileName(lang.text(334), file);
    m_file->setEditToolTip(lang.text(335));
    m_file->setButtonToolTip(lang.text(337));
    m_file->setFileDialog(lang.text(336),
                          QStringLiteral("Files (%1);;All Files (*.*)").arg(TFormat::filter()), QString());
    m_file->setRequired(true);
    m_format = new TComboBox;
    m_format->setToolTip(lang.text(338));
    m_format->addItems(TFormat::formatList());
    m_format->setCurrentIndex(TFormat::formatList().indexOf(format.toUpper()));
    auto *fileRow = new QHBoxLayout;
    fileRow->setContentsMargins(0, 0, 0, 0);
    fileRow->setSpacing(2);
    fileRow->addWidget(m_file);
    fileRow->addWidget(m_format);
    m_addr = new TWgtEditHexDec64(addr);
    m_addr->setRange(0, maxFileAddr());
    m_count = new TWgtEditHexDec64(count);
    m_count->setRange(0, maxFileAddr());
    m_fill = new TWgtEditHexDec(fill);
    m_fill->setRange(0, 255);
    tagParamKey(m_addr, CRC_ADDR);
    tagParamKey(m_count, CRC_COUNT);
    tagParamKey(m_fill, CRC_FILL);
    auto *rows = new QFormLayout;
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    rows->setLabelAlignment(Qt::AlignRight);
    rows->addRow(lang.text(339), m_addr);
    rows->addRow(lang.text(340), m_count);
    rows->addRow(lang.text(341), m_fill);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_crc);
    layout->addWidget(line);
    layout->addLayout(fileRow);
    layout->addLayout(rows);

    connect(m_crc, &TWgtLabelComboBox::signalChange, this, &TFormToolsCalcCRC::slotChanged);
    connect(m_file, &TWgtEditFileName::signalChanged, this, &TFormToolsCalcCRC::slotChanged);
    connect(m_format, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TFormToolsCalcCRC::slotChanged);
    connect(m_addr, &TWgtEditHexDec64::valueChanged, this, &TFormToolsCalcCRC::slotChanged);
    connect(m_count, &TWgtEditHexDec64::valueChanged, this, &TFormToolsCalcCRC::slotChanged);
    connect(m_fill, &TWgtEditHexDec::valueChanged, this, &TFormToolsCalcCRC::slotChanged);
}

void TFormToolsCalcCRC::setDefault(qint64 addrDefault, qint64 countDefault, quint8 fillDefault)
{
    m_addr->setDefault(addrDefault);
    m_count->setDefault(countDefault);
    m_fill->setDefault(fillDefault);
}

void TFormToolsCalcCRC::setBasePath(const QString &path)
{
    m_file->setBasePath(path);
}

qint64 TFormToolsCalcCRC::maxFileAddr() const
{
    return m_format->currentText().toLower().contains(QLatin1String("bin"))
               ? std::numeric_limits<qint64>::max()
               : qint64(0xFFFFFFFF);
}

void TFormToolsCalcCRC::slotChanged()
{
    TData data{{QLatin1String(REC_ID_CMD), m_idCmd},
               {QLatin1String(CRC_FILE), m_file->fileName()},
               {QLatin1String(CRC_ADDR), m_addr->value()},
               {QLatin1String(CRC_COUNT), m_count->value()},
               {QLatin1String(CRC_FILL), m_fill->value()}};
    // A box without a current item (an algorithm not enabled, a format not
    // offered) leaves its key as stored.
    if (m_crc->currentIndex() >= 0)
        data.insert(QLatin1String(CRC_CRC_NAME), m_crc->currentText());
    if (m_format->currentIndex() >= 0)
        data.insert(QLatin1String(CRC_FORMAT), m_format->currentText().toLower());
    emit signalChangedCmdParam(data);
}
