#include "ui/qt/display_check.h"

namespace tavrix::qt {

// Windows and macOS always have their window system at hand.
DisplayCheck::DisplayCheck(int, char**) {}

void DisplayCheck::release() {}

}  // namespace tavrix::qt
