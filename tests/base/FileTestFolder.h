#pragma once

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

// A fresh folder under $QUIL_TEST_TMP (or the system's temporary folder),
// removed with everything in it when the test ends.
class cFileTestFolder
{
public:
    cFileTestFolder()
    {
        const char* base = std::getenv("QUIL_TEST_TMP");
        std::filesystem::path parent = base && *base ? base : std::filesystem::temp_directory_path().string();
        std::filesystem::create_directories(parent);
        std::string pattern = (parent / "files-XXXXXX").string();
        mPath = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~cFileTestFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }

    const std::string& Path() const { return mPath; }
    std::string operator/(const std::string& name) const { return mPath + "/" + name; }

    void Write(const std::string& name, const std::string& content) const
    {
        const std::filesystem::path path = *this / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(*this / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(*this / name); }

private:
    std::string mPath;
};

// Makes every write beyond the given file size fail, as a full disk does.
class cFileSizeLimit
{
public:
    explicit cFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &mOld);
        mOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = mOld;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~cFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &mOld);
        std::signal(SIGXFSZ, mOldHandler);
    }

private:
    struct rlimit mOld;
    void (*mOldHandler)(int);
};
