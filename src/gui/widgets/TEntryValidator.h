#pragma once

#include <QValidator>

// The validator of a line edit that must never drop or cut an entry: it
// asks the edit's own validator (which it owns) and passes on what that
// says, except that a text it refuses is Intermediate here. The line then
// keeps a key or a paste that makes no number as it was given, and the edit
// shows it refused (the line has no acceptable input) instead of losing it
// or a part of it. Return and leaving the line end no such entry.
class TEntryValidator : public QValidator
{
public:
    TEntryValidator(QValidator *checked, QObject *parent);

    State validate(QString &input, int &pos) const override;

private:
    QValidator *m_checked;
};
