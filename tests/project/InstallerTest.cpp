#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <utime.h>

#include "BrowserFixture.h"
#include "base/File.h"
#include "base/FileSystemRegistry.h"
#include "base/Zip.h"
#include "platform/DisplayMetrics.h"
#include "project/ui/WidgetInstaller.h"
#include "render/Material.h"
#include "render/Texture.h"
#include "sequencer/MIDIFileConverter.h"
#include "sequencer/MIDIFileSong.h"

namespace ProjectTest
{
namespace
{
class InstallerTest : public BrowserFixture
{
protected:
    ~InstallerTest() override
    {
        if (page)
        {
            root->Pop(page);
            page->Release();
        }
    }

    void Build(const std::string& archive)
    {
        page = new cWidgetInstaller(archive.c_str());
        root->Push(page, 0, 0);
    }
    // Draws until the page says it is done; the frames it took.
    int FramesToDone()
    {
        int frames = 0;
        while (!page->IsDone() && frames < 1000)
        {
            Frame();
            ++frames;
        }
        return frames;
    }
    // An archive of "Stage" in "Doc", its entries named from inside it.
    std::string Pack()
    {
        Zip::cZipCompressor compressor{};
        EXPECT_EQ(compressor.Compress("Stage", "Content.zip"), Zip::kResultOk);
        return Native("Content.zip");
    }

    cWidgetInstaller* page = nullptr;
};

TEST_F(InstallerTest, TextureAndScaleFollowTheDeviceClass)
{
    struct cCase
    {
        int32_t deviceClass;
        const char* texture;
        float scale;
    };
    const cCase cases[] = {
        {kDeviceClassPhone, "Textures/Installer.pvr", 1.0f},
        {kDeviceClassTablet, "Textures/Installer_x2.pvr", 2.0f},
        {kDeviceClassDesktop, "Textures/Installer_x2.pvr", 2.0f},
    };
    for (const cCase& c : cases)
    {
        UseDeviceClass(c.deviceClass);
        auto* installer = new cWidgetInstaller(Native("missing.zip").c_str());
        EXPECT_EQ(installer->GetScale(), c.scale);
        cTexture* texture = cTexture::Find(c.texture);
        EXPECT_NE(texture, nullptr) << c.texture;
        EXPECT_EQ(installer->GetPageMaterial()->GetTexture(), texture) << c.texture;
        if (texture)
            ReleaseTextureReference(texture);
        installer->Release();
    }
}

TEST_F(InstallerTest, WithoutAnArchiveItIsDoneAfterItsFrames)
{
    Build(Native("missing.zip"));
    EXPECT_FALSE(page->GetJob().success);
    EXPECT_EQ(FramesToDone(), cWidgetInstaller::kFramesAfterJob + 1);
}

TEST_F(InstallerTest, ProgressIsHeldToTheBar)
{
    Build(Native("missing.zip"));
    for (const auto& [given, shown] : {std::pair{-0.5f, 0.0f}, {0.25f, 0.25f}, {1.5f, 1.0f}, {NAN, 0.0f}})
    {
        page->OnProgress("User/Samples/k.wav", given);
        EXPECT_EQ(page->GetProgress(), shown) << given;
    }
    Frame();
    EXPECT_TRUE(FindText("User/Samples/k.wav").has_value());
}

TEST_F(InstallerTest, TheArchiveIsUnpackedWithItsDatesAndKeepsEditedFiles)
{
    Touch("Stage/User/Samples/Kick.wav", "factory");
    Touch("Stage/User/Projects/Demos/Demo.prj/Package.prj", "demo");
    const time_t past = 1500000000;
    struct utimbuf times = {past, past};
    ASSERT_EQ(utime(Native("Stage/User/Samples/Kick.wav").c_str(), &times), 0);
    const std::string archive = Pack();
    std::filesystem::remove_all(Native("Stage"));

    Build(archive);
    EXPECT_TRUE(page->GetJob().success);
    EXPECT_EQ(ReadText(Native("User/Samples/Kick.wav")), "factory");
    EXPECT_EQ(ReadText(Native("User/Projects/Demos/Demo.prj/Package.prj")), "demo");
    struct stat status;
    ASSERT_EQ(stat(Native("User/Samples/Kick.wav").c_str(), &status), 0);
    EXPECT_LE(std::abs(double(status.st_mtime - past)), 2.0);
    FramesToDone();
    root->Pop(page);
    page->Release();
    page = nullptr;

    // A second install over the user's edits keeps them and brings back what went.
    Touch("User/Samples/Kick.wav", "edited");
    std::filesystem::remove(Native("User/Projects/Demos/Demo.prj/Package.prj"));
    Build(archive);
    EXPECT_EQ(ReadText(Native("User/Samples/Kick.wav")), "edited");
    EXPECT_EQ(ReadText(Native("User/Projects/Demos/Demo.prj/Package.prj")), "demo");
}
// Our content as the build packs it: the user's folders, the kits, the
// factory samples, the synthesizer's global banks and the demos.
TEST_F(InstallerTest, OurContentIsInstalled)
{
    std::filesystem::remove_all(Native("User"));
    Build(BuildFile("bin/Resource/Install.zip"));
    EXPECT_TRUE(page->GetJob().success);
    for (const char* folder : {"User/Projects", "User/Mixdowns", "User/Samples", "User/MIDI Files", "User/VRX Banks",
                               "User/FX Favourites", "User/Samples/Kest Factory"})
        EXPECT_TRUE(std::filesystem::is_directory(Native(folder))) << folder;
    for (char bank = 'A'; bank <= 'G'; ++bank)
        EXPECT_TRUE(Exists(std::string("Instruments/Kest/Global") + bank + ".bnk")) << bank;
    EXPECT_TRUE(Exists("User/VRX Banks/Default.vrx"));
    for (const char* file : {"Package.prj", "Package.sng"})
        EXPECT_TRUE(Exists(std::string("User/Projects/Demos/Rock On.prj/") + file)) << file;
    int samples = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Native("User/Samples/Kest Factory")))
        samples += entry.path().extension() == ".wav" ? 1 : 0;
    EXPECT_GE(samples, 4);

    // The demo song reads back through the program's own MIDI-file reader.
    File::cFile* file = gFileSystemRegistry->OpenIn("Doc", cGenString("User/MIDI Files/Demo Song.mid"),
                                                    File::kModeRead, 0);
    ASSERT_NE(file, nullptr);
    auto song = std::make_unique<cMIDIFileSong>();
    EXPECT_EQ(cMIDIFileConverter(song.get(), file).Read(), 0);
    delete file;
    EXPECT_NEAR(song->tempo, 112.0f, 0.01f);
    EXPECT_GT(song->channels[9].events.size(), 60u);
}
} // namespace
} // namespace ProjectTest
