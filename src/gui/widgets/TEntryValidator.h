#pragma once

#include <QValidator>

// The validator of a line edit that must never drop or cut an entry: it
// asks the edit's own validator (which it owns) and passes on what that
// says, except that a text it refuses is Intermediate here. The line then
// keeps a key or a paste that makes no number as it was given, and the edit
// shows it refused (the line has no acceptable input) instead of losing it
// or a part of it. Return and leaving the line end no such entry.
//
// The line edit itself never fixes an entry up (fixup() is the base one):
// the edit asks completes() and finishes a number being typed only where
// it will take it, so that an entry refused stays as given.
class TEntryValidator : public QValidator
{
public:
    TEntryValidator(QValidator *checked, QObject *parent);

    State validate(QString &input, int &pos) const override;

    // Whether the text is a number of the edit's own validator as it
    // stands, or once that validator has finished it (a number being typed
    // that Return finishes: "3." is 3); the text becomes the number then.
    bool completes(QString &text) const;

private:
    QValidator *m_checked;
};
