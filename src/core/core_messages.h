#pragma once
// Numbers of the messages of the core services.

// Where a JSON text is not valid: "line %1, column %2: %3" with what the
// reader expected there.
constexpr int MSG_JSON_AT = 547;
// What the reader expected, one message per kind of JSON error, in the
// order of QJsonParseError's codes from UnterminatedObject to GarbageAtEnd
// (14 messages).
constexpr int MSG_JSON_EXPECTED = 548;
// A file that must hold a JSON text is empty.
constexpr int MSG_JSON_EMPTY = 562;
// A save that waited for another save of its file (another instance's) as
// long as it may, and gave up.
constexpr int MSG_SAVE_BUSY = 565;
