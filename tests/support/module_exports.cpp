// The exports of a module file; see module_exports.h.
#include "module_exports.h"

#include <cstdio>
#include <memory>

namespace testing_support {

std::vector<std::string> DefinedExports(const std::string& module) {
    std::vector<std::string> symbols;
#if !defined(_WIN32)
    const std::string command = "nm -D --defined-only " + module;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), &pclose);
    if (pipe == nullptr) {
        return symbols;
    }
    char line[512];
    while (fgets(line, sizeof line, pipe.get()) != nullptr) {
        // "ADDRESS TYPE NAME\n"; absolute symbols (A) such as version nodes are not code.
        const std::string text(line);
        const auto name = text.find_last_of(' ');
        if (text.size() > 17 && text[17] != 'A' && name != std::string::npos) {
            symbols.push_back(text.substr(name + 1, text.size() - name - 2));
        }
    }
#else
    (void)module;
#endif
    return symbols;
}

} // namespace testing_support
