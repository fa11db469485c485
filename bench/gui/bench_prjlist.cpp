// Project-list tree with 10,000 entries: loading and saving the list file
// against QJsonDocument reading and writing the same bytes in the same run,
// and one keystroke of the name filter.

#include "core/TAppData.h"
#include "gui/views/TWgtPrjList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    appData.pathProjects = dir.path();
    appData.prjListShowFilter = true;
    const QString path = dir.filePath("big.lst");
    QByteArray text = "{\"version\": 1, \"list\": [";
    for (int i = 0; i < 10000; ++i) {
        // Groups of ten: a group entry, then nine projects under it.
        const int parent = i % 10 == 0 ? 0 : i - i % 10 + 1;
        text += QStringLiteral("%1{\"parent\": %2, \"expand\": %3, \"name\": \"Entry %4\", \"file\": \"p%4.prj\"}")
                    .arg(i ? "," : "").arg(parent).arg(i % 20 == 0 ? 1 : 0).arg(i).toUtf8();
    }
    text += "]}";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return 1;
    f.close();

    const int rounds = 5;
    TWgtPrjList list;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rounds; ++i)
        list.load(QStringLiteral("big"), path, 0);
    const double load = t.nsecsElapsed() / 1e6 / rounds;
    t.restart();
    for (int i = 0; i < rounds; ++i)
        list.save(path);
    const double save = t.nsecsElapsed() / 1e6 / rounds;
    QFile in(path);
    in.open(QIODevice::ReadOnly);
    const QByteArray bytes = in.readAll();
    t.restart();
    QByteArray back;
    for (int i = 0; i < rounds; ++i) {
        const QJsonDocument doc = QJsonDocument::fromJson(bytes);
        back = doc.toJson();
    }
    const double json = t.nsecsElapsed() / 1e6 / rounds;
    std::printf("project list, 10000 entries: load %.1f ms, save %.1f ms, QJsonDocument read+write %.1f ms "
                "(load+save / json = %.2f)\n", load, save, json, (load + save) / json);

    list.show();
    QLineEdit *filter = list.findChild<QLineEdit *>();
    t.restart();
    QTest::keyClick(filter, Qt::Key_7);
    const double key = t.nsecsElapsed() / 1e6;
    if (filter->text() != QLatin1String("7"))
        return 1;
    std::printf("project list, 10000 entries: one filter keystroke %.1f ms\n", key);
    return back.isEmpty() ? 1 : 0;
}
