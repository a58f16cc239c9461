#pragma once

namespace tavrix::forms {

// The title of the program's windows and of every message box given no title of its own.
inline constexpr char applicationTitle[] = "Tavrix - System Memory Information";

}  // namespace tavrix::forms
