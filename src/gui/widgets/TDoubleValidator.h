#pragma once

#include <QValidator>

// Finite decimal numbers with a '.' point or the decimal mark of the
// interface's language (the language file names it); an empty text counts
// as 0, and one that ends in a sign, the point or an exponent mark (a
// number being typed: "-", ".", "1.", "1e-") is Intermediate. fixup()
// finishes a number that ends in its point ("3." is 3).
class TDoubleValidator : public QValidator
{
public:
    explicit TDoubleValidator(QObject *parent = nullptr) : QValidator(parent) {}
    State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;

    // The decimal mark of the interface's language; the point where the
    // language names none.
    static QChar decimalMark();
    // The text with the language's decimal mark made a point, as
    // QString::toDouble reads it.
    static QString withPoint(const QString &text);
};
