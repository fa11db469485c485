#pragma once
// Numbers of the messages that the edit widgets show.

// Tool-tip of a hex string edit with a blank place (%1 digits typed, %2
// digits in all).
constexpr int MSG_HEX_ENTRY_INCOMPLETE = 487;
