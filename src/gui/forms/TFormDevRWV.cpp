#include "gui/forms/TFormDevRWV.h"

#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "formats/TFormat.h"
#include "gui/forms/form_numbers.h"
#include "gui/widgets/TComboBox.h"
#include "gui/widgets/TEntryValidator.h"
#include "gui/widgets/THexValidator.h"
#include "gui/widgets/TLineEdit.h"
#include "gui/widgets/TWgtEditFileName.h"
#include "gui/widgets/TWgtEditHexDec64.h"
#include "gui/widgets/wgt_misc.h"
#include "gui/widgets/widget_messages.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <limits>

namespace {

constexpr qint64 int64Max = std::numeric_limits<qint64>::max();

QFormLayout *newFormLayout()
{
    auto *layout = new QFormLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->setLabelAlignment(Qt::AlignRight);
    return layout;
}

// end - value, saturated: the bytes left from value to the range end.
qint64 bytesLeft(qint64 end, qint64 value)
{
    if (value < 0 && end > int64Max + value)
        return int64Max;
    if (value > 0 && end < std::numeric_limits<qint64>::min() + value)
        return std::numeric_limits<qint64>::min();
    return end - value;
}

// The text without its blanks: the digits of hex data.
QString withoutBlanks(const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s"));
    return QString(text).remove(blanks);
}

} // namespace

bool dataFitsRange(const QString &text, qint64 addr, qint64 end)
{
    static const QRegularExpression hex(QStringLiteral("\\A[0-9A-Fa-f]*\\z"));
    const QString digits = withoutBlanks(text);
    if (digits.isEmpty() || digits.size() % 2 || !hex.match(digits).hasMatch())
        return false;
    return digits.size() / 2 <= bytesLeft(end, addr);
}

// ---- Fill character -------------------------------------------------------

TFormDevRWVChar::TFormDevRWVChar(int idCmd, qint64 addr, qint64 count, uchar fillChar,
                                 QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd)
{
    m_addr = new TWgtEditHexDec64(addr, this);
    m_count = new TWgtEditHexDec64(count, this);
    m_fill = new TWgtEditHexDec64(fillChar, this);
    m_fill->setRange(0, 255);
    tagParamKey(m_addr, CHAR_ADDR_DEVICE);
    tagParamKey(m_count, CHAR_COUNT);
    tagParamKey(m_fill, CHAR_FILL_CHAR);

    QFormLayout *layout = newFormLayout();
    layout->addRow(lang.text(370), m_addr);
    layout->addRow(lang.text(371), m_count);
    layout->addRow(lang.text(372), m_fill);
    setLayout(layout);

    for (TWgtEditHexDec64 *edit : {m_addr, m_count, m_fill})
        connect(edit, &TWgtEditHexDec64::valueChanged, this, &TFormDevRWVChar::slotChanged);
}

void TFormDevRWVChar::setRange(qint64 begin, qint64 size)
{
    m_end = begin + size;
    m_addr->setRange(begin, m_end - 1);
    limitCount();
}

void TFormDevRWVChar::setDefault(qint64 addr, qint64 count, uchar fillChar)
{
    m_addr->setDefault(addr);
    m_count->setDefault(count);
    m_fill->setDefault(fillChar);
}

// A fill of no bytes is a valid command, so the count starts at 0.
void TFormDevRWVChar::limitCount()
{
    const bool blocked = m_count->blockSignals(true);
    m_count->setRange(0, bytesLeft(m_end, m_addr->value()));
    m_count->blockSignals(blocked);
}

void TFormDevRWVChar::slotChanged()
{
    limitCount();
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                {QLatin1String(CHAR_ADDR_DEVICE), m_addr->value()},
                                {QLatin1String(CHAR_COUNT), m_count->value()},
                                {QLatin1String(CHAR_FILL_CHAR), m_fill->value()}});
}

// ---- Hex data -------------------------------------------------------------

TFormDevRWVData::TFormDevRWVData(int idCmd, qint64 addr, const QString &data, QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd)
{
    m_addrLabel = new QLabel(lang.text(373), this);
    m_addr = new TWgtEditHexDec64(addr, this);
    tagParamKey(m_addr, DATA_ADDR_DEVICE);
    auto *addrRow = new QHBoxLayout;
    addrRow->setContentsMargins(0, 0, 0, 0);
    addrRow->setSpacing(2);
    addrRow->addWidget(m_addrLabel);
    addrRow->addWidget(m_addr);

    m_dataLabel = new QLabel(lang.text(374), this);
    m_edit = new TLineEdit(this);
    m_hex = new THexValidator;
    m_edit->setValidator(new TEntryValidator(m_hex, m_edit));
    setData(data);
    m_edit->installEventFilter(this);
    auto *dataBlock = new QVBoxLayout;
    dataBlock->setContentsMargins(0, 0, 0, 0);
    dataBlock->setSpacing(2);
    dataBlock->addWidget(m_dataLabel);
    dataBlock->addWidget(m_edit);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(addrRow);
    layout->addLayout(dataBlock);
    layout->addStretch(1);

    connect(m_addr, &TWgtEditHexDec64::valueChanged, this, &TFormDevRWVData::slotChanged);
    connect(m_edit, &QLineEdit::textChanged, this, &TFormDevRWVData::slotEditing);
    connect(m_edit, &QLineEdit::editingFinished, this, &TFormDevRWVData::editingFinished);
}

void TFormDevRWVData::setRange(qint64 begin, qint64 size)
{
    m_hasRange = true;
    m_end = begin + size;
    m_addr->setRange(begin, m_end - 1);
    updateColor();
}

void TFormDevRWVData::setDefault(qint64 addr)
{
    m_addr->setDefault(addr);
}

void TFormDevRWVData::setData(const QString &data)
{
    m_data = data;
    // The edit takes at least as many digits as the data holds.
    m_hex->setMaxDigits(qMax(2 * maxDataBytes, withoutBlanks(data).size()));
    const bool blocked = m_edit->blockSignals(true);
    m_edit->setText(data);
    m_edit->blockSignals(blocked);
    updateColor();
}

// Warning colour while the text would not pass the command check: no bytes,
// half a byte, or more bytes than fit from the address to the range end; and
// while it holds an entry that is not taken (no hex bytes, too many digits),
// which the tool-tip names. The data stored is no entry: it is shown as it
// stands, marked only where the check refuses it.
void TFormDevRWVData::updateColor()
{
    const QString text = m_edit->text();
    const bool taken = m_edit->hasAcceptableInput() || text == m_data;
    const bool fits = m_hasRange ? dataFitsRange(text, m_addr->value(), m_end) : dataFitsRange(text, 0, int64Max);
    setBackgroundColor(m_edit, fits && taken ? paletteBaseColor() : warningColor());
    m_edit->setToolTip(taken ? lang.text(375, m_hex->maxDigits() / 2)
                             : lang.text(MSG_PASTE_NOT_TAKEN, text, m_hex->maxDigits(), m_data));
}

bool TFormDevRWVData::eventFilter(QObject *watched, QEvent *event)
{
    // An entry that is not taken ends no editing; leaving shows the stored
    // data all the same.
    if (watched == m_edit && leavesUntakenEntry(m_edit, event))
        setData(m_data);
    return QWidget::eventFilter(watched, event);
}

void TFormDevRWVData::slotEditing()
{
    updateColor();
}

void TFormDevRWVData::editingFinished()
{
    const QString text = m_edit->text().simplified();
    if (text != m_data) {
        m_data = text;
        slotChanged();
    }
    updateColor();
}

void TFormDevRWVData::slotChanged()
{
    updateColor();
    emit signalChangedCmdParam({{QLatin1String(REC_ID_CMD), m_idCmd},
                                {QLatin1String(DATA_ADDR_DEVICE), m_addr->value()},
                                {QLatin1String(DATA_DATA), m_data}});
}

// ---- File -----------------------------------------------------------------

TFormDevRWVFile::TFormDevRWVFile(int idCmd, const QString &format, const QString &file,
                                 qint64 addrFile, qint64 addrDevice, qint64 count,
                                 QWidget *parent)
    : QWidget(parent), m_idCmd(idCmd)
{
    m_file = new TWgtEditFileName(lang.text(376), file, this);
    m_file->setEditToolTip(lang.text(377));
    m_file->setButtonToolTip(lang.text(379));
    m_file->setFileDialog(lang.text(378),
                          QStringLiteral("Files (%1);;All Files (*.*)").arg(TFormat::filter()),
                          QString());
    m_file->setRequired(true);

    m_format = new TComboBox(this);
    m_format->setToolTip(lang.text(380));
    m_format->addItems(TFormat::formatList());
    m_format->setCurrentIndex(TFormat::formatList().indexOf(format.toUpper()));

    auto *top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(2);
    top->addWidget(m_file);
    top->addWidget(m_format);

    m_addrFile = new TWgtEditHexDec64(addrFile, this);
    m_addrDevice = new TWgtEditHexDec64(addrDevice, this);
    m_count = new TWgtEditHexDec64(count, this);
    m_addrFile->setRange(0, maxFileAddr());
    tagParamKey(m_addrFile, FILE_ADDR_FILE);
    tagParamKey(m_addrDevice, FILE_ADDR_DEVICE);
    tagParamKey(m_count, FILE_COUNT);

    QFormLayout *rows = newFormLayout();
    rows->addRow(lang.text(381), m_addrFile);
    rows->addRow(lang.text(382), m_addrDevice);
    rows->addRow(lang.text(383), m_count);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addLayout(rows);
    layout->addStretch(1);

    updateLimits(false);

    connect(m_file, &TWgtEditFileName::signalChanged, this, &TFormDevRWVFile::slotChanged);
    connect(m_format, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &TFormDevRWVFile::slotChanged);
    for (TWgtEditHexDec64 *edit : {m_addrFile, m_addrDevice, m_count})
        connect(edit, &TWgtEditHexDec64::valueChanged, this, &TFormDevRWVFile::slotChanged);
}

void TFormDevRWVFile::setBasePath(const QString &path)
{
    m_file->setBasePath(path);
}

void TFormDevRWVFile::setRange(qint64 begin, qint64 size)
{
    m_end = begin + size;
    m_addrDevice->setRange(begin, m_end - 1);
    updateLimits(false);
}

void TFormDevRWVFile::setDefault(qint64 addrFile, qint64 addrDevice, qint64 count)
{
    m_addrFile->setDefault(addrFile);
    m_addrDevice->setDefault(addrDevice);
    m_count->setDefault(count);
}

qint64 TFormDevRWVFile::maxFileAddr() const
{
    return m_format->currentText().toLower().contains(QLatin1String("bin")) ? int64Max
                                                                            : qint64(0xFFFFFFFF);
}

// The count fits the device window from the address; the file window
// [addr_file, addr_file + count - 1] fits what the format can address.
void TFormDevRWVFile::updateLimits(bool lowerCount)
{
    const bool countBlocked = m_count->blockSignals(true);
    const bool fileBlocked = m_addrFile->blockSignals(true);
    const qint64 limit = bytesLeft(m_end, m_addrDevice->value());
    if (limit >= 1) {
        m_count->setRange(0, limit);
        const qint64 count = m_count->value();
        if (lowerCount && count > limit) {
            // The count typed stands no more since the address moved: it
            // ends at the end of the range now, and the field says so.
            m_count->setValue(limit);
            m_count->markChangedFrom(count);
        }
    } else {
        // The address lies past the range end and shows it; the count is
        // left as it is rather than made 0 or negative.
        m_count->setRange(0, qMax<qint64>(0, limit));
    }
    const qint64 spanBeyondFirst = qMax<qint64>(0, m_count->value() - 1);
    m_addrFile->setRange(0, maxFileAddr() - spanBeyondFirst);
    m_count->blockSignals(countBlocked);
    m_addrFile->blockSignals(fileBlocked);
}

void TFormDevRWVFile::slotChanged()
{
    updateLimits(true);
    TData data{{QLatin1String(REC_ID_CMD), m_idCmd},
               {QLatin1String(FILE_FILE), m_file->fileName()},
               {QLatin1String(FILE_ADDR_FILE), m_addrFile->value()},
               {QLatin1String(FILE_ADDR_DEVICE), m_addrDevice->value()},
               {QLatin1String(FILE_COUNT), m_count->value()}};
    // A stored format this form cannot show stays as stored until the user
    // picks one.
    if (m_format->currentIndex() >= 0)
        data.insert(QLatin1String(FILE_FORMAT), m_format->currentText().toLower());
    emit signalChangedCmdParam(data);
}
