#pragma once
// The only road to the programmer: one serial port and one synchronous
// request-and-reply operation, transaction(). It frames a request, sends it,
// reads the reply frame byte by byte under a per-byte time-out, checks it and
// hands back its payload. Used only by the thread that created it.
//
// Failures: a link failure (nothing written in time, no reply byte in time,
// a reply longer than maxData, a wrong checksum) sets isFailed(); an error
// reply of the programmer leaves it clear, since the programmer is still
// reachable. Either way errorString() tells what happened.

#include <QByteArray>
#include <QIODevice>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>

struct TPortSettings;

class TSerialPort : public QObject
{
    Q_OBJECT
public:
    // Language-table messages of the link.
    static constexpr int MSG_LINK_FAILED = 389;
    static constexpr int MSG_NOT_OPEN = 392;
    static constexpr int MSG_NO_SUCH_PORT = 393;
    static constexpr int MSG_PROG_ERROR_FIRST = 406;   // error code 0; codes up to 11 follow
    static constexpr int MSG_PORT_IN_USE = 478;            // by a link that names nobody
    static constexpr int MSG_PORT_IN_USE_BY = 479;         // %1 who holds the port
    static constexpr int MSG_PORT_IN_USE_ELSEWHERE = 480;  // by another program

    TSerialPort();
    ~TSerialPort() override;

    // Sends `payload` with `code`; on success replaces it with the reply's
    // payload. On failure `payload` stays as it was.
    bool transaction(quint8 code, QByteArray &payload);
    bool isFailed() const;
    QString errorString() const;

    // Text of an error reply with this payload (the code in its first two
    // bytes, little-endian).
    static QString programmerErrorText(const QByteArray &payload);

    // A port that another link of this program holds open is refused before
    // anything reaches it: errorString() then names the holder. A port that
    // another program holds says so too, instead of the platform's text.
    bool openPort(const QString &name, QIODevice::OpenMode mode);
    bool open(QIODevice::OpenMode mode);
    void close();
    // Who uses this link, as the other links that find the port taken name
    // it (for example the configuration of a run); empty: nobody in
    // particular.
    void setHolder(const QString &holder);
    QString holder() const;
    // The holder of the port among the open links of this program, for a
    // port name as openPort() takes it; a null string when none holds it.
    static QString holderOf(const QString &name);
    bool isOpen() const;
    void setPortName(const QString &name);
    QString portName() const;
    bool clear(bool input, bool output);
    bool setRequestToSend(bool set);
    bool isRequestToSend();
    bool setDataTerminalReady(bool set);
    bool isDataTerminalReady();

    // Line settings. Position setters take a position in the option lists
    // below; a position outside its list returns false and changes nothing,
    // and so does a name that is not in its list.
    bool setBaudRate(qint32 rate);
    qint32 baudRate() const;
    bool setDataBits(quint8 position);
    QSerialPort::DataBits dataBits() const;
    bool setParity(QSerialPort::Parity parity);
    bool setParity(quint8 position);
    bool setParityByName(const QString &name);
    QSerialPort::Parity parity() const;
    bool setStopBits(QSerialPort::StopBits stopBits);
    bool setStopBits(quint8 position);
    bool setStopBitsByName(const QString &name);
    QSerialPort::StopBits stopBits() const;
    bool setFlowControl(QSerialPort::FlowControl flow);
    bool setFlowControl(quint8 position);
    bool setFlowControlByName(const QString &name);
    QSerialPort::FlowControl flowControl() const;
    bool setTimeout(qint32 ms);
    qint32 timeout() const;
    void setMaxData(quint16 size);
    quint16 maxData() const;

    // The line settings of a programmer description, which gives data bits
    // and stop bits as counts (8, 1) and parity and flow control by name
    // (empty: none), plus its time-out. True when every setting was taken.
    bool applyPortSettings(const TPortSettings &settings);

    static QStringList baudRateList();
    static QStringList dataBitsList();
    static QStringList parityList();
    static QStringList stopBitsList();
    static QStringList flowControlList();

    // One entry per serial port of the platform, as portEntry() builds it.
    static QStringList availablePorts();
    // Tests put their own list in place of the platform's (null restores).
    static void setPortLister(QStringList (*lister)());
    static QString portEntry(const QString &name, const QString &manufacturer,
                             const QString &description);
    // The port name inside such an entry.
    static QString portNameOf(const QString &entry);

private:
    bool linkFailure();
    bool writeRequest(const QByteArray &frame);
    bool readByte(char *byte);
    bool readReply(QByteArray *frame);
    bool claim(const QString &key);
    void release();

    QSerialPort *port;
    qint32 timeoutMs;
    quint16 maxDataSize;
    bool failed = false;
    QString errorText;
    QString holderText;
    QString claimedKey;    // the port this link holds open, in the program's table
};
