#pragma once

#include <string>

namespace tavrix::qt {

// A symbol of a loaded module, or why it could not be had.
struct ModuleSymbol {
    void* address = nullptr;
    std::string failure;  // empty when address is set
};

// Loads the module at path, its references resolved now, and finds the symbol in it. A module
// once loaded stays loaded. A missing file, one that is no module, a module that cannot be
// loaded and a missing symbol each give a failure that names the file.
ModuleSymbol loadModuleSymbol(const std::string& path, const char* symbol);

// The path relative to the folder of this process's own executable, or empty when that folder
// cannot be found.
std::string besideProgram(const std::string& relative);

}  // namespace tavrix::qt
