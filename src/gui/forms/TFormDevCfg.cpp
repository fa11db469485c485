#include "gui/forms/TFormDevCfg.h"

#include "core/consts.h"
#include "core/helpers.h"
#include "gui/forms/TFormDevCfgItems.h"
#include "gui/widgets/TWgtEditStrHex.h"
#include "gui/widgets/wgt_misc.h"
#include "misc/dev_misc.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include <limits>

namespace {

const QString source = QStringLiteral("gui\\forms\\TFormDevCfg");

// Width and height fields: unsigned decimal, anything else 0.
int sizeField(const QString &text)
{
    bool ok = false;
    const uint n = text.toUInt(&ok);
    return ok && n <= uint(std::numeric_limits<int>::max()) ? int(n) : 0;
}

int colorMode(const QString &text)
{
    static const QStringList modes{QStringLiteral("w"), QStringLiteral("W"), QStringLiteral("a"),
                                   QStringLiteral("A")};
    return modes.indexOf(text) + 1;
}

QVBoxLayout *topAlignedColumn(QWidget *owner, int margins, int spacing)
{
    auto *layout = new QVBoxLayout(owner);
    layout->setContentsMargins(margins, margins, margins, margins);
    layout->setSpacing(spacing);
    layout->setAlignment(Qt::AlignTop);
    return layout;
}

} // namespace

TFormDevCfg::TFormDevCfg(int idCmd, const QString &dataHex, const QString &defaultHex,
                         const QStringList &markup, bool showEdit, QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd), m_showEdit(showEdit)
{
    // Nothing is re-aligned: a default that is not whole bytes is logged and
    // the image keeps its own length; an image that is not whole bytes
    // shows the default, so that no guessed byte is edited further.
    const bool dataWhole = hexStringToBytesChecked(dataHex, m_data);
    if (!hexStringToBytesChecked(defaultHex, m_default)) {
        writeLog(QStringLiteral("error"), QStringLiteral("DevCfg: %1").arg(defaultHex));
        m_default = m_data;
    }
    if (!dataWhole)
        m_data = m_default;
    // The image always has the default's length. A short image takes the
    // default's bytes beyond its end, never zeros: a zero fuse or lock byte
    // programs every one of its bits (reset disabled, the part locked).
    if (m_data.size() > m_default.size())
        m_data.truncate(m_default.size());
    else
        m_data.append(m_default.mid(m_data.size()));

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(2);

    if (m_showEdit) {
        m_edit = new TWgtEditStrHex(bytesToHexString(m_data));
        m_edit->setFixedHeight(21);
        m_button = createSmallButton(QStringLiteral("*"));
        m_button->setToolTip(QStringLiteral("Default: %1").arg(defaultHex));
        m_editRow = new QHBoxLayout;
        m_editRow->setContentsMargins(0, 0, 0, 0);
        m_editRow->setSpacing(2);
        m_editRow->addWidget(m_edit);
        m_editRow->addWidget(m_button);
        m_layout->addLayout(m_editRow);
        connect(m_edit, &TWgtEditStrHex::valueChanged, this, &TFormDevCfg::slotEditChanged);
        connect(m_button, &QPushButton::clicked, this, &TFormDevCfg::slotSetDefault);
    }

    bool built = !markup.isEmpty();
    for (const QString &line : markup) {
        if (!interpret(line)) {
            writeLog(QStringLiteral("error"), QStringLiteral("DevCfg: %1").arg(line));
            built = false;
            break;
        }
    }
    if (markup.isEmpty())
        writeLog(QStringLiteral("error"), QStringLiteral("DevCfg: "));
    // The items show the first image without reporting it back: a box over
    // several bits, only some of them set, would otherwise write all of
    // them into the image the user has not touched.
    if (built)
        refreshItems();
}

TFormDevCfg::~TFormDevCfg()
{
    for (int i = m_owned.size() - 1; i >= 0; --i)
        delete m_owned.at(i).data();
    delete m_edit;
    delete m_button;
    delete m_editRow;
    delete m_layout;
}

void TFormDevCfg::addToTop(QWidget *widget)
{
    m_containers.last()->layout()->addWidget(widget);
}

QWidget *TFormDevCfg::createScrollPage(int margins)
{
    auto *scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto *frame = new QFrame;
    frame->setFrameShape(QFrame::NoFrame);
    QVBoxLayout *layout = topAlignedColumn(frame, margins, 0);
    scroll->setWidget(frame);
    own(scroll);
    own(frame);
    own(layout);
    m_containers.append(frame);
    return scroll;
}

bool TFormDevCfg::interpret(const QString &line)
{
    QStringList parts = line.split(QLatin1Char('|'));
    for (QString &part : parts)
        part = part.trimmed();
    const QString token = parts.first();
    const int n = parts.size();
    const bool open = !m_containers.isEmpty();

    if (token == QLatin1String("frm+")) {
        QWidget *top = open ? m_containers.last() : nullptr;
        QWidget *scroll = createScrollPage(0);
        if (top)
            top->layout()->addWidget(scroll);
        else
            m_layout->addWidget(scroll);
        return true;
    }
    if (token == QLatin1String("frm-") || token == QLatin1String("tab-")
        || token == QLatin1String("hor-") || token == QLatin1String("pnl-")
        || token == QLatin1String("grp-")) {
        if (!open)
            return false;
        m_containers.removeLast();
        return true;
    }
    if (token == QLatin1String("tabs+")) {
        auto *tabs = new QTabWidget;
        tabs->setTabBarAutoHide(true);
        tabs->setMovable(false);
        m_layout->addWidget(tabs);
        own(tabs);
        m_tabs.append(tabs);
        return true;
    }
    if (token == QLatin1String("tabs-")) {
        if (m_tabs.isEmpty())
            return false;
        m_tabs.removeLast();
        return true;
    }
    if (token == QLatin1String("tab+")) {
        if (n != 2 || m_tabs.isEmpty())
            return false;
        m_tabs.last()->addTab(createScrollPage(5), parts.at(1));
        return true;
    }
    if (token == QLatin1String("hor+") || token == QLatin1String("pnl+")) {
        if (!open)
            return false;
        auto *frame = new QFrame;
        QBoxLayout *layout = nullptr;
        if (token == QLatin1String("hor+")) {
            layout = new QHBoxLayout(frame);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(2);
        } else {
            frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
            layout = topAlignedColumn(frame, 3, 0);
        }
        addToTop(frame);
        own(frame);
        own(layout);
        m_containers.append(frame);
        return true;
    }
    if (token == QLatin1String("grp+")) {
        if (n != 2 || !open)
            return false;
        auto *group = new QGroupBox(QStringLiteral(" %1 ").arg(parts.at(1)));
        QVBoxLayout *layout = topAlignedColumn(group, 0, 0);
        layout->setContentsMargins(5, 2, 5, 2);
        addToTop(group);
        own(group);
        own(layout);
        m_containers.append(group);
        return true;
    }
    if (token == QLatin1String("lb")) {
        if (n != 2 || !open)
            return false;
        auto *label = new QLabel(overlineText(parts.at(1)));
        label->setFixedHeight(21);
        addToTop(label);
        own(label);
        return true;
    }
    if (token == QLatin1String("edl") || token == QLatin1String("edr")) {
        QByteArray mask;
        if (n < 5 || !open || !hexStringToBytesChecked(parts.at(1), mask))
            return false;
        auto *item = new TFormDevCfgEditLabel(token == QLatin1String("edr"), mask,
                                              parts.at(2) == QLatin1String("ro"),
                                              sizeField(parts.at(3)), overlineText(parts.at(4)));
        addToTop(item);
        own(item);
        m_items.append(item);
        return true;
    }
    if (token == QLatin1String("ckl") || token == QLatin1String("ckr")) {
        QByteArray mask;
        if (n < 6 || !open || !hexStringToBytesChecked(parts.at(1), mask))
            return false;
        auto *item = new TFormDevCfgCheckBox(
            token == QLatin1String("ckr"), mask,
            parts.at(2) == QLatin1String("i"), colorMode(parts.at(4)), overlineText(parts.at(5)),
            n > 6 ? overlineText(parts.at(6)) : QString());
        item->setBoxEnabled(parts.at(3) == QLatin1String("e"));
        addToTop(item);
        own(item);
        m_items.append(item);
        connect(item, &TFormDevCfgCheckBox::signalChanged, this, &TFormDevCfg::slotChanged);
        return true;
    }
    static const QStringList comboOpen{QStringLiteral("cbh+"), QStringLiteral("cbtl+"),
                                       QStringLiteral("cbtc+"), QStringLiteral("cbtr+"),
                                       QStringLiteral("cbl+"), QStringLiteral("cbr+")};
    static const QStringList comboClose{QStringLiteral("cbh-"), QStringLiteral("cbtl-"),
                                        QStringLiteral("cbtc-"), QStringLiteral("cbtr-"),
                                        QStringLiteral("cbl-"), QStringLiteral("cbr-")};
    const int placement = comboOpen.indexOf(token);
    if (placement >= 0) {
        QByteArray mask;
        if (n != 3 || !open || !hexStringToBytesChecked(parts.at(1), mask))
            return false;
        auto *item = new TFormDevCfgComboBoxLabel(placement, mask, false,
                                                  overlineText(parts.at(2)));
        addToTop(item);
        own(item);
        m_items.append(item);
        connect(item, &TFormDevCfgComboBoxLabel::signalChanged, this, &TFormDevCfg::slotChanged);
        m_containers.append(item);
        return true;
    }
    if (comboClose.contains(token)) {
        if (!open)
            return false;
        m_containers.removeLast();
        return true;
    }
    if (token == QLatin1String("cbit")) {
        if (n != 3 || !open)
            return false;
        auto *combo = qobject_cast<TFormDevCfgComboBoxLabel *>(m_containers.last());
        QByteArray value;
        if (!combo || !hexStringToBytesChecked(parts.at(1), value))
            return false;
        combo->addItem(value, parts.at(2));
        return true;
    }
    if (token == QLatin1String("btn")) {
        QByteArray value;
        if (n != 5 || !open || !hexStringToBytesChecked(parts.at(1), value))
            return false;
        auto *item = new TFormDevCfgButton(QByteArray(value.size(), char(0xFF)), value,
                                           sizeField(parts.at(2)), overlineText(parts.at(3)),
                                           overlineText(parts.at(4)));
        addToTop(item);
        own(item);
        connect(item, &TFormDevCfgButton::signalChanged, this, &TFormDevCfg::slotChanged);
        return true;
    }
    return false;
}

void TFormDevCfg::setData(const QString &hexText)
{
    if (m_showEdit) {
        m_edit->setValue(hexText);
        return;
    }
    QByteArray bytes;
    if (!hexStringToBytesChecked(hexText, bytes) || bytes == m_data)
        return;
    m_data = bytes;
    refreshItems();
    emitData();
}

void TFormDevCfg::slotEditChanged(const QString &text)
{
    QByteArray bytes;
    if (!hexStringToBytesChecked(text, bytes)) {
        // Not whole bytes (a pushed text): the edit shows the image again.
        const bool blocked = m_edit->blockSignals(true);
        m_edit->setValue(bytesToHexString(m_data));
        m_edit->blockSignals(blocked);
        return;
    }
    m_data = bytes;
    refreshItems();
    emitData();
}

void TFormDevCfg::slotChanged(const QByteArray &mask, const QByteArray &value)
{
    if (m_data.size() < mask.size())
        m_data.append(QByteArray(mask.size() - m_data.size(), char(0)));
    for (int i = 0; i < mask.size(); ++i) {
        const char v = i < value.size() ? value.at(i) : char(0);
        m_data[i] = char((m_data.at(i) & ~mask.at(i)) | v);
    }
    if (m_showEdit) {
        const bool blocked = m_edit->blockSignals(true);
        m_edit->setValue(bytesToHexString(m_data));
        m_edit->blockSignals(blocked);
    }
    refreshItems();
    emitData();
}

void TFormDevCfg::slotSetDefault()
{
    if (!m_showEdit)
        return;
    m_data = m_default;
    m_edit->setValue(bytesToHexString(m_data));
    refreshItems();
}

void TFormDevCfg::refreshItems()
{
    for (IFormDevCfgBase *item : qAsConst(m_items)) {
        const bool blocked = item->blockSignals(true);
        item->setData(m_data);
        item->blockSignals(blocked);
    }
}

void TFormDevCfg::emitData()
{
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                {QLatin1String(REG_DATA), bytesToHexString(m_data)}});
}

bool pushDevCfgData(QWidget *form, const TData &params)
{
    auto *shown = qobject_cast<TFormDevCfg *>(form);
    if (!shown || shown->idCmd() != getParam(source, __LINE__, params, REC_ID_CMD).toInt())
        return false;
    shown->setData(getParam(source, __LINE__, params, REG_DATA).toString());
    return true;
}
