#include "gui/dialogs/TDialogPrjEdit.h"

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/helpers.h"
#include "gui/dialogs/dialog_parts.h"
#include "gui/widgets/TWgtEditFileName.h"
#include "gui/widgets/TWgtLabelEdit.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TDialogNameFileEdit::TDialogNameFileEdit(const QString &title, int nameLabel, int fileLabel,
                                         Geometry geometry, QWidget *parent)
    : QDialog(parent), m_geometry(geometry)
{
    setWindowTitle(title);
    m_name = new TWgtLabelEdit(lang.text(nameLabel), this);
    m_file = new TWgtEditFileName(lang.text(fileLabel), QString(), this);

    m_line = createSeparatorLine(this);
    m_buttons = createDialogButtons(this, lang.text(79), lang.text(80));

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(5, 5, 5, 5);
    m_layout->setSpacing(5);
    m_layout->addWidget(m_name);
    m_layout->addWidget(m_file);
    m_layout->addWidget(m_line);
    m_layout->addStretch();
    m_layout->addWidget(m_buttons.frame);

    setFixedHeight(sizeHint().height());
    centreOnActiveWindow(this, appData.windowOtherCenter, *m_geometry.left, *m_geometry.top,
                         *m_geometry.width, height());
}

TDialogNameFileEdit::~TDialogNameFileEdit()
{
    storeWindowGeometry(this, m_geometry.left, m_geometry.top, m_geometry.width);
}

void TDialogNameFileEdit::setValues(const QString &name, const QString &file,
                                    const QString &baseDir)
{
    m_name->setText(name);
    m_file->setFileName(file);
    m_file->setBasePath(baseDir);
}

QString TDialogNameFileEdit::name() const { return m_name->text(); }
QString TDialogNameFileEdit::fileName() const { return m_file->fileName(); }

TDialogPrjEdit::TDialogPrjEdit(const QString &title, QWidget *parent)
    : TDialogNameFileEdit(title, 104, 105,
                          {&appData.windowPrjEditLeft, &appData.windowPrjEditTop,
                           &appData.windowPrjEditWidth},
                          parent)
{
    m_file->setFileDialog(lang.text(106), QStringLiteral("*.prj"), QStringLiteral("prj"));
}

TDialogPrjListEdit::TDialogPrjListEdit(const QString &title, QWidget *parent)
    : TDialogNameFileEdit(title, 92, 93,
                          {&appData.windowPrjListEditLeft, &appData.windowPrjListEditTop,
                           &appData.windowPrjListEditWidth},
                          parent)
{
}
