#include "link/TSerialPort.h"

#include "core/TLang.h"
#include "link/TPortSettings.h"
#include "link/TProtocol.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>
#include <QtEndian>

#include <iterator>
#include <mutex>

namespace {

// Positions of the option lists and what they select.
const QSerialPort::Parity parities[] = {QSerialPort::NoParity, QSerialPort::OddParity,
                                        QSerialPort::EvenParity, QSerialPort::MarkParity,
                                        QSerialPort::SpaceParity};
const QSerialPort::StopBits stopBitSettings[] = {QSerialPort::OneStop, QSerialPort::OneAndHalfStop,
                                                 QSerialPort::TwoStop};
const QSerialPort::FlowControl flowControls[] = {QSerialPort::NoFlowControl,
                                                 QSerialPort::HardwareControl,
                                                 QSerialPort::SoftwareControl};
// Names that select a flow control ("Custom" is listed but selects none).
const int namedFlowControls = 3;

// The ports that links of this program hold open: the port's key, the link
// and its holder's description. Links of several threads open and close.
struct Claim
{
    const TSerialPort *link = nullptr;
    QString holder;
};
std::mutex claimsMutex;
QHash<QString, Claim> &claims()
{
    static QHash<QString, Claim> table;
    return table;
}

// One key per device, however it is named: the platform's device path
// ("ttyUSB0" and "/dev/ttyUSB0", a link to it too), or the upper-case
// Windows name without its "\\.\" prefix.
QString portKey(const QString &name)
{
#ifdef Q_OS_WIN
    QString n = name;
    if (n.startsWith(QLatin1String("\\\\.\\")))
        n = n.mid(4);
    return n.toUpper();
#else
    const QString path = name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
#endif
}

} // namespace

TSerialPort::TSerialPort()
    : port(new QSerialPort(this)),
      timeoutMs(TProtocol::DEFAULT_TIMEOUT_MS),
      maxDataSize(TProtocol::DEFAULT_MAX_DATA)
{
}

TSerialPort::~TSerialPort()
{
    release();
    delete port;
}

bool TSerialPort::transaction(quint8 code, QByteArray &payload)
{
    errorText.clear();
    failed = false;
    if (payload.size() > TProtocol::MAX_PAYLOAD) {
        // The length field cannot carry it; nothing is sent.
        errorText = QStringLiteral("Request of %1 bytes refused: a request carries at most %2 bytes")
                        .arg(payload.size())
                        .arg(TProtocol::MAX_PAYLOAD);
        return false;
    }
    if (!port->isOpen())
        return linkFailure();
    port->clear(QSerialPort::AllDirections);
    if (!writeRequest(TProtocol::frame(code, payload)))
        return linkFailure();

    QByteArray reply;
    if (!readReply(&reply))
        return linkFailure();
    const int last = reply.size() - 1;
    if (TProtocol::checksum(reply.constData(), last) != quint8(reply.at(last)))
        return linkFailure();

    const QByteArray data = reply.mid(TProtocol::HEADER_SIZE, last - TProtocol::HEADER_SIZE);
    if (quint8(reply.at(1)) == TProtocol::STATUS_ERROR) {
        errorText = programmerErrorText(data);
        return false;
    }
    payload = data;
    return true;
}

bool TSerialPort::isFailed() const
{
    return failed;
}

QString TSerialPort::errorString() const
{
    const QString text = errorText.isEmpty() ? port->errorString() : errorText;
    if (text == QLatin1String("No such file or directory"))
        return lang.text(MSG_NO_SUCH_PORT);
    return text;
}

QString TSerialPort::programmerErrorText(const QByteArray &payload)
{
    if (payload.size() < TProtocol::ERROR_CODE_SIZE) {
        return QStringLiteral("Programmer error reply without a complete error code (%1)")
            .arg(payload.isEmpty() ? QStringLiteral("no bytes")
                                   : QString::fromLatin1(payload.toHex(' ').toUpper()));
    }
    const quint16 code = qFromLittleEndian<quint16>(payload.constData());
    if (code <= TProtocol::ERROR_CODE_LAST)
        return lang.text(MSG_PROG_ERROR_FIRST + code);
    return QStringLiteral("Programmer error %1").arg(code);
}

bool TSerialPort::linkFailure()
{
    failed = true;
    errorText = lang.text(MSG_LINK_FAILED);
    return false;
}

bool TSerialPort::writeRequest(const QByteArray &frame)
{
    if (port->write(frame) != frame.size())
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    while (port->bytesToWrite() > 0) {
        if (!port->waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    }
    return true;
}

// One byte, waiting up to the time-out when none is buffered.
bool TSerialPort::readByte(char *byte)
{
    if (port->bytesAvailable() == 0 && !port->waitForReadyRead(timeoutMs))
        return false;
    return port->getChar(byte);
}

// The reply frame from its start byte to its checksum. Whatever precedes the
// start byte is noise; from there on every byte belongs to the frame. Bytes
// that are buffered are taken in one go, never past the frame's end. Noise
// is skipped for one time-out at most, so a line that chatters without ever
// sending a start byte fails like a silent one instead of holding the run.
bool TSerialPort::readReply(QByteArray *frame)
{
    const QDeadlineTimer noiseDeadline(timeoutMs);
    char c = 0;
    for (;;) {
        if (!readByte(&c))
            return false;
        if (quint8(c) == TProtocol::FRAME_START)
            break;
        if (noiseDeadline.hasExpired())
            return false;
    }

    frame->clear();
    frame->append(c);
    int size = TProtocol::HEADER_SIZE;   // grows to the whole frame once the length is known
    bool lengthKnown = false;
    while (frame->size() < size) {
        if (port->bytesAvailable() == 0 && !port->waitForReadyRead(timeoutMs))
            return false;
        frame->append(port->read(size - frame->size()));
        if (!lengthKnown && frame->size() >= TProtocol::HEADER_SIZE) {
            const quint16 length = qFromLittleEndian<quint16>(frame->constData() + 2);
            if (length > maxDataSize)
                return false;
            lengthKnown = true;
            size = TProtocol::HEADER_SIZE + length + 1;
        }
    }
    return true;
}

// An open starts afresh: after a failed one, errorString() gives the port's
// own reason, not the text of an earlier transaction.
bool TSerialPort::openPort(const QString &name, QIODevice::OpenMode mode)
{
    port->setPortName(name);
    return open(mode);
}

bool TSerialPort::open(QIODevice::OpenMode mode)
{
    errorText.clear();
    if (port->isOpen())
        return port->open(mode);   // Qt refuses a second open and says so
    const QString key = portKey(port->portName());
    if (!claim(key))
        return false;
    if (port->open(mode))
        return true;
    release();
    // The platform reports a port that another program holds (its lock, or
    // an exclusive open) as a permission error; where the device is open to
    // us, that is what it means.
    if (port->error() == QSerialPort::PermissionError) {
#ifdef Q_OS_WIN
        const bool held = true;
#else
        const QFileInfo device(key);
        const bool held = device.isReadable() && device.isWritable();
#endif
        if (held)
            errorText = lang.text(MSG_PORT_IN_USE_ELSEWHERE);
    }
    return false;
}

void TSerialPort::close()
{
    port->close();
    release();
}

void TSerialPort::setHolder(const QString &holder)
{
    holderText = holder;
    const std::lock_guard<std::mutex> lock(claimsMutex);
    auto it = claims().find(claimedKey);
    if (!claimedKey.isEmpty() && it != claims().end() && it->link == this)
        it->holder = holder;
}

QString TSerialPort::holder() const
{
    return holderText;
}

QString TSerialPort::holderOf(const QString &name)
{
    const std::lock_guard<std::mutex> lock(claimsMutex);
    const auto it = claims().constFind(portKey(name));
    if (it == claims().cend())
        return QString();
    return it->holder.isNull() ? QString(QLatin1String("")) : it->holder;
}

// Takes the port for this link; false, with the holder named, when another
// link of the program has it.
bool TSerialPort::claim(const QString &key)
{
    const std::lock_guard<std::mutex> lock(claimsMutex);
    const auto it = claims().constFind(key);
    if (it != claims().cend() && it->link != this) {
        errorText = it->holder.isEmpty() ? lang.text(MSG_PORT_IN_USE)
                                         : lang.text(MSG_PORT_IN_USE_BY).arg(it->holder);
        return false;
    }
    claims().insert(key, {this, holderText});
    claimedKey = key;
    return true;
}

void TSerialPort::release()
{
    if (claimedKey.isEmpty())
        return;
    const std::lock_guard<std::mutex> lock(claimsMutex);
    const auto it = claims().find(claimedKey);
    if (it != claims().end() && it->link == this)
        claims().erase(it);
    claimedKey.clear();
}

bool TSerialPort::isOpen() const
{
    return port->isOpen();
}

void TSerialPort::setPortName(const QString &name)
{
    port->setPortName(name);
}

QString TSerialPort::portName() const
{
    return port->portName();
}

bool TSerialPort::clear(bool input, bool output)
{
    QSerialPort::Directions directions;
    if (input)
        directions |= QSerialPort::Input;
    if (output)
        directions |= QSerialPort::Output;
    if (!directions)
        return true;
    return port->clear(directions);
}

bool TSerialPort::setRequestToSend(bool set)
{
    return port->setRequestToSend(set);
}

bool TSerialPort::isRequestToSend()
{
    return port->isRequestToSend();
}

bool TSerialPort::setDataTerminalReady(bool set)
{
    port->setDataTerminalReady(set);
    return true;
}

bool TSerialPort::isDataTerminalReady()
{
    return port->isDataTerminalReady();
}

bool TSerialPort::setBaudRate(qint32 rate)
{
    return port->setBaudRate(rate, QSerialPort::AllDirections);
}

qint32 TSerialPort::baudRate() const
{
    return port->baudRate();
}

bool TSerialPort::setDataBits(quint8 position)
{
    if (position >= dataBitsList().size())
        return false;
    return port->setDataBits(QSerialPort::DataBits(QSerialPort::Data5 + position));
}

QSerialPort::DataBits TSerialPort::dataBits() const
{
    return port->dataBits();
}

bool TSerialPort::setParity(QSerialPort::Parity parity)
{
    if (parity == QSerialPort::UnknownParity)
        return false;
    return port->setParity(parity);
}

bool TSerialPort::setParity(quint8 position)
{
    if (position >= std::size(parities))
        return false;
    return setParity(parities[position]);
}

bool TSerialPort::setParityByName(const QString &name)
{
    const int position = parityList().indexOf(name);
    return position >= 0 && setParity(quint8(position));
}

QSerialPort::Parity TSerialPort::parity() const
{
    return port->parity();
}

bool TSerialPort::setStopBits(QSerialPort::StopBits stopBits)
{
    if (stopBits == QSerialPort::UnknownStopBits)
        return false;
    return port->setStopBits(stopBits);
}

bool TSerialPort::setStopBits(quint8 position)
{
    if (position >= std::size(stopBitSettings))
        return false;
    return setStopBits(stopBitSettings[position]);
}

bool TSerialPort::setStopBitsByName(const QString &name)
{
    const int position = stopBitsList().indexOf(name);
    return position >= 0 && setStopBits(quint8(position));
}

QSerialPort::StopBits TSerialPort::stopBits() const
{
    return port->stopBits();
}

bool TSerialPort::setFlowControl(QSerialPort::FlowControl flow)
{
    if (flow == QSerialPort::UnknownFlowControl)
        return false;
    return port->setFlowControl(flow);
}

bool TSerialPort::setFlowControl(quint8 position)
{
    if (position >= std::size(flowControls))
        return false;
    return setFlowControl(flowControls[position]);
}

bool TSerialPort::setFlowControlByName(const QString &name)
{
    const int position = flowControlList().indexOf(name);
    return position >= 0 && position < namedFlowControls && setFlowControl(quint8(position));
}

QSerialPort::FlowControl TSerialPort::flowControl() const
{
    return port->flowControl();
}

bool TSerialPort::setTimeout(qint32 ms)
{
    timeoutMs = ms;
    return true;
}

qint32 TSerialPort::timeout() const
{
    return timeoutMs;
}

void TSerialPort::setMaxData(quint16 size)
{
    maxDataSize = size;
}

quint16 TSerialPort::maxData() const
{
    return maxDataSize;
}

bool TSerialPort::applyPortSettings(const TPortSettings &settings)
{
    const QString none = QStringLiteral("None");
    bool ok = setBaudRate(settings.baudRate);
    // Counts, not list positions: 5..8 data bits, 1 or 2 stop bits.
    const int dataPosition = int(settings.dataBits) - 5;
    ok = dataPosition >= 0 && setDataBits(quint8(dataPosition)) && ok;
    ok = setParityByName(settings.parity.isEmpty() ? none : settings.parity) && ok;
    if (settings.stopBits == 1)
        ok = setStopBits(QSerialPort::OneStop) && ok;
    else if (settings.stopBits == 2)
        ok = setStopBits(QSerialPort::TwoStop) && ok;
    else
        ok = false;
    ok = setFlowControlByName(settings.flowControl.isEmpty() ? none : settings.flowControl) && ok;
    setTimeout(settings.timeout);
    return ok;
}

QStringList TSerialPort::baudRateList()
{
    return {QStringLiteral("110"),    QStringLiteral("300"),    QStringLiteral("600"),
            QStringLiteral("1200"),   QStringLiteral("2400"),   QStringLiteral("4800"),
            QStringLiteral("9600"),   QStringLiteral("14400"),  QStringLiteral("19200"),
            QStringLiteral("38400"),  QStringLiteral("56000"),  QStringLiteral("57600"),
            QStringLiteral("115200"), QStringLiteral("230400"), QStringLiteral("460800"),
            QStringLiteral("921600")};
}

QStringList TSerialPort::dataBitsList()
{
    return {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")};
}

QStringList TSerialPort::parityList()
{
    return {QStringLiteral("None"), QStringLiteral("Odd"), QStringLiteral("Even"),
            QStringLiteral("Mark"), QStringLiteral("Space")};
}

QStringList TSerialPort::stopBitsList()
{
    return {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")};
}

QStringList TSerialPort::flowControlList()
{
    return {QStringLiteral("None"), QStringLiteral("Hardware"), QStringLiteral("Software"),
            QStringLiteral("Custom")};
}

namespace {
QStringList (*portLister)() = nullptr;
}

void TSerialPort::setPortLister(QStringList (*lister)())
{
    portLister = lister;
}

QStringList TSerialPort::availablePorts()
{
    if (portLister)
        return portLister();
    QStringList entries;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        entries.append(portEntry(info.portName(), info.manufacturer(), info.description()));
    return entries;
}

QString TSerialPort::portEntry(const QString &name, const QString &manufacturer,
                               const QString &description)
{
    if (description.isEmpty())
        return name;
    if (manufacturer.isEmpty())
        return QStringLiteral("%1 (%2)").arg(name, description);
    return QStringLiteral("%1 (%2 %3)").arg(name, manufacturer, description);
}

QString TSerialPort::portNameOf(const QString &entry)
{
    const int bracket = entry.indexOf(QLatin1Char('('), 1);
    if (bracket < 1)
        return entry;
    return entry.left(bracket - 1);
}
