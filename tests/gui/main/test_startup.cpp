// Start-up: the style fallback, the font rules, the meta types and the whole
// sequence against a settings file of the test's own; and the built program
// itself, started from its build folder.

#include "core/TAppData.h"
#include "core/TCodeView.h"
#include "core/TData.h"
#include "core/TLang.h"
#include "core/TSaveFile.h"
#include "core/helpers.h"
#include "devices/TCodeExec.h"
#include "gui/main/TMainWindow.h"
#include "gui/main/startup.h"
#include "support/ChildProcess.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QProcess>
#include <QStyle>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QThread>
#include <QtTest>

#include <csignal>

namespace {

// Emits one log event, of the data set before its thread started, from
// whatever thread it lives in.
class Emitter : public QObject
{
    Q_OBJECT
public:
    TData data;
    void fire() { emit signalAll(EXEC_FAILED, data, VIEW_CMD_PARAM); }
signals:
    void signalAll(TCodeExec code, const TData &data, TCodeView view);
};

class Catcher : public QObject
{
    Q_OBJECT
public:
    QThread *thread = nullptr;
    TCodeExec code = EXEC_CMD;
    TData data;
    TCodeView view = TCodeView(0);
    int count = 0;
public slots:
    void slotAll(TCodeExec c, const TData &d, TCodeView v)
    {
        thread = QThread::currentThread();
        code = c;
        data = d;
        view = v;
        ++count;
    }
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir home;

    void writeFile(const QString &path, const QByteArray &text)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(text), qint64(text.size()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        setAppFileLocation(home.path());
    }
    void cleanupTestCase()
    {
        setAppFileLocation(QString());
    }

    void styleFallback_data()
    {
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QString>("chosen");
        const QStringList offered{QStringLiteral("Windows"), QStringLiteral("Fusion")};
        QTest::newRow("offered") << "Fusion" << offered << "Fusion";
        QTest::newRow("case differs") << "fusion" << offered << "Windows";
        QTest::newRow("unknown") << "Motif" << offered << "Windows";
        QTest::newRow("empty name") << "" << offered << "Windows";
        QTest::newRow("nothing offered") << "Fusion" << QStringList() << "Fusion";
    }
    void styleFallback()
    {
        QFETCH(QString, wanted);
        QFETCH(QStringList, offered);
        QFETCH(QString, chosen);
        QCOMPARE(chooseStyle(wanted, offered), chosen);
    }

    void applicationFontTakesWhatIsSet()
    {
        QFont current(QStringLiteral("Sans"), 10);
        QCOMPARE(applicationFont(current, QString(), 0), current);
        QFont f = applicationFont(current, QStringLiteral("Serif"), 0);
        QCOMPARE(f.family(), QStringLiteral("Serif"));
        QCOMPARE(f.pointSize(), 10);
        f = applicationFont(current, QString(), 14);
        QCOMPARE(f.family(), QStringLiteral("Sans"));
        QCOMPARE(f.pointSize(), 14);
        QCOMPARE(applicationFont(current, QString(), -3).pointSize(), 10);
    }

    void monoFontFillsOnlyWhatIsUnset()
    {
        const QFont app(QStringLiteral("Sans"), 11);
        QString family;
        int size = 0;
        fillMonoFont(family, size, app);
        QCOMPARE(family, QStringLiteral("Sans"));
        QCOMPARE(size, 11);

        family.clear();
        size = 9;
        fillMonoFont(family, size, app);
        QCOMPARE(family, QStringLiteral("Sans"));
        QCOMPARE(size, 9);

        family = QStringLiteral("Mono");
        size = 0;
        fillMonoFont(family, size, app);
        QCOMPARE(family, QStringLiteral("Mono"));
        QCOMPARE(size, 11);

        // A font sized in pixels still gives a point size.
        QFont pixels(QStringLiteral("Sans"));
        pixels.setPixelSize(16);
        family.clear();
        size = 0;
        fillMonoFont(family, size, pixels);
        QVERIFY(size > 0);
    }

    void metaTypesCrossThreads()
    {
        registerMetaTypes();
        QCOMPARE(QMetaType::type("TData"), int(QMetaType::QVariantHash));
        for (const char *name : {"TCodeView", "TCodeExec"}) {
            const int id = QMetaType::type(name);
            QVERIFY2(id != QMetaType::UnknownType, name);
            QCOMPARE(QMetaType::sizeOf(id), 4);
            QVERIFY(QMetaType::typeFlags(id) & QMetaType::IsEnumeration);
            QVERIFY(QMetaType::typeFlags(id) & QMetaType::MovableType);
        }

        // Through a blocking queued connection from another thread that
        // starts it, the way the workers start and report to the GUI.
        QThread thread;
        Emitter emitter;
        Catcher catcher;
        const TData data{{QStringLiteral("id_cmd"), 7}};
        emitter.data = data;
        emitter.moveToThread(&thread);
        connect(&emitter, &Emitter::signalAll, &catcher, &Catcher::slotAll, Qt::BlockingQueuedConnection);
        connect(&thread, &QThread::started, &emitter, &Emitter::fire);
        thread.start();
        QTRY_COMPARE(catcher.count, 1);
        thread.quit();
        QVERIFY(thread.wait(5000));
        QCOMPARE(catcher.thread, QThread::currentThread());
        QCOMPARE(catcher.code, EXEC_FAILED);
        QCOMPARE(catcher.data, data);
        QCOMPARE(catcher.view, VIEW_CMD_PARAM);
    }

    void startUpAppliesTheSettings()
    {
        const QString langDir = home.path() + QStringLiteral("/lang");
        QVERIFY(QDir().mkpath(langDir));
        writeFile(langDir + QStringLiteral("/test.lng"), "# comment\nzero\nодин\n");
        // The style differs from an offered one only in case; the second font
        // has its size but not its family.
        writeFile(settingsFilePath(),
                  "[Main]\nStyle=fusion\nFontAppSize=13\nFontMonoSize=9\nLanguage=test.lng\nPathLanguage="
                      + langDir.toUtf8() + "\n");
        QVERIFY(!styleKeys().contains(QStringLiteral("fusion")));
        const QString family = QApplication::font().family();

        startUp();

        QCOMPARE(QDir::currentPath(), QDir(QCoreApplication::applicationDirPath()).absolutePath());
        QCOMPARE(QTextCodec::codecForLocale()->name(), QByteArray("UTF-8"));
        QCOMPARE(lang.text(1), QString::fromUtf8("один"));
        QCOMPARE(appData.style, styleKeys().first());
        QCOMPARE(QApplication::style()->objectName().toLower(), styleKeys().first().toLower());
        QCOMPARE(QApplication::font().pointSize(), 13);
        QCOMPARE(QApplication::font().family(), family);
        QCOMPARE(appData.fontMonoName, family);
        QCOMPARE(appData.fontMonoSize, 9);
        QVERIFY(QMetaType::type("TCodeExec") != QMetaType::UnknownType);
    }

    void startUpWithoutFilesKeepsDefaults()
    {
        QFile::remove(settingsFilePath());
        startUp();
        // The shipped default language file is not in the test's folder: the
        // table stays empty and start-up goes on.
        QCOMPARE(lang.text(0), QStringLiteral("?????"));
        QCOMPARE(appData.style, QStringLiteral("Fusion"));
        QCOMPARE(appData.fontMonoName, QApplication::font().family());
        QCOMPARE(appData.fontMonoSize, QApplication::font().pointSize());
    }

    // What a save of the settings cut short by the end of its process left
    // beside them goes at start-up; a file of another name stays.
    void startUpRemovesCutSettingsSaves()
    {
        writeFile(settingsFilePath(), "[Main]\nStyle=Fusion\n");
        writeFile(settingsFilePath() + ".bak", "user's");
        const QDir dir = QFileInfo(settingsFilePath()).dir();
        const QStringList before = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        ChildProcess child;
        QVERIFY(child.start([](ChildProcess &self) {
            TSaveFile save(settingsFilePath());
            if (!save.open(QIODevice::WriteOnly) || save.write("[Main]\n") != 7 || !save.flush())
                return false;
            QFile copy(save.sidePath(QStringLiteral("edit")));
            if (!copy.open(QIODevice::WriteOnly) || copy.write("[Main]\n") != 7 || !copy.flush())
                return false;
            self.ready();
            self.waitGo();
            return false;
        }));
        QVERIFY(child.waitReady());
        child.kill();
        QCOMPARE(dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), before.size() + 3);

        startUp();
        QCOMPARE(dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
        QCOMPARE(appData.style, QStringLiteral("Fusion"));
        QFile::remove(settingsFilePath() + ".bak");
    }

    // The locale of a language file, for Qt's own texts.
    void languageLocales_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("language");
        QTest::newRow("shipped Russian") << "rus.lng" << "Русский" << "Russian" << int(QLocale::Russian);
        QTest::newRow("shipped English") << "eng.lng" << "English" << "Английский" << int(QLocale::English);
        QTest::newRow("own name only") << "x.lng" << "Deutsch" << "" << int(QLocale::German);
        QTest::newRow("file named by its locale") << "uk.lng" << "?????" << "?????" << int(QLocale::Ukrainian);
        QTest::newRow("file named by a locale with country") << "pt_BR.lng" << "" << "" << int(QLocale::Portuguese);
        QTest::newRow("a name that only starts like a locale") << "my_lang.lng" << "zero" << "один"
                                                               << int(QLocale::C);
        QTest::newRow("empty table") << "rus.lng" << "?????" << "?????" << int(QLocale::C);
    }
    void languageLocales()
    {
        QFETCH(QString, file);
        QFETCH(QString, name);
        QFETCH(QString, label);
        QFETCH(int, language);
        QCOMPARE(int(languageLocale(file, name, label).language()), language);
    }

    // Qt's own dialogs and standard buttons speak the language in use; a
    // language without Qt's translation, or a folder without it, leaves
    // them in English and is no error.
    void qtSpeaksTheLanguageInUse()
    {
        const auto texts = [] {
            QDialogButtonBox buttons(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
            QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
            QFileDialog chooser;
            chooser.setOption(QFileDialog::DontUseNativeDialog);
            auto *lookIn = chooser.findChild<QLabel *>(QStringLiteral("lookInLabel"));
            return QStringList{buttons.button(QDialogButtonBox::Save)->text(),
                               buttons.button(QDialogButtonBox::Cancel)->text(),
                               box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text(),
                               lookIn ? lookIn->text() : QString()};
        };
        const QStringList english = texts();
        QCOMPARE(english.mid(0, 2), QStringList({"Save", "Cancel"}));

        QVERIFY(installQtTranslations(languageLocale("rus.lng", "Русский", "Russian")));
        QCOMPARE(texts(), QStringList({"Сохранить", "Отмена", "&Да", "&Нет", "Перейти к:"}));

        QVERIFY(!installQtTranslations(QLocale(QLocale::Russian), home.path()));
        QCOMPARE(texts(), english);
        QVERIFY(installQtTranslations(QLocale(QLocale::Russian)));
        QVERIFY(!installQtTranslations(QLocale::c()));
        QCOMPARE(texts(), english);

        // Start-up with the shipped Russian file; writes past a file-size
        // limit fail from then on instead of ending the program.
        std::signal(SIGXFSZ, SIG_DFL);
        const QString langDir = home.path() + QStringLiteral("/ru");
        QVERIFY(QDir().mkpath(langDir));
        QFile::remove(langDir + QStringLiteral("/rus.lng"));
        QVERIFY(QFile::copy(QStringLiteral(VELKOR_SOURCE_DIR "/runtime/language/rus.lng"),
                            langDir + QStringLiteral("/rus.lng")));
        writeFile(settingsFilePath(), "[Main]\nLanguage=rus.lng\nPathLanguage=" + langDir.toUtf8() + "\n");
        startUp();
        QCOMPARE(texts().at(1), QStringLiteral("Отмена"));
        struct sigaction now {};
        QCOMPARE(sigaction(SIGXFSZ, nullptr, &now), 0);
        QVERIFY(now.sa_handler == SIG_IGN);
        installQtTranslations(QLocale::c());
    }

    void mainWindowIsTitledWithTheShortName()
    {
        TMainWindow window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Velkor"));
    }

    // The built program, started from another folder by its full path, finds
    // its own folder, comes up offscreen with its staged files and keeps
    // running until it is ended.
    void programKeepsRunning()
    {
        const QString program = QStringLiteral(VELKOR_BIN_DIR "/velkor");
        QVERIFY(QFileInfo(program).isExecutable());
        QVERIFY(QFileInfo::exists(QStringLiteral(VELKOR_BIN_DIR "/language/rus.lng")));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(home.path());
        process.start(program, QStringList());
        QVERIFY2(process.waitForStarted(10000), qPrintable(process.errorString()));
        QVERIFY2(!process.waitForFinished(3000), process.readAllStandardError().constData());
        QCOMPARE(process.state(), QProcess::Running);
        const QString cwd = QStringLiteral("/proc/%1/cwd").arg(process.processId());
        if (QFileInfo::exists(cwd))
            QCOMPARE(QFileInfo(cwd).canonicalFilePath(), QFileInfo(QStringLiteral(VELKOR_BIN_DIR)).canonicalFilePath());
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            QVERIFY(process.waitForFinished(5000));
        }
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
