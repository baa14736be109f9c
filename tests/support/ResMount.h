#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class cPVRImage;

// Mounts a folder as "Res" for the test's lifetime, creating the file-system
// registry when there is none.
class cResMount
{
public:
    explicit cResMount(const std::string& root);
    ~cResMount();
    cResMount(const cResMount&) = delete;
    cResMount& operator=(const cResMount&) = delete;

    const std::string& Root() const { return mRoot; }
    // Writes a file below the root, creating its folders.
    void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) const;

private:
    std::string mRoot;
    bool mOwnsRegistry = false;
};

// A fresh folder under QUIL_TEST_TMP (or the build folder) for one test.
std::string MakeTestFolder(const std::string& name);
// The generated content beside the test program (<build>/bin/Resource).
std::string GeneratedResourceFolder();
// The bytes of a generated file, by its path inside the generated content;
// empty when it cannot be read.
std::vector<uint8_t> ReadGeneratedResource(const std::string& path);
// A generated texture decoded with the given load flags; null when it cannot
// be read or decoded.
std::unique_ptr<cPVRImage> LoadGeneratedTexture(const std::string& path, uint32_t loadFlags);
