#pragma once
// Parameter form of the pin states in which the programmer leaves its pins
// ("leave" of every chip driver, "set_io" of the programmer), optionally
// with a reset pulse whose sign is the device's reset polarity. One box per
// pin offers the programmer's pin types; an "All" button per type sets
// every pin at once.

#include "core/TData.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QPushButton;
class TComboBox;
class TWgtEditDecDef;

class TFormDevLeave : public QWidget
{
    Q_OBJECT

public:
    // The reset pulse travels as a signed 16-bit number of milliseconds.
    static constexpr int maxDurationMagnitude = 32767;

    TFormDevLeave(int idCmd, const QString &state, const QStringList &pinNames,
                  const QString &letters, const QStringList &stateNames, bool withReset,
                  bool reset, int duration, bool resetPolarity, int durationMin,
                  int durationMax, int durationDefault, QWidget *parent = nullptr);

    int idCmd() const { return m_idCmd; }
    QString state() const { return m_state; }

signals:
    void signalChangedCmdParam(const TData &data);

public slots:
    void slotChangedState();
    void slotSetStateAll();
    void slotChangedReset();

private:
    int m_idCmd;
    QString m_state;
    bool m_withReset;
    int m_sign;
    QCheckBox *m_reset = nullptr;
    TWgtEditDecDef *m_duration = nullptr;
    QList<TComboBox *> m_pinBoxes;
    QList<QPushButton *> m_allButtons;
};
