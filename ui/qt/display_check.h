#pragma once

#include <optional>
#include <string>

namespace tavrix {

// Why the window system Qt is about to use cannot be reached, such as `no X display at ":7"`;
// nullopt when it can, or when the platform is not one this check knows. Reads the same
// `-platform`/`-display` arguments and environment as Qt, before any Qt object exists.
std::optional<std::string> displayProblem(int argc, char** argv);

}  // namespace tavrix
