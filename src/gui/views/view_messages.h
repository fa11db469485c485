#pragma once
// Numbers of the language-table messages the configuration pages show.

namespace ViewMsg {
inline constexpr int PANEL_DESCRIPTION = 73; // title of the description panel
inline constexpr int PANEL_PARAMETERS = 74;  // title of the parameter panel
inline constexpr int PANEL_LOG = 75;         // title of the execution log
inline constexpr int LOG_FAILED = 386;       // first line of the failure banner
} // namespace ViewMsg
