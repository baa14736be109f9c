#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <unistd.h>

#include "ProjectFixture.h"
#include "audio/WavFile.h"
#include "base/Delegate.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/Serialise.h"
#include "base/SettingsFile.h"
#include "base/Zip.h"
#include "instruments/pads/TriggerPad.h"
#include "instruments/pads/TriggerPadInstrument.h"
#include "instruments/synth/AnalogueSynthBank.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "mixer/EffectChainFile.h"
#include "mixer/EffectRack.h"

// Every writer of the program, with a file of the user's and then a link
// lying where the old fixed temporary "<target>.tmp" would go: the target is
// written, the user's file keeps its bytes, the link stays a link and the
// file it names outside the data folder is never written through.
namespace ProjectTest
{
namespace
{
namespace fs = std::filesystem;

struct cOneValue
{
    void Serialise(Base::cSerialise& s) { s.SerialiseInt32("Value", &value, 0, 100); }
    int32_t value = 42;
};

File::cFileSystem& Doc() { return *gFileSystemRegistry->FindFileSystem("Doc"); }

struct cWriter
{
    const char* name;
    // The file or package folder it writes, in "Doc".
    const char* target;
    std::function<bool()> write;
};

class PlantedTemporaryTest : public cProjectFixture
{
protected:
    std::vector<cWriter> Writers()
    {
        return {
            {"settings", "Test.dat",
             [] {
                 cOneValue values;
                 return WriteSettingsFile("Test.dat", 1.0f, cDelegate(&values, &cOneValue::Serialise));
             }},
            {"synthesizer bank", "Instruments/Kest/GlobalC.bnk",
             [] {
                 auto store = std::make_unique<cAnalogueSynthPresetStore>();
                 return SaveBank(*store, 2, cGenString("Instruments/Kest/GlobalC"), nullptr, false);
             }},
            {"pad bank", "User/VRX Banks/Live.vrx",
             [] {
                 cTriggerPadInstrument pads(nullptr, false);
                 return pads.GetPads()->SaveBank(cGenString("User/VRX Banks/Live.vrx"));
             }},
            {"project", "User/Projects/Song.prj/Package.prj",
             [this] { return project->Save(cGenString("User/Projects/Song.prj"), false); }},
            {"song", "User/Projects/Song.prj/Package.sng",
             [this] { return project->Save(cGenString("User/Projects/Song.prj"), false); }},
            {"effect chain", "User/FX Favourites/Mine.qfx",
             [] {
                 cEffectRack rack;
                 rack.BuildInsertChain();
                 return EffectChainFile::Save(&Doc(), "User/FX Favourites/Mine.qfx", rack);
             }},
            {"WAV file", "User/Samples/Take.wav",
             [] {
                 cWavFile wav;
                 if (!wav.OpenWrite(Native("User/Samples/Take.wav").c_str()))
                     return false;
                 wav.SetFormat(44100, 16, 2);
                 return wav.WriteData("abcd", 4) && wav.Close();
             }},
            {"sample copy", "User/Samples/Copy.wav",
             [] { return Doc().Copy(cGenString("User/Samples/Take.wav"), cGenString("User/Samples/Copy.wav"), 1); }},
            {"archive", "User/Export.qpk",
             [] {
                 Zip::cZipCompressor compressor{};
                 return compressor.Compress("User/Samples", "User/Export.qpk") == Zip::kResultOk;
             }},
        };
    }
};

TEST_F(PlantedTemporaryTest, NoWriterFollowsOrDestroysAFileNamedLikeItsOldTemporary)
{
    NewProject("User/Projects/Song.prj");
    for (const char* folder : {"Instruments/Kest", "User/VRX Banks", "User/FX Favourites", "User/Samples"})
        fs::create_directories(Native(folder));
    WriteWav(Native("User/Samples/Take.wav"));
    WriteText(Documents() + "/../Outside.txt", "outside");
    const std::string outside = fs::canonical(Documents() + "/../Outside.txt").string();
    for (const bool link : {false, true})
        for (const cWriter& writer : Writers())
        {
            SCOPED_TRACE(std::string(writer.name) + (link ? ", a link" : ", the user's file"));
            const std::string planted = Native(std::string(writer.target) + ".tmp");
            fs::remove_all(planted);
            if (link)
                ASSERT_EQ(symlink(outside.c_str(), planted.c_str()), 0);
            else
                WriteText(planted, "the user's");
            project->SetModified(true);
            // Twice: the first makes the target, the second replaces it.
            EXPECT_TRUE(writer.write());
            EXPECT_TRUE(writer.write());
            EXPECT_TRUE(fs::exists(Native(writer.target)));
            EXPECT_FALSE(fs::is_symlink(Native(writer.target)));
            EXPECT_EQ(fs::is_symlink(planted), link);
            EXPECT_EQ(ReadText(planted), link ? "outside" : "the user's");
            EXPECT_EQ(ReadText(outside), "outside");
        }
}
} // namespace
} // namespace ProjectTest
