#include "gui/dialogs/TDialogSmall.h"

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/consts.h"
#include "core/helpers.h"
#include "gui/dialogs/dialog_parts.h"
#include "gui/widgets/TWgtLabelEdit.h"

#include <QFont>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

// ---- Configuration name ---------------------------------------------------

TDialogCfgEdit::TDialogCfgEdit(const QString &title, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(title);
    m_name = new TWgtLabelEdit(lang.text(119), this);
    m_line = createSeparatorLine(this);
    m_buttons = createDialogButtons(this, lang.text(79), lang.text(80));

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(5, 5, 5, 5);
    m_layout->setSpacing(5);
    m_layout->addWidget(m_name);
    m_layout->addWidget(m_line);
    m_layout->addStretch();
    m_layout->addWidget(m_buttons.frame);

    setFixedHeight(sizeHint().height());
    centreOnActiveWindow(this, appData.windowOtherCenter, appData.windowCfgEditLeft,
                         appData.windowCfgEditTop, appData.windowCfgEditWidth, height());
}

TDialogCfgEdit::~TDialogCfgEdit()
{
    storeWindowGeometry(this, &appData.windowCfgEditLeft, &appData.windowCfgEditTop,
                        &appData.windowCfgEditWidth);
}

void TDialogCfgEdit::setName(const QString &name) { m_name->setText(name); }
QString TDialogCfgEdit::name() const { return m_name->text(); }

// ---- Language ---------------------------------------------------------------

TDialogSetLanguage::TDialogSetLanguage(const QStringList &entries, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Language"));
    m_list = new QListWidget(this);
    m_buttons = createDialogButtons(this, QStringLiteral("Select"), QStringLiteral("Cancel"));

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(3);
    m_layout->addWidget(m_list);
    m_layout->addWidget(m_buttons.frame);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    centreOnActiveWindow(this, appData.windowOtherCenter, appData.windowLanguageLeft,
                         appData.windowLanguageTop, appData.windowLanguageWidth,
                         appData.windowLanguageHeight);
    m_list->addItems(entries);
    m_list->sortItems(Qt::AscendingOrder);
    m_list->setCurrentRow(0);
}

TDialogSetLanguage::~TDialogSetLanguage()
{
    storeWindowGeometry(this, &appData.windowLanguageLeft, &appData.windowLanguageTop,
                        &appData.windowLanguageWidth, &appData.windowLanguageHeight);
}

QString TDialogSetLanguage::selectedLanguage() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item ? item->text() : QString();
}

// ---- About ------------------------------------------------------------------

TDialogAbout::TDialogAbout(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(lang.text(66));
    m_shortName = new QLabel(QString::fromUtf8(APP_SHORT_NAME), this);
    m_shortName->setAlignment(Qt::AlignCenter);
    QFont bold = m_shortName->font();
    bold.setWeight(QFont::Bold);
    m_shortName->setFont(bold);
    m_fullName = new QLabel(QString::fromUtf8(APP_PRODUCT), this);
    m_fullName->setAlignment(Qt::AlignCenter);
    m_version = new QLabel(QString::fromUtf8(APP_VERSION), this);
    m_date = new QLabel(QString::fromUtf8(APP_DATE), this);
    m_contact = new QLabel(QString::fromUtf8(APP_EMAIL), this);
    m_line = createSeparatorLine(this);
    m_line->setFixedHeight(2);

    m_form = new QFormLayout;
    m_form->setContentsMargins(0, 0, 0, 0);
    m_form->setLabelAlignment(Qt::AlignRight);
    m_form->addRow(QStringLiteral("version:"), m_version);
    m_form->addRow(QStringLiteral("date:"), m_date);
    m_form->addRow(QStringLiteral("e-mail:"), m_contact);

    m_inner = new QVBoxLayout;
    m_inner->setContentsMargins(10, 10, 10, 10);
    m_inner->setSpacing(5);
    m_inner->addWidget(m_shortName);
    m_inner->addWidget(m_fullName);
    m_inner->addSpacing(10);
    m_inner->addLayout(m_form);

    m_ok = new QPushButton(lang.text(81), this);
    m_ok->setFixedSize(100, 24);
    m_buttonLayout = new QHBoxLayout;
    m_buttonLayout->setContentsMargins(5, 10, 5, 5);
    m_buttonLayout->setSpacing(0);
    m_buttonLayout->addStretch();
    m_buttonLayout->addWidget(m_ok);

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addLayout(m_inner);
    m_layout->addWidget(m_line);
    m_layout->addLayout(m_buttonLayout);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    const QSize hint = sizeHint();
    const int width = hint.width() + 50;
    centreOnActiveWindow(this, true, 0, 0, width, hint.height());
    setFixedSize(width, hint.height());
}

TDialogAbout::~TDialogAbout() = default;
