// The shipped language files, read through the program's own language table,
// checked against the table of every message number the program uses
// (tests/data/language/messages.tsv): each used number has its text, with
// exactly the placeholders its users fill and in the shape its role needs,
// the forms of its counts in the language's number, and every file numbers
// its messages alike.

#include <QtTest>

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>
#include <QVector>

#include "core/TAppData.h"
#include "core/TLang.h"
#include "core/helpers.h"

namespace {

const QString kMissing = QStringLiteral("?????");

struct UsedMessage
{
    int number = -1;
    int args = 0;
    QString kind;
    QString forbidden;
    QString role;
    QSet<int> counts;  // the placeholders that are counts
};

// Kinds whose text has to fit on one line: menu entries, captions, labels,
// tab titles, header texts, status-bar lines and the like.
const QStringList kOneLineKinds = {
    "name", "menu", "caption", "label", "title", "header", "item", "tab", "text", "status"};
const QStringList kKinds = kOneLineKinds + QStringList{"tooltip", "question", "info", "error", "log"};

const QStringList kShippedFiles = {"rus.lng", "eng.lng"};

QString sourceFile(const QString& name)
{
    return QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/") + name;
}

QString stagedFile(const QString& name)
{
    return QStringLiteral(VELKOR_BIN_DIR "/language/") + name;
}

// Reads the table; a malformed line is reported in `error` and ends the read.
QVector<UsedMessage> readTable(QString* error)
{
    QVector<UsedMessage> table;
    QFile file(QStringLiteral(VELKOR_TEST_DATA_DIR "/language/messages.tsv"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = file.errorString();
        return {};
    }
    QTextStream in(&file);
    in.setCodec("UTF-8");
    int lineNo = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNo;
        if (line.startsWith('#'))
            continue;
        const QStringList f = line.split('\t');
        bool okNumber = false;
        bool okArgs = false;
        UsedMessage m;
        static const QRegularExpression countList(QStringLiteral("^(\\d+(,\\d+)*)?$"));
        const bool okCounts = countList.match(f.value(5)).hasMatch();
        for (const QString& k : f.value(5).split(',', Qt::SkipEmptyParts))
            m.counts.insert(k.toInt());
        if (f.size() == 5 || f.size() == 6) {
            m.number = f[0].toInt(&okNumber);
            m.args = f[1].toInt(&okArgs);
            m.kind = f[2];
            m.forbidden = f[3] == "-" ? QString() : f[3];
            m.role = f[4];
        }
        if (!okNumber || !okArgs || !okCounts || m.args < 0 || !kKinds.contains(m.kind) || m.role.isEmpty()) {
            *error = QString("messages.tsv line %1 is malformed: %2").arg(lineNo).arg(line);
            return {};
        }
        table.append(m);
    }
    return table;
}

// The numbers of the %n markers in a text, each once (the head "{%n:" of a
// count group is none).
QSet<int> placeholders(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("(?<!\\{)%(\\d+)"));
    QSet<int> found;
    auto it = marker.globalMatch(text);
    while (it.hasNext())
        found.insert(it.next().captured(1).toInt());
    return found;
}

QSet<int> expectedPlaceholders(int count)
{
    QSet<int> set;
    for (int i = 1; i <= count; ++i)
        set.insert(i);
    return set;
}

QString describe(const QSet<int>& set)
{
    QList<int> list = set.values();
    std::sort(list.begin(), list.end());
    QStringList parts;
    for (int n : list)
        parts << QString("%%1").arg(n);
    return parts.isEmpty() ? QStringLiteral("none") : parts.join(' ');
}

// Every message the file holds, in number order, read through the language table.
QStringList messagesOf(const QString& path, int highest)
{
    TLang language;
    language.load(path);
    QStringList texts;
    for (int n = 0; n <= highest; ++n)
        texts << language.text(n);
    return texts;
}

} // namespace

class TestLanguageFiles : public QObject
{
    Q_OBJECT

private:
    QVector<UsedMessage> table;
    int highest = -1;

private slots:
    void initTestCase();
    void usedMessages_data();
    void usedMessages();
    void numberingEndsAtHighestUsed_data();
    void numberingEndsAtHighestUsed();
    void filesAgreeOnPlaceholders();
    void languageNamesForChooser();
    void filesStagedBesideProgram();
    void defaultSettingsPickRussian();
};

void TestLanguageFiles::initTestCase()
{
    QString error;
    table = readTable(&error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!table.isEmpty());
    for (int i = 0; i < table.size(); ++i) {
        if (i > 0)
            QVERIFY2(table[i].number > table[i - 1].number,
                     qPrintable(QString("messages.tsv: %1 out of order or repeated").arg(table[i].number)));
    }
    QCOMPARE(table[0].number, 0);
    QCOMPARE(table[1].number, 1);
    highest = table.last().number;
}

void TestLanguageFiles::usedMessages_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("otherQuotes");  // quote marks of another language
    QTest::newRow("rus.lng") << "rus.lng" << "\"";
    QTest::newRow("eng.lng") << "eng.lng" << "«»";
}

// Each used number: a text that is there, fits its role and carries exactly
// the placeholders its users fill, quotes in the language's own marks, and
// the words that go with a count in as many forms as the language names.
// All faults of a file are listed at once.
void TestLanguageFiles::usedMessages()
{
    QFETCH(QString, file);
    QFETCH(QString, otherQuotes);
    const QStringList texts = messagesOf(sourceFile(file), highest);
    TLang language;
    language.load(sourceFile(file));

    QStringList faults;
    for (const UsedMessage& m : table) {
        const QString text = texts.at(m.number);
        const QString where = QString("%1 #%2 (%3)").arg(file).arg(m.number).arg(m.role);
        if (text.isEmpty() || text == kMissing) {
            faults << where + ": no text";
            continue;
        }
        if (text != text.trimmed())
            faults << where + ": blanks at the start or end";
        const QSet<int> found = placeholders(text);
        if (found != expectedPlaceholders(m.args))
            faults << QString("%1: placeholders %2, expected %3")
                          .arg(where, describe(found), describe(expectedPlaceholders(m.args)));
        for (const QChar c : m.forbidden + otherQuotes) {
            if (text.contains(c))
                faults << QString("%1: holds '%2'").arg(where).arg(c);
        }
        if (kOneLineKinds.contains(m.kind) && text.contains('\n'))
            faults << where + ": a line break in a one-line text";
        if (m.kind == "label" && !text.endsWith(':'))
            faults << where + ": a label without its colon";
        if (m.kind == "question" && !text.contains('?'))
            faults << where + ": a question that asks nothing";
        QVector<TLang::CountGroup> groups;
        if (!TLang::countGroups(text, &groups))
            faults << where + ": a count group left open";
        if (!m.counts.isEmpty() && groups.isEmpty())
            faults << where + ": shows a count without the forms of its words";
        for (const TLang::CountGroup& g : groups) {
            if (!m.counts.contains(g.placeholder))
                faults << where + QString(": a count group on %%1, which is no count").arg(g.placeholder);
            if (g.forms.size() != language.formCount())
                faults << where + QString(": a count group of %1 forms, the language names %2")
                                      .arg(g.forms.size()).arg(language.formCount());
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
}

void TestLanguageFiles::numberingEndsAtHighestUsed_data()
{
    usedMessages_data();
}

// A lost or doubled line shifts every later number; the last used number must
// be the file's last message.
void TestLanguageFiles::numberingEndsAtHighestUsed()
{
    QFETCH(QString, file);
    TLang language;
    language.load(sourceFile(file));
    QVERIFY(language.text(highest) != kMissing);
    QCOMPARE(language.text(highest + 1), kMissing);
}

// The same number carries the same placeholders in every language, reserved
// numbers included, so that whichever file is chosen the program fills it alike.
void TestLanguageFiles::filesAgreeOnPlaceholders()
{
    QMap<QString, QStringList> texts;
    for (const QString& name : kShippedFiles)
        texts[name] = messagesOf(sourceFile(name), highest);

    QStringList faults;
    const QString first = kShippedFiles.first();
    for (const QString& other : kShippedFiles.mid(1)) {
        for (int n = 0; n <= highest; ++n) {
            const QSet<int> a = placeholders(texts[first].at(n));
            const QSet<int> b = placeholders(texts[other].at(n));
            if (a != b)
                faults << QString("#%1: %2 has %3, %4 has %5")
                              .arg(n)
                              .arg(first, describe(a), other, describe(b));
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
}

// Messages 0 and 1 name the language in the chooser, shown as "%1 (%2)"; the
// chooser keys its entries by that text, so two files must not share it.
void TestLanguageFiles::languageNamesForChooser()
{
    QSet<QString> shown;
    for (const QString& name : kShippedFiles) {
        TLang language;
        language.load(sourceFile(name));
        const QString title = language.text(0);
        const QString label = language.text(1);
        QVERIFY2(!title.isEmpty() && title != kMissing, qPrintable(name));
        QVERIFY2(!label.isEmpty() && label != kMissing, qPrintable(name));
        QVERIFY2(!title.contains('\n') && !label.contains('\n'), qPrintable(name));
        const QString entry = QString("%1 (%2)").arg(title, label);
        QVERIFY2(!shown.contains(entry), qPrintable(name + ": " + entry));
        shown.insert(entry);
    }
}

// The program reads its language files from the folder beside it.
void TestLanguageFiles::filesStagedBesideProgram()
{
    for (const QString& name : kShippedFiles) {
        QFile source(sourceFile(name));
        QFile staged(stagedFile(name));
        QVERIFY2(source.open(QIODevice::ReadOnly), qPrintable(source.fileName()));
        QVERIFY2(staged.open(QIODevice::ReadOnly), qPrintable(staged.fileName()));
        QVERIFY2(source.readAll() == staged.readAll(), qPrintable(name + " is staged out of date"));
    }
}

// Without a settings file the program resolves its language folder and file
// beside itself and lands on the shipped Russian file.
void TestLanguageFiles::defaultSettingsPickRussian()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    setAppFileLocation(home.path());
    TAppData settings;
    settings.load();
    setAppFileLocation(QString());

    const QString chosen =
        makeAbsolutePath(QDir(QStringLiteral(VELKOR_BIN_DIR)).filePath(settings.pathLanguage), settings.language);
    QFile staged(chosen);
    QFile russian(sourceFile(QStringLiteral("rus.lng")));
    QVERIFY2(staged.open(QIODevice::ReadOnly), qPrintable(chosen));
    QVERIFY(russian.open(QIODevice::ReadOnly));
    QVERIFY(staged.readAll() == russian.readAll());
}

QTEST_GUILESS_MAIN(TestLanguageFiles)
#include "test_language_files.moc"
