#pragma once
// A fault the fake programmer shows on demand in place of a proper reply.
// Build one with the named constructors, narrow it with onCode, after and
// times, and hand it to FakeProgrammer::addFault.

#include <QByteArray>
#include <QtGlobal>

struct FakeFault
{
    enum Kind {
        ErrorReply,     // an error reply with errorCode; the request is not carried out
        Silence,        // no reply at all: the host has to time out
        BadChecksum,    // the proper reply with a wrong checksum byte
        LengthAbove,    // only a header announcing `length` payload bytes
        Noise,          // `bytes` first, then the proper reply
        ShortReply,     // the proper reply without its checksum byte
        RawReply,       // `bytes` as the whole reply; the request is not carried out
        Held,           // the proper reply, sent once the test releases it
    };
    static constexpr int ANY_CODE = -1;
    static constexpr int ALWAYS = -1;

    Kind kind = Silence;
    int code = ANY_CODE;      // request code it applies to
    int count = 1;            // how many replies it spoils; ALWAYS for all
    int skip = 0;             // matching requests answered properly before it applies
    quint16 errorCode = 0;
    quint16 length = 0xFFFF;
    QByteArray bytes;

    static FakeFault errorReply(quint16 errorCode)
    {
        FakeFault f;
        f.kind = ErrorReply;
        f.errorCode = errorCode;
        return f;
    }
    static FakeFault silence() { return make(Silence); }
    static FakeFault badChecksum() { return make(BadChecksum); }
    static FakeFault lengthAbove(quint16 length)
    {
        FakeFault f = make(LengthAbove);
        f.length = length;
        return f;
    }
    static FakeFault noise(const QByteArray &bytes)
    {
        FakeFault f = make(Noise);
        f.bytes = bytes;
        return f;
    }
    static FakeFault shortReply() { return make(ShortReply); }
    // The programmer stands still on the request (FakeProgrammer::waitHeld)
    // until FakeProgrammer::releaseHeld; the host's time-out still runs.
    static FakeFault held() { return make(Held); }
    static FakeFault rawReply(const QByteArray &bytes)
    {
        FakeFault f = make(RawReply);
        f.bytes = bytes;
        return f;
    }

    FakeFault onCode(quint8 c) const
    {
        FakeFault f = *this;
        f.code = c;
        return f;
    }
    // Applies from the (n + 1)-th matching request on: a fault part-way.
    FakeFault after(int n) const
    {
        FakeFault f = *this;
        f.skip = n;
        return f;
    }
    FakeFault times(int n) const
    {
        FakeFault f = *this;
        f.count = n;
        return f;
    }

private:
    static FakeFault make(Kind kind)
    {
        FakeFault f;
        f.kind = kind;
        return f;
    }
};
