// Catalogue of project lists with 10,000 rows: loaded into the dialog and
// saved back, beside QJsonDocument reading and writing the same bytes in the
// same run (the ratio is what the table and the fixed line layout cost);
// the file format alone (parse and text, no table) as well.

#include "core/TAppData.h"
#include "gui/dialogs/TDialogSelectPrjList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    appData.pathProjects = dir.path();

    QVector<TCatalogueRow> rows;
    for (int i = 0; i < 10000; ++i)
        rows.append({QStringLiteral("List %1 \"Lötstation\"").arg(i),
                     QStringLiteral("group%1/list%2.lst").arg(i % 50).arg(i)});
    const QByteArray text = catalogueText(rows);
    const QString path = dir.filePath(QStringLiteral("big.lpl"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return 1;
    f.close();

    constexpr int rounds = 5;
    TDialogSelectPrjList dialog;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rounds; ++i)
        if (!dialog.loadCatalogue(path))
            return 1;
    const double load = t.nsecsElapsed() / 1e6 / rounds;
    t.restart();
    for (int i = 0; i < rounds; ++i)
        if (!dialog.saveCatalogue(path))
            return 1;
    const double save = t.nsecsElapsed() / 1e6 / rounds;
    if (readAll(path) != text)
        return 1;

    QVector<TCatalogueRow> back;
    QByteArray again;
    t.restart();
    for (int i = 0; i < rounds; ++i) {
        if (!parseCatalogue(text, &back))
            return 1;
        again = catalogueText(back);
    }
    const double format = t.nsecsElapsed() / 1e6 / rounds;
    if (again != text)
        return 1;

    QByteArray json;
    t.restart();
    for (int i = 0; i < rounds; ++i)
        json = QJsonDocument::fromJson(text).toJson();
    const double plain = t.nsecsElapsed() / 1e6 / rounds;

    std::printf("catalogue, 10000 rows (%d KiB): dialog load %.1f ms, save %.1f ms; format alone %.1f ms; "
                "QJsonDocument read+write %.1f ms (dialog / json = %.2f, format / json = %.2f)\n",
                int(text.size() / 1024), load, save, format, plain, (load + save) / plain, format / plain);
    return json.isEmpty() ? 1 : 0;
}
