#pragma once
// The programmer's wire protocol in one place: the frame layout, its limits
// and the request codes of the programmer itself. Device-level codes (1 to 7)
// mean what the set-up record last sent with PROG_SETUP says; the drivers
// name them.

#include <QByteArray>
#include <QtGlobal>

class TProtocol
{
public:
    // Frame: start, code (request) or status (reply), 16-bit little-endian
    // payload length, payload, checksum. The checksum makes the 8-bit sum of
    // all bytes of the frame zero.
    static constexpr quint8 FRAME_START = 0xC0;
    static constexpr quint8 STATUS_ERROR = 0xFF;   // reply status of an error reply
    static constexpr int HEADER_SIZE = 4;          // start, code, length low, length high
    static constexpr int FRAME_OVERHEAD = HEADER_SIZE + 1;
    static constexpr int MAX_PAYLOAD = 0xFFFF;     // width of the length field
    static constexpr int ERROR_CODE_SIZE = 2;      // error code at the start of an error payload

    // Link defaults until a programmer description sets them.
    static constexpr int DEFAULT_TIMEOUT_MS = 1000;
    static constexpr quint16 DEFAULT_MAX_DATA = 64;

    // Error codes 0..ERROR_CODE_LAST have texts of their own.
    static constexpr quint16 ERROR_CODE_LAST = 11;

    // Requests of the programmer itself.
    enum ProgCode : quint8 {
        PROG_INTERFACE = 0x80,  // reply: 16-bit interface code
        PROG_IDENT = 0x81,      // reply: identification text (UTF-8)
        PROG_STATUS = 0x83,     // 1 byte: run state
        PROG_SETUP = 0x84,      // device set-up record
        PROG_FINISH = 0x85,     // end of run, empty
        PROG_RESET = 0x86,      // 16-bit signed pulse length, ms
        PROG_GENERATOR = 0x87,  // 32-bit frequency, 16-bit duty in 0.1 %
        PROG_PINS = 0x88,       // 16-bit reset length, then one code per pin
        PROG_VCC = 0x89,        // 1 byte, 0.1 V
        PROG_VPP = 0x8A,        // 1 byte, 0.1 V
        PROG_VICC = 0x8B,       // 0.1 V byte, 32-bit current in uA, protection byte
        PROG_VIPP = 0x8C,       // 0.1 V byte, 16-bit current in uA, protection byte
    };

    // Device-level requests lie in this range.
    static constexpr quint8 DEVICE_CODE_FIRST = 1;
    static constexpr quint8 DEVICE_CODE_LAST = 7;

    // The checksum byte for the given bytes.
    static quint8 checksum(const char *data, int size);
    static quint8 checksum(const QByteArray &bytes) { return checksum(bytes.constData(), bytes.size()); }

    // A whole frame with the code (or reply status) and the payload. The
    // payload must not exceed MAX_PAYLOAD bytes; longer payloads are cut.
    static QByteArray frame(quint8 code, const QByteArray &payload);
};
