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
    switch (static_cast<QKeyEvent *>(event)->key()) {
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
    setBackgroundColor(m_edit, inRange ? paletteBaseColor() : warningColor());
}
