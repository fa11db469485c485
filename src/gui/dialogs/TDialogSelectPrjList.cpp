#include "gui/dialogs/TDialogSelectPrjList.h"

#include "core/TLang.h"
#include "core/helpers.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TDialogSelectPrjList::TDialogSelectPrjList(QWidget *parent)
    : QDialog(parent)
{
    m_table = new QTableWidget(0, 2, this);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    auto *ok = new QPushButton(lang.text(78), this);
    auto *cancel = new QPushButton(lang.text(80), this);
    ok->setFixedSize(100, 24);
    cancel->setFixedSize(100, 24);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(m_table);
    layout->addLayout(row);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
}

bool TDialogSelectPrjList::loadCatalogue(const QString &path)
{
    m_table->setRowCount(0);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (bytes.isEmpty() || error.error != QJsonParseError::NoError)
        return false;
    const QJsonArray list = doc.object().value(QStringLiteral("list")).toArray();
    for (const QJsonValue &value : list) {
        const QJsonObject row = value.toObject();
        const int r = m_table->rowCount();
        m_table->insertRow(r);
        m_table->setItem(r, 0, new QTableWidgetItem(row.value(QStringLiteral("name")).toString()));
        m_table->setItem(r, 1, new QTableWidgetItem(row.value(QStringLiteral("file")).toString()));
    }
    return true;
}

bool TDialogSelectPrjList::saveCatalogue(const QString &path)
{
    QByteArray text = "{\n    \"version\": 1,\n    \"list\":\n    [\n";
    for (int r = 0; r < m_table->rowCount(); ++r) {
        text += QStringLiteral("        {\"name\": \"%1\", \"file\": \"%2\"}")
                    .arg(jsonStringText(m_table->item(r, 0)->text()), jsonStringText(m_table->item(r, 1)->text()))
                    .toUtf8();
        text += r + 1 < m_table->rowCount() ? ",\n" : "\n";
    }
    text += "    ]\n}\n";
    return writeFile(path, text);
}

void TDialogSelectPrjList::setCurrentList(const QString &name, const QString &file)
{
    for (int r = 0; r < m_table->rowCount(); ++r) {
        if (m_table->item(r, 1)->text() == file || absoluteFilePath(m_table->item(r, 1)->text()) == file
            || (!name.isEmpty() && name != file && m_table->item(r, 0)->text() == name)) {
            m_table->setCurrentCell(r, 0);
            return;
        }
    }
}

QString TDialogSelectPrjList::currentName() const
{
    const int r = m_table->currentRow();
    return r >= 0 ? m_table->item(r, 0)->text() : QString();
}

QString TDialogSelectPrjList::currentFile() const
{
    const int r = m_table->currentRow();
    return r >= 0 ? m_table->item(r, 1)->text() : QString();
}
