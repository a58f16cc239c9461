#include "display_check.h"

namespace tavrix {

// Windows and macOS always have their window system at hand.
std::optional<std::string> displayProblem(int, char**) { return std::nullopt; }

}  // namespace tavrix
