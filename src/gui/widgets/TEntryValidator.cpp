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

bool TEntryValidator::completes(QString &text) const
{
    QString copy = text;
    int pos = copy.size();
    if (m_checked->validate(copy, pos) != Acceptable) {
        copy = text;
        m_checked->fixup(copy);
        pos = copy.size();
        if (copy == text || m_checked->validate(copy, pos) != Acceptable)
            return false;
    }
    text = copy;
    return true;
}
