#pragma once
// Parameter forms of the tool commands: counter, delay, execute, jump,
// pause, stop, process, programmer choice and CRC.

#include "core/TData.h"

#include <QVector>
#include <QWidget>

class QCheckBox;
class TComboBox;
class TWgtEditDecDef;
class TWgtEditFileName;
class TWgtEditHexDec;
class TWgtEditHexDec64;
class TWgtLabelComboBox;

class TFormToolsCounter : public QWidget
{
    Q_OBJECT
public:
    TFormToolsCounter(int idCmd, int value, int limit, int delta, QWidget *parent = nullptr);
    void setValue(int value);
    int idCmd() const { return m_idCmd; }
signals:
    void signalChangedCmdParam(const TData &data);
public slots:
    void slotChanged();
    void slotLimitChanged();
    void slotDeltaChanged();
private:
    int m_idCmd, m_limit, m_delta;
    TWgtEditDecDef *m_value, *m_limitEdit, *m_deltaEdit;
};

class TFormToolsDelay : public QWidget
{
    Q_OBJECT
public:
    TFormToolsDelay(int idCmd, int value, int defaultValue, QWidget *parent = nullptr);
signals:
    void signalChangedCmdParam(const TData &data);
public slots:
    void slotChanged();
private:
    int m_idCmd;
    TWgtEditDecDef *m_value;
};

class TFormToolsExecute : public QWidget
{
    Q_OBJECT
public:
    explicit TFormToolsExecute(const TData &command, QWidget *parent = nullptr);
signals:
    void signalChangedCmdParam(const TData &data);
public slots:
    void slotChanged();
private:
    int m_idCmd;
    TComboBox *m_cfg;
};

class TFormToolsJamp : public QWidget
{
    Q_OBJECT
public:
    TFormToolsJamp(int idCmd, int toCmd, QWidget *parent = nullptr);
signals:
    void signalChangedCmdParam(const TData &data);
public slots:
    void slotChangedCfg();
    void slotChangedCmd();
private:
    void fillConfigs();
    void fillCommands();
    int m_idCmd, m_cfgShown, m_target;
    QVector<int> m_cfgIds, m_cmdIds;
    TComboBox *m_cfgBox, *m_cmdBox;
};

class TFormToolsPause : public QWidget
{
    Q_OBJECT
public:
    explicit TFormToolsPause(QWidget *parent = nullptr) : QWidget(parent) {}
signals:
    void signalChangedCmdParam(const TData &data);
};

class TFormToolsStop : public QWidget
{
    Q_OBJECT
public:
    explicit TFormToolsStop(QWidget *parent = nullptr) : QWidget(parent) {}
signals:
    void signalChangedCmdParam(const TData &data);
};

class TFormToolsProcess : public QWidget
{
    Q_OBJECT
public:
    TFormToolsProcess(int idCmd, const QString &basePath, const QString &fileName,
                      QWidget *parent = nullptr);
signals:
    void signalChangedCmdParam(const TData &data);
public slots:
    void slotChanged(const QString &file);
private:
    int m_idCmd;
    TWgtEditFileName *m_file;
};

// The programmer of "set_prog" and, optionally, another port for it. The
// stored port choice is emitted unchanged until the user changes it; while
// no programmer is current (the stored one is disabled or gone) "prog" is
// left out, so the stored name stays.
class TFormToolsSetProg : public QWidget
{
    Q_OBJECT
public:
    explicit TFormToolsSetProg(const TData &command, QWidget *parent = nullptr);
signals:
    void signalChangedCmdParam(const TData &data);
public slots:
    void slotChanged();
private:
    int m_idCmd;
    bool m_altEnabled;
    QString m_altPort;
    bool m_portTouched = false;
    TComboBox *m_prog;
    QCheckBox *m_alt;
    TComboBox *m_port;
};

// The CRC of a data file's range. An algorithm that is not enabled or a
// format that is not offered shows no current item and is left out of the
// records, so the stored key stays.
class TFormToolsCalcCRC : public QWidget
{
    Q_OBJECT
public:
    TFormToolsCalcCRC(int idCmd, const QStringList &crcNames, const QString &crcName,
                      const QString &format, const QString &file, qint64 addr, qint64 count,
                      quint8 fill, QWidget *parent = nullptr);
    void setDefault(qint64 addrDefault, qint64 countDefault, quint8 fillDefault);
    // The folder the run resolves a relative data file against (the
    // project's); a file chosen inside it is entered relative to it.
    void setBasePath(const QString &path);
signals:
    void signalChangedCmdParam(const TData &data);
public slots:
    void slotChanged();
private:
    qint64 maxFileAddr() const;
    int m_idCmd;
    TWgtLabelComboBox *m_crc;
    TWgtEditFileName *m_file;
    TComboBox *m_format;
    TWgtEditHexDec64 *m_addr, *m_count;
    TWgtEditHexDec *m_fill;
};
