#pragma once

#include <string>
#include <vector>

namespace tavrix {

// The program's arguments after its own name, as UTF-8 (Windows only): read from the UTF-16
// command line, so that a path outside the ANSI code page (C:\users\Иван) arrives as given.
std::vector<std::string> programArguments();

}  // namespace tavrix
