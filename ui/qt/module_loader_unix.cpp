#include "ui/qt/module_loader.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tavrix::qt {

ModuleSymbol loadModuleSymbol(const std::string& path, const char* symbol) {
    // dlopen would search the library path for a bare name; a module is named by its path alone.
    if (path.find('/') == std::string::npos) return {nullptr, path + ": not a path"};
    if (access(path.c_str(), R_OK) != 0) return {nullptr, path + ": " + std::strerror(errno)};
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* why = dlerror();
        return {nullptr, why ? why : path + ": cannot be loaded"};
    }
    dlerror();
    void* address = dlsym(module, symbol);
    if (!address) return {nullptr, path + ": no " + symbol + " in it"};
    return {address, {}};
}

std::string besideProgram(const std::string& relative) {
    char program[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    if (length <= 0) return {};
    const std::string path(program, static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1) + relative;
}

}  // namespace tavrix::qt
