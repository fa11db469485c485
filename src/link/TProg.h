#pragma once
// One programmer description file: how to talk to a type of programmer
// (line settings, largest frame payload, interface number) and what it can do
// (supply ranges, clocks per chip interface, generator, reset pulse, pin
// types, pins, commands).
//
// The line settings, payload limit, pin types, pin count and the generator
// and reset defaults are read once by the constructor. Every other accessor
// reads the file again on each call, so an edit of the file shows without a
// new object. Shared between the GUI thread and the workers: the fields are
// written only by the constructor, and each reading accessor uses a settings
// object of its own.

#include "link/TPortSettings.h"

#include <QObject>
#include <QRecursiveMutex>
#include <QString>
#include <QStringList>
#include <QVector>

class TProg : public QObject
{
public:
    explicit TProg(const QString &fileName);
    ~TProg() override;

    QString fileName() const;

    // 0 accepts any programmer.
    quint16 interface() const;
    // The port name is always empty: it comes from the programmer name.
    TPortSettings portSettings() const;
    // Largest payload of one frame, at least 1.
    quint16 maxData() const;

    // Pin types: position 0 is "-" (leave the pin as it is), then the
    // enabled types; letter i of pinTypeLetters() is entry i of pinTypes().
    QStringList pinTypes() const;
    QString pinTypeLetters() const;
    static int pinTypeCode(QChar letter);
    // Every pin-state letter any programmer may take, "-" (no change) first.
    static QString allPinTypeLetters();
    int pinCountValue() const;

    void generatorDefaults(int &freq, int &duty) const;
    void resetRange(int &min, int &max) const;
    int resetDefault() const;

    void vccRange(double &min, double &max) const;
    double vccDefault() const;
    void vppRange(double &min, double &max) const;
    double vppDefault() const;
    void iccRange(double &min, double &max) const;
    double iccDefault() const;
    void ippRange(double &min, double &max) const;
    double ippDefault() const;

    bool supportsCommand(const QString &code) const;

    // Clocks of a chip interface section: a free choice between min and max,
    // or, with the list flag, a choice among the levels ("CLKLV_<Hz>" keys).
    // The levels are appended to `levels`, which is then sorted.
    int clockDefault(const QString &section) const;
    void clockList(const QString &section, bool &useList, int &min, int &max,
                   QVector<int> &levels) const;
    // The value sent for a chosen clock: with the list flag the value stored
    // under its "CLKLV_" key (default the clock), else the clock itself.
    int clockLevel(const QString &section, int freq) const;

    void generatorLists(bool &freqList, int &freqMin, int &freqMax, QVector<int> &freqLevels,
                        bool &dutyShown, bool &dutyList, int &dutyMin, int &dutyMax,
                        QVector<int> &dutyLevels) const;

    // One rich-text line per pin, in pin order: the pin's name and what the
    // section connects to it; "+" marks bold, "*" blue, "#" (connection
    // only) overlined.
    QStringList pinsDescription(const QString &section, bool activeOnly) const;

private:
    mutable QRecursiveMutex mutex;
    QString file;
    quint16 interfaceNumber = 0;
    QString portName;
    qint32 baudRate = 115200;
    quint8 dataBits = 8;
    QString parity;
    quint8 stopBits = 1;
    QString flowControl;
    quint16 timeout = 1000;
    quint16 maxDataSize = 64;
    QString typeLetters;
    QStringList typeNames;
    qint32 generatorFreqDefault = 100000;
    qint32 generatorDutyDefault = 50;
    qint32 activePinCount = 0;
    qint32 resetDefaultValue = -400;
    qint32 resetMin = 10;
    qint32 resetMax = 1000;
};
