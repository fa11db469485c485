#pragma once
// Numbers of the messages that the edit widgets show.

// Tool-tip of a hex string edit with a blank place (%1 digits typed, %2
// digits in all).
constexpr int MSG_HEX_ENTRY_INCOMPLETE = 487;

// Tool-tip of a numeric edit holding an entry that is not taken (%1 the
// allowed values, %2 the entry, %3 the value kept).
constexpr int MSG_ENTRY_OUT_OF_RANGE = 544;
// The same for an entry that is no number the edit can hold (the same
// arguments).
constexpr int MSG_ENTRY_NO_NUMBER = 591;

// Tool-tip of a numeric edit whose value the form changed to fit a new
// range (%1 the value before, %2 the value now, %3 the range).
constexpr int MSG_VALUE_CHANGED_TO_FIT = 545;

// Tool-tip of a hex string edit after a paste it does not take, and of the
// data edit holding an entry it does not take (%1 the text given, %2 the
// hex digits that fit there, %3 the value kept).
constexpr int MSG_PASTE_NOT_TAKEN = 590;

// The decimal mark of the interface's language, which decimal fields take
// as well as the point ("," in Russian).
constexpr int MSG_DECIMAL_MARK = 592;

// Tool-tip of a decimal edit holding an entry with more digits after the
// decimal mark than the edit holds (the arguments of MSG_ENTRY_OUT_OF_RANGE).
constexpr int MSG_ENTRY_TOO_PRECISE = 593;
