// Which classes a Receive entry hands out; see received_classes.h.
#include "received_classes.h"

#include "host/class_names.h"

namespace barterbox {

std::vector<std::string> ClassesHandedOutFor(std::string_view item) {

    std::vector<std::string> classes{GeneratedClassPath(item)};
    constexpr std::string_view kPrefix = "Blueprint'";
    if (item.starts_with(kPrefix) && item.size() > kPrefix.size() && item.ends_with('\'')) {
        item = item.substr(kPrefix.size(), item.size() - kPrefix.size() - 1);
    }
    if (item.ends_with("_C") && item != classes.front()) {
        classes.emplace_back(item);
    }
    return classes;
}

bool IsReceivedClass(std::string_view classPath, std::string_view wanted) {
    if (classPath == wanted) {
        return true;
    }
    if (wanted.find('/') != std::string_view::npos) {
        return false;
    }
    const size_t dot = classPath.rfind('.');
    return (dot == std::string_view::npos ? classPath : classPath.substr(dot + 1)) == wanted;
}

} // namespace barterbox
