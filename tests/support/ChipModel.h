#pragma once
// A chip in the socket of the fake programmer. The programmer hands it the
// set-up record of every PROG_SETUP request and, once a record arrived, every
// device-level request (codes 1 to 7). Calls come from the programmer's own
// thread while it holds its lock; a test that reads a model's state while
// the programmer runs does so inside FakeProgrammer::locked.

#include "support/ChipReply.h"

class ChipModel
{
public:
    virtual ~ChipModel() = default;

    // A set-up record arrived. A refusal becomes the error reply to it, and
    // device-level requests stay refused until a record is accepted.
    virtual ChipReply setup(const QByteArray &record)
    {
        Q_UNUSED(record)
        return ChipReply::success();
    }

    // A device-level request after an accepted set-up record.
    virtual ChipReply request(quint8 code, const QByteArray &payload) = 0;
};
