// The memory-command forms as their builders make them for a range: what
// they emit, what they show as refused, and that a stored command passes
// its check exactly when the form shows nothing refused.

#include "forms_fixture.h"
#include "gui/forms/TFormDevRWV.h"
#include "gui/widgets/TLineEdit.h"
#include "gui/widgets/TWgtEditFileName.h"
#include "gui/widgets/TWgtEditHexDec64.h"
#include "gui/widgets/widget_messages.h"
#include "support/edit_test_util.h"
#include "misc/TNormCmdParam.h"
#include "support/FakeDevice.h"

#include <memory>

using namespace formsfixture;

namespace {

QList<TWgtEditHexDec64 *> numberEdits(QWidget *form)
{
    return form->findChildren<TWgtEditHexDec64 *>();
}

// Types a value into the decimal half of a linked hex/decimal edit.
void type(TWgtEditHexDec64 *edit, qint64 value)
{
    QLineEdit *dec = edit->findChildren<QLineEdit *>().value(1);
    dec->selectAll();
    QTest::keyClick(dec, Qt::Key_Backspace);
    QTest::keyClicks(dec, QString::number(value));
    QTest::keyClick(dec, Qt::Key_Return);
}

void typeData(QWidget *form, const QString &text)
{
    auto *edit = form->findChild<TLineEdit *>();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace

class TestMemoryForms : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    FakeDevice chip{QStringLiteral("chip")};
    int cfg = 0;

    int command(const QString &code, TData params)
    {
        return add(cfg, code, params);
    }

private slots:
    void initTestCase()
    {
        setUp(dir);
        newProject(dir);
        cfg = dataPrj.addCfg(QStringLiteral("main"), QString());
        chip.setParams({{DEV_ADDR_BEGIN, "16"}, {DEV_SIZE, "256"},
                        {DEV_FLASH_ADDR_BEGIN, "0"}, {DEV_FLASH_SIZE, "8192"},
                        {DEV_EEPROM_ADDR_BEGIN, "8454144"}, {DEV_EEPROM_SIZE, "512"}});
    }

    // Every builder over every range gives its form with the range's limits
    // and defaults; the form carries the command id.
    void buildersOverRanges_data()
    {
        QTest::addColumn<int>("range");
        QTest::addColumn<qint64>("begin");
        QTest::addColumn<qint64>("size");
        QTest::newRow("main") << 0 << qint64(16) << qint64(256);
        QTest::newRow("flash") << 1 << qint64(0) << qint64(8192);
        QTest::newRow("eeprom") << 2 << qint64(8454144) << qint64(512);
        QTest::newRow("register file") << 3 << qint64(0) << qint64(256);
    }
    void buildersOverRanges()
    {
        QFETCH(int, range);
        QFETCH(qint64, begin);
        QFETCH(qint64, size);
        TData p{{REC_ID_CMD, 42}};
        setCharCmdParams(p, begin, size, 0xFF);
        std::unique_ptr<QWidget> forms[3];
        switch (range) {
        case 0:
            forms[0].reset(createCharCmdFormMain(&chip, p));
            forms[1].reset(createDataCmdFormMain(&chip, p));
            forms[2].reset(createFileCmdFormMain(&chip, p));
            break;
        case 1:
            forms[0].reset(createCharCmdFormFlash(&chip, p));
            forms[1].reset(createDataCmdFormFlash(&chip, p));
            forms[2].reset(createFileCmdFormFlash(&chip, p));
            break;
        case 2:
            forms[0].reset(createCharCmdFormEeprom(&chip, p));
            forms[1].reset(createDataCmdFormEeprom(&chip, p));
            forms[2].reset(createFileCmdFormEeprom(&chip, p));
            break;
        default:
            forms[0].reset(createCharCmdForm(p, begin, size, 0xFF));
            forms[1].reset(createDataCmdForm(p, begin, size));
            forms[2].reset(createFileCmdForm(p, begin, size));
        }
        QCOMPARE(static_cast<TFormDevRWVChar *>(forms[0].get())->idCmd(), 42);
        QCOMPARE(static_cast<TFormDevRWVData *>(forms[1].get())->idCmd(), 42);
        QCOMPARE(static_cast<TFormDevRWVFile *>(forms[2].get())->idCmd(), 42);
        for (auto &form : forms) {
            // The device address edit: the first of the char and data
            // forms, the second of the file form.
            const auto edits = numberEdits(form.get());
            TWgtEditHexDec64 *addr = edits.at(form == forms[2] ? 1 : 0);
            QCOMPARE(addr->minimum(), begin);
            QCOMPARE(addr->maximum(), begin + size - 1);
            type(addr, begin + 1);
            QCOMPARE(addr->value(), begin + 1);
            QTest::keyClick(addr->findChild<QLineEdit *>(), Qt::Key_Asterisk);
            QCOMPARE(addr->value(), begin);
        }
    }

    // For typed values the stored command passes its check exactly when no
    // edit of the form shows refusal; an entry outside its field is not
    // taken (the command keeps a valid value) and stays marked, and so is
    // a count the form cut ("marked" rows).
    void limitsAreTheChecks_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QList<qint64>>("values");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("marked");
        // Range 16..271.
        QTest::newRow("char whole") << "char" << QList<qint64>{16, 256, 255} << "" << false;
        QTest::newRow("char count 0") << "char" << QList<qint64>{16, 0, 0} << "" << false;
        QTest::newRow("char last byte") << "char" << QList<qint64>{271, 1, 1} << "" << false;
        QTest::newRow("char past end") << "char" << QList<qint64>{272, 1, 1} << "" << true;
        QTest::newRow("char below") << "char" << QList<qint64>{15, 1, 1} << "" << true;
        QTest::newRow("char too many") << "char" << QList<qint64>{100, 200, 1} << "" << true;
        QTest::newRow("data fits") << "data" << QList<qint64>{16} << "0a 1b" << false;
        QTest::newRow("data ends at end") << "data" << QList<qint64>{270} << "0102" << false;
        QTest::newRow("data past end") << "data" << QList<qint64>{271} << "0102" << false;
        QTest::newRow("data odd") << "data" << QList<qint64>{16} << "0A1" << false;
        QTest::newRow("data below") << "data" << QList<qint64>{15} << "01" << true;
        QTest::newRow("hex whole") << "file" << QList<qint64>{0, 0, 16, 256} << "a.hex" << false;
        QTest::newRow("hex window past 4 GiB") << "file" << QList<qint64>{0, 0xFFFFFF01LL, 16, 256} << "a.hex" << true;
        QTest::newRow("hex window ends at 4 GiB") << "file" << QList<qint64>{0, 0xFFFFFF00LL, 16, 256} << "a.hex" << false;
        QTest::newRow("bin beyond 4 GiB") << "file" << QList<qint64>{1, 0x100000000LL, 16, 4} << "a.bin" << false;
        QTest::newRow("count lowered") << "file" << QList<qint64>{1, 0, 17, 256} << "a.bin" << true;
        QTest::newRow("address past end") << "file" << QList<qint64>{1, 0, 300, 4} << "a.bin" << true;
        QTest::newRow("no file name") << "file" << QList<qint64>{1, 0, 16, 4} << "" << false;
    }
    void limitsAreTheChecks()
    {
        QFETCH(QString, kind);
        QFETCH(QList<qint64>, values);
        QFETCH(QString, text);
        QFETCH(bool, marked);
        TData p;
        if (kind == "char")
            setCharCmdParams(p, 20, 8, 0x11);
        else if (kind == "data")
            setDataCmdParams(p, 16, "00");
        else
            setFileCmdDefaults(p, 16, 256);
        const int id = command(kind + "_write", p);
        p.insert(REC_ID_CMD, id);
        std::unique_ptr<QWidget> form;
        Page page;
        if (kind == "char") {
            auto *f = createCharCmdForm(p, 16, 256, 0xFF);
            page.host(f);
            form.reset(f);
            const auto edits = numberEdits(f);
            for (int i = 0; i < 3; ++i)
                type(edits.at(i), values.at(i));
        } else if (kind == "data") {
            auto *f = createDataCmdForm(p, 16, 256);
            page.host(f);
            form.reset(f);
            type(numberEdits(f).at(0), values.at(0));
            typeData(f, text);
        } else {
            auto *f = createFileCmdForm(p, 16, 256);
            page.host(f);
            form.reset(f);
            QTest::keyClicks(f->findChild<TWgtEditFileName *>()->findChild<QLineEdit *>(), text);
            f->findChild<TComboBox *>()->setCurrentIndex(int(values.at(0)));
            const auto edits = numberEdits(f);
            type(edits.at(2), values.at(3));
            type(edits.at(1), values.at(2));
            type(edits.at(0), values.at(1));
        }
        QVERIFY(!page.emitted.isEmpty());
        const TData stored = record(id);
        const bool valid = bool(kind == "char"   ? isCharCmdValid(stored, 16, 256)
                                : kind == "data" ? isDataCmdValid(stored, 16, 256)
                                                 : isFileCmdValid(stored, 16, 256));
        if (marked) {
            QVERIFY(valid);
            QVERIFY(anyWarning(form.get()));
        } else {
            QCOMPARE(!anyWarning(form.get()), valid);
        }
    }

    void fileFormFormats()
    {
        // A format the form cannot show: no item, and it stays stored.
        TData p;
        setFileCmdDefaults(p, 16, 256);
        p.insert(FILE_FORMAT, "srec");
        p.insert(FILE_FILE, "a.s19");
        const int id = command("file_write", p);
        p.insert(REC_ID_CMD, id);
        Page page;
        std::unique_ptr<TFormDevRWVFile> form(createFileCmdForm(p, 16, 256));
        page.host(form.get());
        auto *box = form->findChild<TComboBox *>();
        QCOMPARE(box->currentIndex(), -1);
        QCOMPARE(form->maxFileAddr(), qint64(0xFFFFFFFF));
        type(numberEdits(form.get()).at(1), 32);
        QCOMPARE(page.emitted.size(), 1);
        QVERIFY(!page.emitted.last().contains(FILE_FORMAT));
        QCOMPARE(record(id).value(FILE_FORMAT).toString(), QStringLiteral("srec"));
        QCOMPARE(page.emitted.last().value(FILE_COUNT).toLongLong(), qint64(240));

        // "bin+" in any case picks BIN+; going to HEX narrows the file window
        // at once and keeps the address, shown refused.
        p.insert(FILE_FORMAT, "bin+");
        p.insert(FILE_ADDR_FILE, qint64(0x100000000LL));
        p.insert(FILE_COUNT, 4);
        std::unique_ptr<TFormDevRWVFile> bin(createFileCmdForm(p, 16, 256));
        page.host(bin.get());
        auto *binBox = bin->findChild<TComboBox *>();
        QCOMPARE(binBox->currentText(), QStringLiteral("BIN+"));
        QVERIFY(!showsWarning(numberEdits(bin.get()).at(0)));
        binBox->setCurrentIndex(0);
        QCOMPARE(page.emitted.last().value(FILE_FORMAT).toString(), QStringLiteral("hex"));
        QCOMPARE(page.emitted.last().value(FILE_ADDR_FILE).toLongLong(), qint64(0x100000000LL));
        QVERIFY(showsWarning(numberEdits(bin.get()).at(0)));
    }

    void dataFormEditing()
    {
        TData p;
        setDataCmdParams(p, 16, "");
        const int id = command("data_read", p);
        p.insert(REC_ID_CMD, id);
        Page page;
        std::unique_ptr<TFormDevRWVData> form(createDataCmdForm(p, 16, 256));
        page.host(form.get());
        auto *edit = form->findChild<TLineEdit *>();
        edit->setFocus();
        QTest::keyClicks(edit, "0a 1b 2c 3");
        QCOMPARE(edit->text(), QStringLiteral("0A 1B 2C 3"));
        QVERIFY(showsWarning(edit));
        QTest::keyClicks(edit, "d");
        QVERIFY(!showsWarning(edit));
        QVERIFY(page.emitted.isEmpty());   // typing alone stores nothing

        edit->setText("  0A   1B ");
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(page.emitted.size(), 1);
        QCOMPARE(page.emitted.last().value(DATA_DATA).toString(), QStringLiteral("0A 1B"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(page.emitted.size(), 1);

        // A paste that is no hex data stays as given, marked; Return stores
        // nothing, and leaving shows the data stored.
        editAt(edit, -1, QStringLiteral("0xA5"), QString());
        QCOMPARE(edit->text(), QStringLiteral("0xA5"));
        QVERIFY(showsWarning(edit));
        QCOMPARE(edit->toolTip(), NumberedLanguage::text(MSG_PASTE_NOT_TAKEN));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(page.emitted.size(), 1);
        leave(edit);
        QCOMPARE(edit->text(), QStringLiteral("0A 1B"));
        QVERIFY(!showsWarning(edit));

        // A run's data reaches the open form of its own command only, and of
        // a read command only; nothing is emitted.
        TData read = record(id);
        read.insert(DATA_DATA, "DE AD");
        QCOMPARE(dataCmdTextMain(read, "data_read", form.get()), QStringLiteral("0x10..0x11 :DE AD"));
        QCOMPARE(edit->text(), QStringLiteral("DE AD"));
        read.insert(DATA_DATA, "BE EF");
        dataCmdText(read, "data_write", form.get());
        read.insert(REC_ID_CMD, id + 1000);
        dataCmdText(read, "data_read", form.get());
        QCOMPARE(edit->text(), QStringLiteral("DE AD"));
        QCOMPARE(page.emitted.size(), 1);
    }
};

QTEST_MAIN(TestMemoryForms)
#include "test_memory_forms.moc"
