#include "gui/dialogs/TDialogSetupPageProgEdit.h"

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/helpers.h"
#include "gui/dialogs/dialog_parts.h"
#include "gui/dialogs/setup_page_misc.h"
#include "gui/widgets/TComboBox.h"
#include "gui/widgets/TWgtEditFileName.h"
#include "gui/widgets/TWgtLabelEdit.h"
#include "link/TSerialPort.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString progEntryRefusal(const QString &name, const QStringList &texts, const QStringList &taken,
                         int takenMessage)
{
    for (const QString &text : texts)
        if (text.contains(QLatin1Char('|')))
            return lang.text(MSG_SETUP_NO_BAR);
    if (taken.contains(name))
        return lang.text(takenMessage).arg(name);
    return QString();
}

// ---- Programmer name --------------------------------------------------------

TDialogSetupPageProgAliasEdit::TDialogSetupPageProgAliasEdit(const QString &title, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    createUi();
    restoreGeometry();
}

TDialogSetupPageProgAliasEdit::~TDialogSetupPageProgAliasEdit()
{
    saveGeometry();
}

void TDialogSetupPageProgAliasEdit::createUi()
{
    m_name = new QLineEdit;
    m_port = new QComboBox;
    m_port->setEditable(true);
    m_port->setInsertPolicy(QComboBox::NoInsert);
    m_port->addItems(TSerialPort::availablePorts());
    m_type = new TComboBox;
    m_type->setFocusPolicy(Qt::StrongFocus);

    auto *form = new QFormLayout;
    form->setContentsMargins(0, 0, 0, 0);
    form->setSpacing(5);
    form->setLabelAlignment(Qt::AlignRight);
    form->addRow(lang.text(220), m_name);
    form->addRow(lang.text(221), m_port);
    form->addRow(lang.text(222), m_type);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(5);
    layout->addLayout(form);
    m_ok = addSetupButtons(this, layout);
}

void TDialogSetupPageProgAliasEdit::setValues(const QString &name, const QString &port,
                                              const QString &type, const QStringList &types)
{
    m_name->setText(name);
    // A stored port is preselected only when it is an entry's whole port
    // name ("ttyUSB1" never picks "ttyUSB10"); otherwise it shows as typed.
    int entry = -1;
    for (int i = 0; i < m_port->count(); ++i)
        if (TSerialPort::portNameOf(m_port->itemText(i)) == port)
            entry = i;
    if (entry >= 0)
        m_port->setCurrentIndex(entry);
    else {
        m_port->setCurrentIndex(-1);
        m_port->setEditText(port);
    }
    m_type->addItems(types);
    m_type->setCurrentIndex(types.lastIndexOf(type));
}

QString TDialogSetupPageProgAliasEdit::name() const { return m_name->text(); }

QString TDialogSetupPageProgAliasEdit::port() const
{
    const QString text = m_port->currentText();
    return m_port->findText(text, Qt::MatchExactly) >= 0 ? TSerialPort::portNameOf(text) : text;
}

QString TDialogSetupPageProgAliasEdit::type() const
{
    return m_type->currentIndex() < 0 ? QString() : m_type->currentText();
}

void TDialogSetupPageProgAliasEdit::accept()
{
    const QString refusal = progEntryRefusal(name(), {name(), port(), type()}, m_taken,
                                             MSG_SETUP_NAME_TAKEN);
    if (!refusal.isEmpty()) {
        showError(refusal, this);
        return;
    }
    QDialog::accept();
}

void TDialogSetupPageProgAliasEdit::restoreGeometry()
{
    setFixedHeight(sizeHint().height());
    centreOnActiveWindow(this, appData.windowOtherCenter, appData.windowSettingsProgNameLeft,
                         appData.windowSettingsProgNameTop, appData.windowSettingsProgNameWidth,
                         height());
}

void TDialogSetupPageProgAliasEdit::saveGeometry()
{
    storeWindowGeometry(this, &appData.windowSettingsProgNameLeft, &appData.windowSettingsProgNameTop,
                        &appData.windowSettingsProgNameWidth);
}

// ---- Programmer type --------------------------------------------------------

TDialogSetupPageProgTypeEdit::TDialogSetupPageProgTypeEdit(const QString &title, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    createUi();
    restoreGeometry();
}

TDialogSetupPageProgTypeEdit::~TDialogSetupPageProgTypeEdit()
{
    saveGeometry();
}

void TDialogSetupPageProgTypeEdit::createUi()
{
    m_name = new TWgtLabelEdit(lang.text(237));
    m_file = new TWgtEditFileName(lang.text(238), QString());
    m_file->setFileDialog(lang.text(239), QStringLiteral("*.cfg"), QStringLiteral("cfg"));
    // The description is looked up against the programmers folder: a file
    // elsewhere keeps its whole path.
    m_file->setRelativeOnlyInside(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(5);
    layout->addWidget(m_name);
    layout->addWidget(m_file);
    m_ok = addSetupButtons(this, layout);
}

void TDialogSetupPageProgTypeEdit::setValues(const QString &name, const QString &fileName,
                                             const QString &folder)
{
    m_name->setText(name);
    m_file->setFileName(fileName);
    m_file->setBasePath(folder);
}

QString TDialogSetupPageProgTypeEdit::name() const { return m_name->text(); }
QString TDialogSetupPageProgTypeEdit::fileName() const { return m_file->fileName(); }

void TDialogSetupPageProgTypeEdit::accept()
{
    const QString refusal = progEntryRefusal(name(), {name(), fileName()}, m_taken,
                                             MSG_SETUP_TYPE_TAKEN);
    if (!refusal.isEmpty()) {
        showError(refusal, this);
        return;
    }
    QDialog::accept();
}

void TDialogSetupPageProgTypeEdit::restoreGeometry()
{
    setFixedHeight(sizeHint().height());
    centreOnActiveWindow(this, appData.windowOtherCenter, appData.windowSettingsProgTypeLeft,
                         appData.windowSettingsProgTypeTop, appData.windowSettingsProgTypeWidth,
                         height());
}

void TDialogSetupPageProgTypeEdit::saveGeometry()
{
    storeWindowGeometry(this, &appData.windowSettingsProgTypeLeft, &appData.windowSettingsProgTypeTop,
                        &appData.windowSettingsProgTypeWidth);
}
