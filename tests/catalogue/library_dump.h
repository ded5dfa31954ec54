// The save text as the JSON library itself dumps a document built member by member from the
// table and the settings: the outside truth the plugin's save text is checked against.
#pragma once

#include <string>

namespace testing_support {

// Throws the library's type_error when a name or text is not valid UTF-8.
std::string LibraryDump();

} // namespace testing_support
