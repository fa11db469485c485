#pragma once
// The two small dialogs of the programmer settings page: one programmer
// name (name, port, type) and one programmer type (name, description
// file). OK refuses, with a message, a name that another row has and any
// "|" (entries are stored joined by "|"); the dialog then stays open.

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QPushButton;
class TComboBox;
class TWgtEditFileName;
class TWgtLabelEdit;

class TDialogSetupPageProgAliasEdit : public QDialog
{
public:
    TDialogSetupPageProgAliasEdit(const QString &title, QWidget *parent = nullptr);
    ~TDialogSetupPageProgAliasEdit() override;

    void setValues(const QString &name, const QString &port, const QString &type,
                   const QStringList &types);
    // The names of the other rows, which this one may not take.
    void setTakenNames(const QStringList &names) { m_taken = names; }

    QString name() const;
    // A picked port entry gives its bare port name; typed text is kept.
    QString port() const;
    QString type() const;

    QPushButton *okButton() const { return m_ok; }

    void accept() override;

private:
    void createUi();
    void restoreGeometry();
    void saveGeometry();

    QLineEdit *m_name = nullptr;
    QComboBox *m_port = nullptr;
    TComboBox *m_type = nullptr;
    QPushButton *m_ok = nullptr;
    QStringList m_taken;
};

class TDialogSetupPageProgTypeEdit : public QDialog
{
public:
    TDialogSetupPageProgTypeEdit(const QString &title, QWidget *parent = nullptr);
    ~TDialogSetupPageProgTypeEdit() override;

    // folder: the programmers folder, against which a relative file is
    // resolved; the chooser opens in the folder of the file shown (the
    // programmers folder while there is none), and a file chosen outside
    // the programmers folder is entered with its absolute path.
    void setValues(const QString &name, const QString &fileName, const QString &folder);
    void setTakenNames(const QStringList &names) { m_taken = names; }

    QString name() const;
    QString fileName() const;

    QPushButton *okButton() const { return m_ok; }

    void accept() override;

private:
    void createUi();
    void restoreGeometry();
    void saveGeometry();

    TWgtLabelEdit *m_name = nullptr;
    TWgtEditFileName *m_file = nullptr;
    QPushButton *m_ok = nullptr;
    QStringList m_taken;
};

// Why an entry cannot be stored (the message shown), empty when it can:
// "|" in any of its texts, or a name another row has.
QString progEntryRefusal(const QString &name, const QStringList &texts, const QStringList &taken,
                         int takenMessage);
