// Scratch folders for tests; see scratch_folder.h.
#include "scratch_folder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "platform/os_path.h"

namespace testing_support {

std::string MakeScratchFolder(const std::string& prefix) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path temporary = fs::temp_directory_path(error);
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; !error && attempt < 100; ++attempt) {
        const fs::path folder =
            temporary / (prefix + "-" + std::to_string(random() % 1000000000000ULL));
        // create_directory is false when the name is taken: another attempt, another name.
        if (fs::create_directory(folder, error)) {
            return barterbox::platform::Utf8Path(folder);
        }
    }
    std::fprintf(stderr, "cannot create a scratch folder for %s: %s\n", prefix.c_str(),
                 error.message().c_str());
    std::exit(2);
}

} // namespace testing_support
