#include "gui/dialogs/TDialogPrjEdit.h"

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/helpers.h"
#include "gui/widgets/TWgtEditFileName.h"
#include "gui/widgets/TWgtLabelEdit.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TDialogPrjEdit::TDialogPrjEdit(const QString &title, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    m_name = new TWgtLabelEdit(lang.text(104), this);
    m_file = new TWgtEditFileName(lang.text(105), QString(), this);
    m_file->setFileDialog(lang.text(106), QStringLiteral("*.prj"), QStringLiteral("prj"));
    auto *line = new QLabel(this);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    line->setLineWidth(1);
    auto *buttons = new QFrame(this);
    buttons->setFixedHeight(40);
    auto *row = new QHBoxLayout(buttons);
    row->setContentsMargins(5, 5, 5, 5);
    row->setSpacing(5);
    row->setAlignment(Qt::AlignRight);
    auto *ok = new QPushButton(lang.text(79), buttons);
    auto *cancel = new QPushButton(lang.text(80), buttons);
    ok->setFixedSize(100, 24);
    cancel->setFixedSize(100, 24);
    row->addWidget(ok);
    row->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(5);
    layout->addWidget(m_name);
    layout->addWidget(m_file);
    layout->addWidget(line);
    layout->addStretch();
    layout->addWidget(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedHeight(sizeHint().height());
    centreOnActiveWindow(this, appData.windowOtherCenter, appData.windowPrjEditLeft, appData.windowPrjEditTop,
                         appData.windowPrjEditWidth, height());
}

TDialogPrjEdit::~TDialogPrjEdit()
{
    const QRect r = geometry();
    appData.windowPrjEditLeft = r.left();
    appData.windowPrjEditTop = r.top();
    appData.windowPrjEditWidth = r.right() - r.left() + 1;
}

void TDialogPrjEdit::setValues(const QString &name, const QString &file, const QString &baseDir)
{
    m_name->setText(name);
    m_file->setFileName(file);
    m_file->setBasePath(baseDir);
}

QString TDialogPrjEdit::name() const { return m_name->text(); }
QString TDialogPrjEdit::fileName() const { return m_file->fileName(); }
