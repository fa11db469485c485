#pragma once
// Parameter form of every command whose parameter is a register image
// (status and security registers, fuses, lock bits, calibration byte,
// unique ID), kept as hex text in the command's "data". The driver hands
// it mark-up lines from which it builds nested containers (frames, tabs,
// panels, group boxes, rows) holding items bound to byte masks over the
// image. With the edit flag a hex edit of the whole image and a button
// restoring the default stand above them.
//
// Mark-up: each line is split at "|" into trimmed parts, the token first.
//   frm+ / frm-            frameless scroll area (on the main layout when
//                          nothing is open) / close
//   tabs+ / tabs-          tab widget, always on the main layout / close
//   tab+|title / tab-      a page of the open tab widget / close
//   hor+ / hor-            a row / close
//   pnl+ / pnl-            a sunken box / close
//   grp+|title / grp-      a group box / close
//   lb|text                a label
//   edl|edr|mask|ro|width|label               hex display of the bits
//   ckl|ckr|mask|i|e|colour|label[|tool-tip]  check box over the bits; the
//                          box takes clicks only with "e" ("k": read-only
//                          too, and the 25xx status write keeps the bits as
//                          the chip holds them, TDev25::keptStatusBits)
//   cbh+ cbtl+ cbtc+ cbtr+ cbl+ cbr+|mask|label, cbit|value|text, cb..-
//                                             choice among values
//   btn|value|height|text|tool-tip            writes the value
// A line that does not parse (a mask or value that is not whole bytes of
// hex digits included) ends the mark-up; it is logged as "DevCfg: <line>"
// and what was built before it keeps working.
//
// Every change emits "id_cmd" and "data" (the whole image, upper-case hex).

#include "core/TData.h"

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class IFormDevCfgBase;
class QHBoxLayout;
class QPushButton;
class QTabWidget;
class QVBoxLayout;
class TWgtEditStrHex;

class TFormDevCfg : public QWidget
{
    Q_OBJECT
public:
    TFormDevCfg(int idCmd, const QString &dataHex, const QString &defaultHex,
                const QStringList &markup, bool showEdit, QWidget *parent = nullptr);
    ~TFormDevCfg() override;

    int idCmd() const { return m_idCmd; }
    // Data a run read from the chip. With the hex row it goes through the
    // hex edit; without it the image and items take it. Either way only a
    // change emits.
    void setData(const QString &hexText);

signals:
    void signalChangedCmdParam(const TData &data);

public slots:
    void slotEditChanged(const QString &text);
    void slotChanged(const QByteArray &mask, const QByteArray &value);
    void slotSetDefault();

private:
    bool interpret(const QString &line);
    void addToTop(QWidget *widget);
    QWidget *createScrollPage(int margins);
    void own(QObject *object) { m_owned.append(object); }
    void refreshItems();
    void emitData();

    int m_idCmd;
    bool m_showEdit;
    QByteArray m_data;
    QByteArray m_default;
    TWgtEditStrHex *m_edit = nullptr;
    QPushButton *m_button = nullptr;
    QHBoxLayout *m_editRow = nullptr;
    QVBoxLayout *m_layout = nullptr;
    QList<IFormDevCfgBase *> m_items;
    QList<QPointer<QObject>> m_owned;
    QList<QWidget *> m_containers;
    QList<QTabWidget *> m_tabs;
};

// The push-back of a register a run read: when the form on show is the
// mark-up form built for this command ("id_cmd" of the parameters), it
// takes the command's "data". True when it was that form.
bool pushDevCfgData(QWidget *form, const TData &params);
