#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

// Files of the build, found from the test program's own place
// (<build>/bin/test_<folder>), so that a test runs from any working folder.

// A path inside the build folder, such as "bin/quilwright" or
// "generated/SpriteManifest.md".
inline std::string BuildFile(const std::string& pathInBuild)
{
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (length <= 0)
        return pathInBuild;
    self[length] = '\0';
    return (std::filesystem::path(self).parent_path().parent_path() / pathInBuild).string();
}

// $QUIL_TEST_TMP, or the build's test-tmp folder; made when missing.
inline std::string TestScratchFolder()
{
    const char* tmp = std::getenv("QUIL_TEST_TMP");
    const std::string folder = tmp && *tmp ? std::string(tmp) : BuildFile("test-tmp");
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}
