#pragma once
// The verdict of a parameter check: valid, or refused with the key at
// fault (a key of the command, or of the device's or the programmer's
// description) and the reason. A refusal always carries both, and no bool
// converts into a verdict, so a check cannot refuse without saying why.
// The project stores whether a command is valid; the run and the command
// list show the reason (text).

#include <QString>

class TCheck
{
public:
    static TCheck valid();
    // reason: a fragment in the user's language that says why the key's
    // value is refused, without the command's name.
    static TCheck refused(const QString &key, const QString &reason);
    // A refusal whose word is already a whole sentence that names the
    // command (the readers of stored values give such).
    static TCheck refusedAs(const QString &key, const QString &sentence);
    // A command code that the provider of that name does not carry out.
    static TCheck notOffered(const QString &code, const QString &provider);
    // A value outside min..max, each as the refusal shows it.
    static TCheck outside(const QString &key, const QString &value, const QString &min, const QString &max);
    static TCheck outside(const QString &key, qint64 value, qint64 min, qint64 max);

    explicit operator bool() const { return m_valid; }
    bool isValid() const { return m_valid; }
    QString key() const { return m_key; }
    QString reason() const { return m_reason; }
    // 'Command "<name>": <key>: <reason>'; empty when valid.
    QString text(const QString &cmdName) const;

private:
    TCheck() = default;

    bool m_valid = true;
    bool m_whole = false;
    QString m_key;
    QString m_reason;
};
