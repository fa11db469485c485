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
// A save whose target's folder (%1) is not there, or takes no new files.
constexpr int MSG_SAVE_NO_FOLDER = 588;
constexpr int MSG_SAVE_FOLDER_LOCKED = 589;
// A save that can take neither the lock of its target's folder (%1, which
// cannot be read: %2) nor the target's lock file (%3, which cannot be made
// or opened: %4).
constexpr int MSG_SAVE_NO_LOCK = 598;
// A JSON text that is not of its reader's shape: "%1: %2 where %3 is
// expected", with the place (the places within places, joined by ", "),
// what stands there and what was expected (TJsonShape).
constexpr int MSG_JSON_SHAPE = 567;
// The kinds of value a shape expects, in the order of TJsonShape::Kind
// (object, array, text, whole number; a flag has MSG_JSON_FLAG); the first
// three tell found values too.
constexpr int MSG_JSON_KIND = 568;
// A number found: "the number %1".
constexpr int MSG_JSON_NUMBER = 572;
// A member that is not there.
constexpr int MSG_JSON_NOTHING = 573;
// Places: the document's top level, a member ("key \"%1\""), and an element
// of a list of entries ("entry %1", counted from 1).
constexpr int MSG_JSON_TOP = 574;
constexpr int MSG_JSON_KEY = 575;
constexpr int MSG_JSON_ENTRY = 576;
// The kind of value a flag expects (TJsonShape::Flag).
constexpr int MSG_JSON_FLAG = 584;
// What a project list's "parent" must be: "0 or the number of an entry
// before this one (below %1)", %1 the entry's own number.
constexpr int MSG_LIST_PARENT = 579;
// The forms a count takes in the file's language ("one other", "one few
// many"), read by the language table itself.
constexpr int MSG_COUNT_FORMS = 586;
// A JSON file of a version the program does not read: "%1" the version as
// the file holds it (TJsonShape::document).
constexpr int MSG_JSON_VERSION = 594;
// Whether to write this copy's project list or catalogue over the file that
// another copy changed in the same entries (%1 the file).
constexpr int MSG_LIST_CHANGED_ASK = 595;
// Why such a file was not written: another copy changed it, and it is kept.
constexpr int MSG_FILE_KEPT = 597;
