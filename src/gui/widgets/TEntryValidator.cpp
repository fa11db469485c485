#include "gui/widgets/TEntryValidator.h"

TEntryValidator::TEntryValidator(QValidator *checked, QObject *parent)
    : QValidator(parent), m_checked(checked)
{
    m_checked->setParent(this);
}

QValidator::State TEntryValidator::validate(QString &input, int &pos) const
{
    const State state = m_checked->validate(input, pos);
    return state == Invalid ? Intermediate : state;
}
