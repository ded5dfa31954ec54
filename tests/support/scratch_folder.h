// A fresh, empty folder of the test's own under the system's temporary folder, on every platform.
#pragma once

#include <string>

namespace testing_support {

// Creates "<temp>/<prefix>-<random>" and returns its path (UTF-8); fails the test program when
// no folder can be made.
std::string MakeScratchFolder(const std::string& prefix);

} // namespace testing_support
