#include "gui/widgets/TWgtEditNum.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QValidator>

#include "core/helpers.h"
#include "gui/widgets/TLineEdit.h"
#include "gui/widgets/wgt_misc.h"

TWgtEditNum::TWgtEditNum(QValidator *validator, const QString &text, QWidget *parent)
    : QWidget(parent), m_edit(new TLineEdit)
{
    m_edit->setFixedHeight(21);
    validator->setParent(m_edit);
    m_edit->setValidator(validator);
    m_edit->setText(text);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit);

    QCoreApplication::instance()->installEventFilter(this);
    connect(m_edit, &QLineEdit::editingFinished, this, &TWgtEditNum::editingFinished);
}

TWgtEditNum::~TWgtEditNum()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool TWgtEditNum::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_edit || event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    // The validator would refuse every edit of a text that is no number.
    const QString typed = key->text();
    const bool editing = (!typed.isEmpty() && typed.at(0).isPrint()) || key->key() == Qt::Key_Backspace
                         || key->key() == Qt::Key_Delete;
    if (editing && damagedUntouched()) {
        m_edit->setText(valueText());
        m_edit->end(false);
    }
    switch (key->key()) {
    case Qt::Key_Up:
        stepKey(1);
        break;
    case Qt::Key_Down:
        stepKey(-1);
        break;
    case Qt::Key_Asterisk:
        defaultKey();
        break;
    default:
        break;
    }
    // The line edit still sees the key; it ignores Up and Down and its
    // validator refuses '*'.
    return false;
}

void TWgtEditNum::paintInRange(bool inRange)
{
    setBackgroundColor(m_edit, inRange && !m_damaged ? paletteBaseColor() : warningColor());
}

void TWgtEditNum::showDamaged(const QString &stored)
{
    m_damaged = true;
    m_damagedText = stored;
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
    return was;
}

bool TWgtEditNum::damagedUntouched() const
{
    return m_damaged && m_edit->text() == m_damagedText;
}
