#include "link/TProg.h"

#include "core/TSettings.h"
#include "link/TProtocol.h"

#include <QMutexLocker>

#include <algorithm>

namespace {

struct PinType
{
    const char *key;
    char letter;
    const char *name;
};

// In the order in which they are offered; the code of a letter is its
// position here plus one.
const PinType pinTypeTable[] = {
    {"/PinType/I", 'I', "I (input)"},
    {"/PinType/l", 'l', "l (input - pull-down)"},
    {"/PinType/h", 'h', "h (input - pull-up)"},
    {"/PinType/L", 'L', "L (output - low)"},
    {"/PinType/H", 'H', "H (output - high)"},
    {"/PinType/o", 'o', "o (output open drain - low)"},
    {"/PinType/O", 'O', "O (output open drain - high)"},
    {"/PinType/Z", 'Z', "Z (tri-stated)"},
};
const char noChangeLetter = '-';
const char noChangeName[] = "- (not change)";

const char pinsGroup[] = "Pins";
const char generatorGroup[] = "Generator";
const char clockLevelPrefix[] = "CLKLV_";
const char freqLevelPrefix[] = "FQLV_";
const char dutyLevelPrefix[] = "DTLV_";
const QChar pinSeparator = QLatin1Char('|');
const char activePin[] = "1";

QString sectionKey(const QString &section, const char *key)
{
    return QStringLiteral("/%1/%2").arg(section, QLatin1String(key));
}

// Keys of a group whose names start with the prefix, the rest read as a
// decimal number; keys whose rest is not a number are skipped.
QVector<int> levelsOf(TSettings &settings, const QString &group, const QString &prefix)
{
    QVector<int> levels;
    const QStringList keys = settings.groupKeys(group);
    for (const QString &key : keys) {
        if (!key.startsWith(prefix))
            continue;
        bool ok = false;
        const int level = key.mid(prefix.size()).toInt(&ok, 10);
        if (ok)
            levels.append(level);
    }
    return levels;
}

void appendSorted(QVector<int> &levels, const QVector<int> &more)
{
    levels += more;
    std::sort(levels.begin(), levels.end());
}

void readRange(const QString &fileName, const char *group, double &min, double &max)
{
    const TSettings settings(fileName);
    min = settings.readDouble(sectionKey(QLatin1String(group), "MIN"), 0.0);
    max = settings.readDouble(sectionKey(QLatin1String(group), "MAX"), 0.0);
}

double readDefault(const QString &fileName, const char *group)
{
    return TSettings(fileName).readDouble(sectionKey(QLatin1String(group), "DEF"), 0.0);
}

} // namespace

TProg::TProg(const QString &fileName)
    : file(fileName)
{
    TSettings settings(file);
    interfaceNumber = quint16(settings.readInt(QStringLiteral("/Main/Interface"), 0));
    baudRate = settings.readInt(QStringLiteral("/Port/BaudRate"), 115200);
    dataBits = quint8(settings.readInt(QStringLiteral("/Port/DataBits"), 8));
    parity = settings.readString(QStringLiteral("/Port/Parity"), QString());
    stopBits = quint8(settings.readInt(QStringLiteral("/Port/StopBits"), 1));
    flowControl = settings.readString(QStringLiteral("/Port/FlowControl"), QString());
    timeout = quint16(settings.readInt(QStringLiteral("/Port/TimeOut"), TProtocol::DEFAULT_TIMEOUT_MS));
    // Transfers are cut into pieces of this size: a size of 0 (or one that
    // is not a number, or negative) would never end, so it keeps the default.
    const int maxData = settings.readInt(QStringLiteral("/Protocol/MAX_DATA"), TProtocol::DEFAULT_MAX_DATA);
    if (maxData <= 0)
        maxDataSize = TProtocol::DEFAULT_MAX_DATA;
    else
        maxDataSize = quint16(qMin(maxData, TProtocol::MAX_PAYLOAD));

    typeLetters = QString(QLatin1Char(noChangeLetter));
    typeNames = QStringList(QLatin1String(noChangeName));
    for (const PinType &type : pinTypeTable) {
        if (settings.readBool(QLatin1String(type.key), false)) {
            typeLetters.append(QLatin1Char(type.letter));
            typeNames.append(QLatin1String(type.name));
        }
    }

    generatorFreqDefault = settings.readInt(QStringLiteral("/Generator/FQ_DEF"), 100000);
    generatorDutyDefault = settings.readInt(QStringLiteral("/Generator/DT_DEF"), 50);
    resetMin = settings.readInt(QStringLiteral("/Reset/MIN"), 10);
    resetMax = settings.readInt(QStringLiteral("/Reset/MAX"), 1000);
    resetDefaultValue = settings.readInt(QStringLiteral("/Reset/DEF"), -400);

    const QStringList keys = settings.groupKeyPaths(QLatin1String(pinsGroup));
    for (const QString &key : keys) {
        const QStringList parts = settings.readString(key, QString()).split(pinSeparator);
        if (parts.size() == 2 && parts.at(0) == QLatin1String(activePin))
            ++activePinCount;
    }
}

TProg::~TProg() = default;

QString TProg::fileName() const
{
    return file;
}

quint16 TProg::interface() const
{
    QMutexLocker lock(&mutex);
    return interfaceNumber;
}

TPortSettings TProg::portSettings() const
{
    QMutexLocker lock(&mutex);
    TPortSettings s;
    s.portName = portName;
    s.baudRate = baudRate;
    s.dataBits = dataBits;
    s.parity = parity;
    s.stopBits = stopBits;
    s.flowControl = flowControl;
    s.timeout = timeout;
    return s;
}

quint16 TProg::maxData() const
{
    return maxDataSize;
}

QStringList TProg::pinTypes() const
{
    return typeNames;
}

QString TProg::pinTypeLetters() const
{
    return typeLetters;
}

QString TProg::allPinTypeLetters()
{
    QString letters = QString(QLatin1Char(noChangeLetter));
    for (const PinType &type : pinTypeTable)
        letters.append(QLatin1Char(type.letter));
    return letters;
}

int TProg::pinTypeCode(QChar letter)
{
    int code = 1;
    for (const PinType &type : pinTypeTable) {
        if (letter == QLatin1Char(type.letter))
            return code;
        ++code;
    }
    return 0;
}

int TProg::pinCountValue() const
{
    return activePinCount;
}

void TProg::generatorDefaults(int &freq, int &duty) const
{
    freq = generatorFreqDefault;
    duty = generatorDutyDefault;
}

void TProg::resetRange(int &min, int &max) const
{
    min = resetMin;
    max = resetMax;
}

int TProg::resetDefault() const
{
    return resetDefaultValue;
}

void TProg::vccRange(double &min, double &max) const
{
    readRange(file, "Vcc", min, max);
}

double TProg::vccDefault() const
{
    return readDefault(file, "Vcc");
}

void TProg::vppRange(double &min, double &max) const
{
    readRange(file, "Vpp", min, max);
}

double TProg::vppDefault() const
{
    return readDefault(file, "Vpp");
}

void TProg::iccRange(double &min, double &max) const
{
    readRange(file, "Icc", min, max);
}

double TProg::iccDefault() const
{
    return readDefault(file, "Icc");
}

void TProg::ippRange(double &min, double &max) const
{
    readRange(file, "Ipp", min, max);
}

double TProg::ippDefault() const
{
    return readDefault(file, "Ipp");
}

bool TProg::supportsCommand(const QString &code) const
{
    return TSettings(file).readBool(QStringLiteral("/Commands/%1").arg(code), false);
}

int TProg::clockDefault(const QString &section) const
{
    return TSettings(file).readInt(sectionKey(section, "CLK_DEF"), 0);
}

void TProg::clockList(const QString &section, bool &useList, int &min, int &max,
                      QVector<int> &levels) const
{
    TSettings settings(file);
    min = settings.readInt(sectionKey(section, "CLK_MIN"), 0);
    max = settings.readInt(sectionKey(section, "CLK_MAX"), 0);
    useList = settings.readBool(sectionKey(section, "CLK_LIST"), false);
    appendSorted(levels, levelsOf(settings, section, QLatin1String(clockLevelPrefix)));
}

int TProg::clockLevel(const QString &section, int freq) const
{
    const TSettings settings(file);
    if (!settings.readBool(sectionKey(section, "CLK_LIST"), false))
        return freq;
    // One pass over the pattern: a "%" in the section name stays as it is.
    return settings.readInt(
        QStringLiteral("/%1/%2").arg(section, QLatin1String(clockLevelPrefix) + QString::number(freq)), freq);
}

void TProg::generatorLists(bool &freqList, int &freqMin, int &freqMax, QVector<int> &freqLevels,
                           bool &dutyShown, bool &dutyList, int &dutyMin, int &dutyMax,
                           QVector<int> &dutyLevels) const
{
    TSettings settings(file);
    const QString group = QLatin1String(generatorGroup);
    freqMin = settings.readInt(sectionKey(group, "FQ_MIN"), 0);
    freqMax = settings.readInt(sectionKey(group, "FQ_MAX"), 0);
    freqList = settings.readBool(sectionKey(group, "FQ_LIST"), false);
    dutyShown = settings.readBool(sectionKey(group, "DT_SHOW"), false);
    dutyMin = settings.readInt(sectionKey(group, "DT_MIN"), 0);
    dutyMax = settings.readInt(sectionKey(group, "DT_MAX"), 0);
    dutyList = settings.readBool(sectionKey(group, "DT_LIST"), false);
    appendSorted(freqLevels, levelsOf(settings, group, QLatin1String(freqLevelPrefix)));
    appendSorted(dutyLevels, levelsOf(settings, group, QLatin1String(dutyLevelPrefix)));
}

QStringList TProg::pinsDescription(const QString &section, bool activeOnly) const
{
    const QLatin1String plus("+"), star("*"), hash("#");
    TSettings settings(file);
    QStringList lines;
    const QStringList keys = settings.groupKeyPaths(QLatin1String(pinsGroup));
    for (const QString &key : keys) {
        const QStringList parts = settings.readString(key, QString()).split(pinSeparator);
        if (parts.size() != 2)
            continue;
        if (activeOnly && parts.at(0) != QLatin1String(activePin))
            continue;
        QString name = parts.at(1);
        QString connection = settings.readString(QStringLiteral("/%1/PIN_%2").arg(section, name), QString());

        const bool bold = name.contains(plus) || connection.contains(plus);
        const bool blue = name.contains(star) || connection.contains(star);
        const bool overline = connection.contains(hash);
        for (QString *text : {&name, &connection}) {
            text->remove(star);
            text->remove(plus);
            text->remove(hash);
        }
        const QString boldOpen = bold ? QStringLiteral("<b>") : QString();
        const QString boldClose = bold ? QStringLiteral("</b>") : QString();
        const QString blueOpen = blue ? QStringLiteral("<font color=blue>") : QString();
        const QString blueClose = blue ? QStringLiteral("</font>") : QString();
        const QString overOpen = overline ? QStringLiteral("<span style=\"text-decoration: overline\">")
                                          : QString();
        const QString overClose = overline ? QStringLiteral("</span>") : QString();

        if (connection.isEmpty()) {
            lines.append(QStringLiteral("%2%1%3").arg(name, boldOpen, boldClose));
        } else if (activeOnly) {
            lines.append(QStringLiteral("%7%5%3%2%4 - %1%6%8")
                             .arg(name, connection, overOpen, overClose, boldOpen, boldClose,
                                  blueOpen, blueClose));
        } else {
            lines.append(QStringLiteral("%7%5%1 - %3%2%4%6%8")
                             .arg(name, connection, overOpen, overClose, boldOpen, boldClose,
                                  blueOpen, blueClose));
        }
    }
    return lines;
}
