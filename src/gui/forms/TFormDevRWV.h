#pragma once
// Parameter forms of the memory commands of every chip driver:
//   TFormDevRWVChar - fill byte over a device window ("char_write", ...)
//   TFormDevRWVData - hex bytes at a device address ("data_read", ...)
//   TFormDevRWVFile - a chip-data file and its windows ("file_write", ...)
// Each is built for a memory range (begin, size) and shows a value the
// command check would refuse in the error or warning colour.

#include "core/TData.h"

#include <QString>
#include <QWidget>

class QLabel;
class TComboBox;
class THexValidator;
class TLineEdit;
class TWgtEditFileName;
class TWgtEditHexDec64;

class TFormDevRWVChar : public QWidget
{
    Q_OBJECT

public:
    TFormDevRWVChar(int idCmd, qint64 addr, qint64 count, uchar fillChar, QWidget *parent = nullptr);

    void setRange(qint64 begin, qint64 size);
    void setDefault(qint64 addr, qint64 count, uchar fillChar);
    int idCmd() const { return m_idCmd; }

signals:
    void signalChangedCmdParam(const TData &data);

public slots:
    void slotChanged();

private:
    void limitCount();

    const int m_idCmd;
    qint64 m_end = 0;
    TWgtEditHexDec64 *m_addr;
    TWgtEditHexDec64 *m_count;
    TWgtEditHexDec64 *m_fill;
};

class TFormDevRWVData : public QWidget
{
    Q_OBJECT

public:
    // The most bytes the data edit takes (twice as many hex digits), or as
    // many as the data the form is given holds, so that data stored is
    // edited in place.
    static constexpr int maxDataBytes = 64;

    TFormDevRWVData(int idCmd, qint64 addr, const QString &data, QWidget *parent = nullptr);

    void setRange(qint64 begin, qint64 size);
    void setDefault(qint64 addr);
    // Shows data that a run stored in the command; emits nothing.
    void setData(const QString &data);
    int idCmd() const { return m_idCmd; }

signals:
    void signalChangedCmdParam(const TData &data);

public slots:
    void slotChanged();
    void slotEditing();
    void editingFinished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateColor();

    const int m_idCmd;
    QString m_data;
    THexValidator *m_hex = nullptr;
    bool m_hasRange = false;
    qint64 m_end = 0;
    TWgtEditHexDec64 *m_addr;
    TLineEdit *m_edit;
    QLabel *m_addrLabel;
    QLabel *m_dataLabel;
};

class TFormDevRWVFile : public QWidget
{
    Q_OBJECT

public:
    TFormDevRWVFile(int idCmd, const QString &format, const QString &file, qint64 addrFile,
                    qint64 addrDevice, qint64 count, QWidget *parent = nullptr);

    void setBasePath(const QString &path);
    void setRange(qint64 begin, qint64 size);
    void setDefault(qint64 addrFile, qint64 addrDevice, qint64 count);
    // The last file address the chosen format can hold.
    qint64 maxFileAddr() const;
    int idCmd() const { return m_idCmd; }

signals:
    void signalChangedCmdParam(const TData &data);

public slots:
    void slotChanged();

private:
    void updateLimits(bool lowerCount);

    const int m_idCmd;
    qint64 m_end = 0;
    TWgtEditFileName *m_file;
    TComboBox *m_format;
    TWgtEditHexDec64 *m_addrFile;
    TWgtEditHexDec64 *m_addrDevice;
    TWgtEditHexDec64 *m_count;
};

// Whether the hex text of a data form holds whole bytes that fit the range
// end from the address: the data form's colour rule, the data check's rule.
bool dataFitsRange(const QString &text, qint64 addr, qint64 end);
