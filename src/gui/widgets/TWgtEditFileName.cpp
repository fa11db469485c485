#include "gui/widgets/TWgtEditFileName.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "core/helpers.h"
#include "gui/widgets/TLineEdit.h"
#include "gui/widgets/wgt_misc.h"

TWgtEditFileName::TWgtEditFileName(const QString &label, const QString &fileName, QWidget *parent)
    : QWidget(parent),
      m_label(new QLabel(label)),
      m_edit(new TLineEdit),
      m_button(createSmallButton(QStringLiteral("...")))
{
    m_edit->setFixedHeight(21);
    m_edit->setText(fileName);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(m_label);
    layout->addWidget(m_edit);
    layout->addWidget(m_button);

    connect(m_button, &QPushButton::clicked, this, &TWgtEditFileName::slotOpenWindowFileSelect);
    connect(m_edit, &QLineEdit::textChanged, this, &TWgtEditFileName::slotTextChanged);
}

void TWgtEditFileName::setFileName(const QString &fileName)
{
    m_edit->setText(fileName);
}

QString TWgtEditFileName::fileName() const
{
    return m_edit->text();
}

void TWgtEditFileName::setEditToolTip(const QString &text)
{
    m_edit->setToolTip(text);
}

void TWgtEditFileName::setButtonToolTip(const QString &text)
{
    m_button->setToolTip(text);
}

void TWgtEditFileName::setFileDialog(const QString &caption, const QString &filter,
                                     const QString &suffix)
{
    m_caption = caption;
    m_filter = filter;
    m_suffix = suffix;
}

void TWgtEditFileName::setRequired(bool required)
{
    m_required = required;
    if (m_required)
        paintRequired();
}

void TWgtEditFileName::paintRequired()
{
    setBackgroundColor(m_edit, m_edit->text().isEmpty() ? warningColor() : paletteBaseColor());
}

void TWgtEditFileName::slotTextChanged(const QString &text)
{
    if (m_required)
        paintRequired();
    emit signalChanged(text);
}

QString TWgtEditFileName::startDirectory() const
{
    return dirOfPath(m_basePath, m_edit->text());
}

void TWgtEditFileName::slotOpenWindowFileSelect()
{
    QFileDialog dialog(this, m_caption, startDirectory(), m_filter);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QStringList files = dialog.selectedFiles();
    if (!files.isEmpty())
        takeChosenFile(files.first());
}

void TWgtEditFileName::takeChosenFile(const QString &path)
{
    QString file = path;
    if (!m_suffix.isEmpty() && suffixOf(QFileInfo(file).fileName()) != m_suffix)
        file += QLatin1Char('.') + m_suffix;
    QString entered = toRelativePath(m_basePath, file);
    if (m_relativeOnlyInside && !QFileInfo(entered).isAbsolute()
        && (entered == QLatin1String("..") || entered.startsWith(QLatin1String("../"))))
        entered = absoluteFilePath(file);
    m_edit->setText(entered);
}
