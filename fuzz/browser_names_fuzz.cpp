// Feeds arbitrary bytes to the file browser as the name of a folder entry
// and as a name typed for it: the entry is listed under its own bytes, its
// display name is measured and shortened as a row draws it, and the typed
// name goes through the filters, the package types, the name checks and a
// rename. Whatever the bytes, no name is cut, nothing appears outside "Doc"
// and "Doc" keeps one entry, under the old name or the new.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "base/DeletableRoots.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/UTF8.h"
#include "project/ui/WidgetFileBrowser.h"
#include "render/Font.h"
#include "support/QuietBrowserHost.h"
#include "support/TestFont.h"
#include "ui/KeyboardRequest.h"

namespace
{
// The browser's name prompt is answered by the fuzzer itself.
class cHost : public cQuietBrowserHost
{
public:
    void PromptName(const cKeyboardRequest&, const cDelegate& completion) override { pending = completion; }
    cDelegate pending;
};

struct cWorld
{
    cWorld()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "browser-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        top = pattern;
        doc = top + "/Doc";
        fonts.Add(MakeTestFont());
        AddDeletableRoot(doc.c_str());
        registry.Mount(new File::cFileSystemDisk("Doc", doc.c_str()));
        browser = new cWidgetFileBrowser(&host);
    }

    std::string top;
    std::string doc;
    cFontRegistry fonts;
    cFileSystemRegistry registry;
    cHost host;
    cWidgetFileBrowser* browser = nullptr;
};

cWorld& World()
{
    static cWorld world;
    return world;
}

// Only "Doc" may be beside nothing in the scratch folder.
void CheckNothingEscaped(const cWorld& world)
{
    for (const auto& entry : std::filesystem::directory_iterator(world.top))
        if (entry.path().filename() != "Doc")
            std::abort();
}

bool IsCreatable(const std::string& name)
{
    return !name.empty() && name.size() < 120 && name != "." && name != ".." &&
           name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cWorld& world = World();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const size_t split = bytes.find('\0');
    const std::string entry = bytes.substr(0, split);
    const std::string typed = split == std::string::npos ? "" : bytes.substr(split + 1);
    const std::string folder = world.doc + "/User/F";
    std::error_code ignored;
    std::filesystem::remove_all(world.doc, ignored);
    std::filesystem::create_directories(folder);
    if (IsCreatable(entry))
        std::ofstream(folder + "/" + entry) << "x";

    cWidgetFileBrowser* browser = world.browser;
    browser->Reset();
    browser->SetName("Fuzz");
    browser->rootFolder = "User";
    browser->path = ("User/F/" + entry).c_str();
    if (size & 1)
        browser->AddFileType(typed.substr(0, 7).c_str(), nullptr);
    if (size & 2)
        browser->AddPackageType(entry.substr(entry.rfind('.') == std::string::npos ? 0 : entry.rfind('.') + 1, 7).c_str(),
                                nullptr);
    browser->Show(size & 4 ? cWidgetFileBrowser::kFlagShowBackups : 0, cDelegate());
    browser->PassesFileFilter(typed.c_str());
    browser->FindPackageType(typed.c_str());
    std::string shown;
    cWidgetFileBrowser::FolderDisplayName(typed.c_str(), shown);

    cFontHandle font;
    font.Select(10.0f);
    for (const cWidgetFileBrowser::cEntry& row : browser->GetEntries())
    {
        if (IsCreatable(entry) && row.name != entry)
            std::abort();
        cGenStringFixed<512> text(row.displayName.c_str());
        font.TruncateMiddle(text, 60.0f);
        if (IsValidUTF8(row.displayName.c_str()) && !IsValidUTF8(text.CStr()))
            std::abort();
    }
    if (IsCreatable(entry) && browser->GetEntries().size() == 1)
    {
        browser->Select(0);
        browser->OnButton(cWidgetFileBrowser::kButtonRename, nullptr);
        const cDelegate completion = world.host.pending;
        world.host.pending.Clear();
        completion.Invoke(cFileBrowserHost::kPromptEntered, typed.c_str());
        const bool renamed = cWidgetFileBrowser::IsAcceptableName(typed.c_str()) && typed != entry &&
                             std::filesystem::exists(folder + "/" + typed);
        if (!renamed && !std::filesystem::exists(folder + "/" + entry))
            std::abort();
        size_t count = 0;
        for (const auto& item : std::filesystem::directory_iterator(folder))
            count += item.is_regular_file() ? 1 : 0;
        if (count != 1)
            std::abort();
    }
    // Whatever the start path, the list stays below the root.
    if (std::strncmp(browser->GetCurrentFolder(), "User", 4) != 0 || std::strstr(browser->GetCurrentFolder(), ".."))
        std::abort();
    browser->Close();
    CheckNothingEscaped(world);
    return 0;
}
