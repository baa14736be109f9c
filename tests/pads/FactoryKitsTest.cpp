#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "BuildPaths.h"
#include "PadTestSupport.h"
#include "base/Zip.h"

using namespace PadTest;

namespace
{
const char* const kKits[] = {"Default", "Neon", "Timber"};

std::string InstallArchive() { return BuildFile("bin/Resource/Install.zip"); }

std::vector<std::filesystem::path> Wavs(const std::string& folder)
{
    std::vector<std::filesystem::path> wavs;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".wav")
            wavs.push_back(entry.path());
    return wavs;
}

std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}
} // namespace

// The installer's archive unpacks three kits of sixteen sounds into
// "User/VRX Banks"; another tool reads every sound as 44100 Hz 16-bit PCM,
// and every kit loads with sixteen pads that sound.
TEST(FactoryKits, EveryKitUnpacksReadsAndSoundsOnSixteenPads)
{
    cSampleFolder folder;
    ASSERT_EQ(Zip::cZipExtractor().ExtractArchive(InstallArchive().c_str(), folder.Documents().c_str(), false),
              Zip::kResultOk);
    std::set<std::string> allSounds;
    for (const char* kit : kKits)
    {
        const std::string package = std::string("User/VRX Banks/") + kit + ".vrx";
        ASSERT_TRUE(folder.Exists(package + "/Package.vrx")) << kit;
        const std::vector<std::filesystem::path> wavs = Wavs(folder.Doc(package));
        EXPECT_EQ(wavs.size(), 16u) << kit;
        for (const std::filesystem::path& wav : wavs)
        {
            int status = -1;
            std::string quoted = "'";
            quoted.append(wav.string()).append("'");
            EXPECT_EQ(Trimmed(RunCommand("soxi -r " + quoted, &status)), "44100") << wav;
            EXPECT_EQ(status, 0) << wav;
            EXPECT_EQ(Trimmed(RunCommand("soxi -b " + quoted)), "16") << wav;
            EXPECT_EQ(Trimmed(RunCommand("soxi -e " + quoted)), "Signed Integer PCM") << wav;
            allSounds.insert(folder.Read(package + "/" + wav.filename().string()));
        }

        cMorePads pads;
        ASSERT_TRUE(pads.pads.LoadBank(cGenString(""), cGenString(package.c_str()), false)) << kit;
        std::set<std::string> names;
        for (int32_t pad = 0; pad < 16; ++pad)
        {
            const cTriggerPadData& record = pads.pads.GetActiveSet().pads[pad];
            names.insert(record.name.CStr());
            ASSERT_NE(pads.pads.GetSample(pad), nullptr) << kit << " pad " << pad;
            pads.pads.PostEvent(Note(kAudioEventNoteOn, kFirstNote + pad, 127, SongId(uint32_t(pad + 1))));
            cStereoBlock block;
            pads.pads.Process(MakeInfo(record.bus), block.buffer);
            EXPECT_GT(block.Peak(), 0.01f) << kit << " pad " << pad << " " << record.name.CStr();
        }
        EXPECT_EQ(names.size(), 16u) << kit;
    }
    EXPECT_EQ(allSounds.size(), 48u) << "every sound of every kit is its own";
}

// The default kit spreads its pads over all three buses and cuts an open
// hat with a closed one; the other kits shape their buses differently.
TEST(FactoryKits, TheDefaultKitUsesEveryBusAndAHatChokeGroup)
{
    cSampleFolder folder;
    ASSERT_EQ(Zip::cZipExtractor().ExtractArchive(InstallArchive().c_str(), folder.Documents().c_str(), false),
              Zip::kResultOk);
    cMorePads pads;
    ASSERT_TRUE(pads.pads.LoadBank(cGenString(""), cGenString("User/VRX Banks/Default.vrx"), false));
    std::set<int32_t> buses;
    std::set<std::string> hatsInGroup;
    for (const cTriggerPadData& pad : pads.pads.GetActiveSet().pads)
    {
        buses.insert(pad.bus);
        if (pad.chokeGroup != 0 && std::string(pad.name.CStr()).find("Hat") != std::string::npos)
            hatsInGroup.insert(pad.name.CStr());
    }
    EXPECT_EQ(buses, (std::set<int32_t>{0, 1, 2}));
    EXPECT_TRUE(hatsInGroup.count("Closed Hat") && hatsInGroup.count("Open Hat"));

    std::set<std::string> characters;
    for (const char* kit : kKits)
    {
        cMorePads other;
        ASSERT_TRUE(other.pads.LoadBank(cGenString(""), cGenString((std::string("User/VRX Banks/") + kit + ".vrx").c_str()),
                                        false));
        std::string character;
        for (const cTriggerPadOutput& output : other.pads.GetActiveSet().outputs)
            character += std::to_string(output.filter.enable) + "/" + std::to_string(output.filter.type) + "/" +
                         std::to_string(output.rev) + "/" + std::to_string(output.del) + " ";
        characters.insert(character);
    }
    EXPECT_EQ(characters.size(), 3u);
}
