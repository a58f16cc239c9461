#include "cli/program_arguments.h"

#include <windows.h>
#include <shellapi.h>

#include "scan/utf16_text.h"

namespace tavrix {

std::vector<std::string> programArguments() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> utf8;
    for (int i = 1; arguments && i < count; ++i) utf8.push_back(utf8Of(arguments[i]));
    LocalFree(arguments);
    return utf8;
}

}  // namespace tavrix
