#include "gui/widgets/TWgtEditNum.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QValidator>

#include "core/TLang.h"
#include "core/helpers.h"
#include "gui/widgets/TEntryValidator.h"
#include "gui/widgets/TLineEdit.h"
#include "gui/widgets/widget_messages.h"
#include "gui/widgets/wgt_misc.h"

TWgtEditNum::TWgtEditNum(QValidator *validator, const QString &text, QWidget *parent)
    : QWidget(parent), m_edit(new TLineEdit), m_entry(nullptr)
{
    m_edit->setFixedHeight(21);
    m_entry = new TEntryValidator(validator, m_edit);
    m_edit->setValidator(m_entry);
    m_edit->setText(text);
    // A number copied with blanks or a line end around it (from a terminal)
    // is that number.
    routePastes(m_edit, [this](const QString &clip) { m_edit->insert(clip.trimmed()); });

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit);

    QCoreApplication::instance()->installEventFilter(this);
    // Return comes before editingFinished: a refused entry then stays.
    connect(m_edit, &QLineEdit::returnPressed, this, [this] { m_returnPressed = true; });
    connect(m_edit, &QLineEdit::editingFinished, this, &TWgtEditNum::editingFinished);
    connect(m_edit, &QLineEdit::textChanged, this, &TWgtEditNum::updateRefusal);
}

TWgtEditNum::~TWgtEditNum()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool TWgtEditNum::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_edit)
        return false;
    if (isReturnKey(event) || leavesLine(event))
        finishTyping();
    // An entry that is no number (a lone sign, a paste of letters) ends no
    // editing; leaving shows the stored value all the same.
    if (leavesUntakenEntry(m_edit, event) && !damagedUntouched())
        showKept();
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    // An edit of the damaged text would give no number either. A
    // shortcut (Ctrl+A selecting the text) edits nothing, though its event
    // may carry a letter.
    const QString typed = key->text();
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const bool shortcut = modifiers == Qt::ControlModifier || modifiers == (Qt::ControlModifier | Qt::ShiftModifier);
    const bool editing = (!typed.isEmpty() && typed.at(0).isPrint() && !shortcut) || key->key() == Qt::Key_Backspace
                         || key->key() == Qt::Key_Delete || key->matches(QKeySequence::Paste);
    if (editing && damagedUntouched()) {
        // The key goes to the value's text as the user placed it on the
        // damaged one: over the whole text when that was selected, so that
        // what is typed replaces it rather than being added to the value.
        const bool whole = m_edit->selectedText() == m_edit->text() && m_edit->hasSelectedText();
        m_edit->setText(valueText());
        if (whole)
            m_edit->selectAll();
        else
            m_edit->end(false);
    }
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        // A step from a refused entry would force it into range.
        if (!isRefused())
            stepKey(key->key() == Qt::Key_Up ? 1 : -1);
        break;
    case Qt::Key_Asterisk:
        // The key is no character of the entry.
        defaultKey();
        return true;
    default:
        break;
    }
    // The line edit still sees the key; it ignores Up and Down.
    return false;
}

void TWgtEditNum::finishTyping()
{
    // The line edit itself would end no editing of it.
    if (m_edit->hasAcceptableInput() || isRefused() || damagedUntouched())
        return;
    QString text = m_edit->text();
    if (m_entry->completes(text)) {
        m_edit->selectAll();
        m_edit->insert(text);
    }
}

void TWgtEditNum::paintInRange(bool inRange)
{
    m_inRange = inRange;
    updateRefusal();
}

void TWgtEditNum::updateRefusal()
{
    // A number being typed is judged as Return would finish it.
    QString text = m_edit->text();
    int refusal = 0;
    if (damagedUntouched())
        refusal = 0;   // no entry
    else if (!m_entry->completes(text))
        // A text that is no number the field can hold (a lone sign, a
        // letter, digits too many for its type).
        refusal = MSG_ENTRY_NO_NUMBER;
    else if (!takesEntry(text))
        refusal = MSG_ENTRY_OUT_OF_RANGE;
    else if (!holdsDigitsOf(text))
        // Taking it would round it.
        refusal = MSG_ENTRY_TOO_PRECISE;
    m_refusal = refusal ? lang.text(refusal).arg(rangeText(), m_edit->text(), m_damaged ? m_damagedText : valueText())
                        : QString();
    repaint();
}

void TWgtEditNum::repaint()
{
    const bool marked = m_damaged || !m_refusal.isEmpty() || !m_note.isEmpty();
    setBackgroundColor(m_edit, m_inRange && !marked ? paletteBaseColor() : warningColor());
    const QString tip = m_refusal.isEmpty() ? m_note : m_refusal;
    if (m_edit->toolTip() != tip)
        m_edit->setToolTip(tip);
}

void TWgtEditNum::showDamaged(const QString &stored)
{
    m_damaged = true;
    m_damagedText = stored;
    // What is on show is the value as stored, not one the form changed.
    m_note.clear();
    // Shown as it stands: a validator would make a number of it.
    const QValidator *validator = m_edit->validator();
    m_edit->setValidator(nullptr);
    m_edit->setText(stored);
    m_edit->setValidator(validator);
    paintInRange(false);
}

bool TWgtEditNum::takeDamaged()
{
    const bool was = m_damaged;
    m_damaged = false;
    m_damagedText.clear();
    m_note.clear();
    return was;
}

bool TWgtEditNum::damagedUntouched() const
{
    return m_damaged && m_edit->text() == m_damagedText;
}

bool TWgtEditNum::finishRefused()
{
    const bool byReturn = m_returnPressed;
    m_returnPressed = false;
    if (!isRefused()) {
        // An entry typed, even of the value the field holds, ends the note.
        if (m_edit->isModified() && !m_note.isEmpty()) {
            m_note.clear();
            repaint();
        }
        return false;
    }
    if (!byReturn)
        showKept();
    return true;
}

void TWgtEditNum::showKept()
{
    if (m_damaged)
        showDamaged(m_damagedText);
    else
        m_edit->setText(valueText());
}

void TWgtEditNum::showChangedFrom(const QString &before)
{
    m_note = lang.text(MSG_VALUE_CHANGED_TO_FIT).arg(before, valueText(), rangeText());
    repaint();
}
