#include "gui/widgets/TWgtEditStrHex.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QValidator>

#include "core/TLang.h"
#include "core/helpers.h"
#include "gui/widgets/TStrHexValidator.h"
#include "gui/widgets/edit_arith.h"
#include "gui/widgets/widget_messages.h"
#include "gui/widgets/wgt_misc.h"

namespace {

const QLatin1Char BLANK('_');

// One required, upper-cased hex digit per place; a blank place shows "_".
// No places, no mask.
QString maskOf(int length)
{
    if (length <= 0)
        return QString();
    return QStringLiteral(">%1;%2").arg(QString(length, QLatin1Char('H'))).arg(BLANK);
}

// The places of the line: hex digits of ASCII and the blank. The mask's
// digit places alone would also take the digits of other scripts
// (Arabic-Indic, Devanagari, full-width ...), typed or committed by an
// input method.
class PlacesValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &pos) const override
    {
        Q_UNUSED(pos)
        for (const QChar c : qAsConst(input)) {
            if (c != BLANK && !isAsciiHexDigit(c))
                return Invalid;
        }
        return Acceptable;
    }
};

} // namespace

TWgtEditStrHex::TWgtEditStrHex(const QString &value, QWidget *parent)
    : QWidget(parent), m_edit(new QLineEdit), m_value(value)
{
    m_edit->setFixedHeight(21);
    // A drop would bypass the paste rule (routePastes).
    m_edit->setAcceptDrops(false);
    m_edit->setValidator(new PlacesValidator(m_edit));
    m_edit->installEventFilter(this);
    routePastes(m_edit, [this](const QString &text) { paste(text); });

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit);

    showStored();
    connect(m_edit, &QLineEdit::textChanged, this, &TWgtEditStrHex::updateState);
    connect(m_edit, &QLineEdit::editingFinished, this, &TWgtEditStrHex::editingFinished);
}

void TWgtEditStrHex::setValue(const QString &value)
{
    applyValue(value);
    showStored();
}

bool TWgtEditStrHex::isComplete() const
{
    return m_edit->hasAcceptableInput();
}

void TWgtEditStrHex::applyValue(const QString &value)
{
    if (value == m_value)
        return;
    m_value = value;
    showStored();
    emit valueChanged(m_value);
}

void TWgtEditStrHex::showStored()
{
    const QString mask = maskOf(m_value.length());
    if (m_edit->inputMask() != mask)
        m_edit->setInputMask(mask);
    m_edit->setReadOnly(mask.isEmpty());
    m_edit->setText(m_value);
    updateState();
}

void TWgtEditStrHex::updateState()
{
    // A change of the line ends the note on a paste not taken.
    m_refusedPaste.clear();
    showState();
}

void TWgtEditStrHex::showState()
{
    const bool incomplete = !isComplete();
    const bool marked = incomplete || !m_refusedPaste.isEmpty();
    if (!m_refusedPaste.isEmpty()) {
        m_edit->setToolTip(m_refusedPaste);
    } else if (incomplete) {
        m_edit->setToolTip(lang.text(MSG_HEX_ENTRY_INCOMPLETE)
                               .arg(m_edit->text().length())
                               .arg(m_value.length()));
    } else if (m_shownMarked) {
        m_edit->setToolTip(QString());
    }
    if (marked != m_shownMarked)
        setBackgroundColor(m_edit, marked ? warningColor() : paletteBaseColor());
    m_shownMarked = marked;
}

void TWgtEditStrHex::editingFinished()
{
    // A blank may be a digit deleted or one not typed yet, and no stored
    // digit can stand in for either: only a whole entry is taken.
    if (isComplete())
        applyValue(m_edit->text());
    showStored();
}

void TWgtEditStrHex::paste(const QString &text)
{
    if (m_edit->isReadOnly() || text.isEmpty())
        return;
    QString digits = text.simplified().remove(QLatin1Char(' '));
    int pos = 0;
    const int length = m_value.length();
    const int from = m_edit->hasSelectedText() ? m_edit->selectionStart() : m_edit->cursorPosition();
    const bool whole = digits.length() == length;
    if (digits.isEmpty() || TStrHexValidator().validate(digits, pos) != QValidator::Acceptable
        || (!whole && digits.length() > length - from)) {
        // Refused whole, and said so: the line stays as it was.
        m_refusedPaste = lang.text(MSG_PASTE_NOT_TAKEN, text, length - from, m_value);
        showState();
        return;
    }
    if (whole)
        m_edit->selectAll();
    // Typed over from the cursor: the mask blanks a selection first.
    m_edit->insert(digits);
}

bool TWgtEditStrHex::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_edit)
        return QWidget::eventFilter(watched, event);
    // The line edit finishes only a whole entry: Return on one with a blank,
    // or leaving it, shows the stored value first.
    if ((isReturnKey(event) && !isComplete()) || leavesUntakenEntry(m_edit, event))
        showStored();
    return false;
}
