#include <gtest/gtest.h>

#include <regex>

#include "ProjectFixture.h"
#include "RecordingHost.h"
#include "XmlQuery.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "mixer/Mixer.h"
#include "mixer/MixerChannel.h"
#include "project/ProjectSlots.h"

namespace ProjectTest
{
namespace
{
constexpr const char* kFile = "User/Projects/Song.prj/Package.prj";

class cProjectFileTest : public cProjectFixture
{
protected:
    static File::cFileSystem* Doc() { return gFileSystemRegistry->FindFileSystem("Doc"); }

    bool Write(cProject& p, float* version = nullptr)
    {
        std::filesystem::create_directories(Native("User/Projects/Song.prj"));
        return p.Serialise(Doc(), cGenString(kFile), cProject::kWrite, nullptr, version);
    }
    bool Read(cProject& p, float* version = nullptr)
    {
        return p.Serialise(Doc(), cGenString(kFile), cProject::kRead, nullptr, version);
    }
    // A fresh record reading the file, as a load does after its unload.
    bool ReadFresh(float* version = nullptr)
    {
        project = std::make_unique<cProject>();
        project->Unload();
        return Read(*project, version);
    }
    static void WriteFile(const std::string& xml) { WriteText(Native(kFile), xml); }

    static std::string Instr(const char* type, int index, const char* extra = "")
    {
        return std::string("<Instr Type=\"") + type + "\" Index=\"" + std::to_string(index) + "\"" + extra +
               "><UI Name=\"" + type + "\"/></Instr>";
    }
    static std::string Document(const std::string& instruments, const char* version = "6.000000",
                                const char* attributes = "")
    {
        return std::string("<Root FileVersion=\"") + version + "\"" + attributes + "><Instruments>" + instruments +
               "</Instruments></Root>";
    }
};

TEST_F(cProjectFileTest, TheFileListsTheProjectForAnotherReader)
{
    cProject& p = NewProject();
    float version = 0.0f;
    ASSERT_TRUE(Write(p, &version));
    EXPECT_EQ(version, 6.0f);
    const std::string file = Native(kFile);
    ASSERT_TRUE(IsWellFormedXML(file));
    EXPECT_EQ(XPath(file, "string(/Root/@FileVersion)"), "6.000000");
    EXPECT_EQ(XPath(file, "string(/Root/@SaveVersion)"), "1");
    // The root's attributes in their order.
    std::smatch root;
    const std::string text = ReadText(file);
    ASSERT_TRUE(std::regex_search(text, root, std::regex("<Root ([^>]*)>")));
    EXPECT_TRUE(std::regex_match(root[1].str(), std::regex("FileVersion=\"6.000000\" Transpose=\"0\" SaveVersion=\"1\" "
                                                           "RestoreUIPage=\"2\" RestoreInstrumentIndex=\"1\"")))
        << root[1];
    EXPECT_EQ(XPath(file, "string(/Root/TrackMap/@Instr0)"), "15");
    for (int slot = 1; slot < 16; ++slot)
        EXPECT_EQ(XPath(file, "string(/Root/TrackMap/@Instr" + std::to_string(slot) + ")"), std::to_string(slot - 1));
    const char* types[] = {"Mixer", "VRX", "Kest", "Kest", "Kest", "Kest"};
    EXPECT_EQ(XPath(file, "count(/Root/Instruments/Instr)"), "6");
    for (int i = 0; i < 6; ++i)
    {
        const std::string entry = "/Root/Instruments/Instr[" + std::to_string(i + 1) + "]";
        EXPECT_EQ(XPath(file, "string(" + entry + "/@Type)"), types[i]);
        EXPECT_EQ(XPath(file, "string(" + entry + "/@Index)"), std::to_string(i));
        EXPECT_EQ(XPath(file, "string(" + entry + "/@MIDIInTranspose)"), "0");
    }
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(XPath(file, "string(/Root/Instruments/Instr[" + std::to_string(k + 2) + "]/UI/@Name)"),
                  "Kest " + std::to_string(k));

    // Each write counts, and leaves the previous generation as ".bak".
    ASSERT_TRUE(Write(p));
    EXPECT_EQ(XPath(file, "string(/Root/@SaveVersion)"), "2");
    EXPECT_EQ(XPath(file + ".bak", "string(/Root/@SaveVersion)"), "1");
    EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));
}

TEST_F(cProjectFileTest, WhatIsWrittenReadsBack)
{
    cRecordingHost host;
    host.restorePage = cProject::kPageSong;
    host.restoreInstrument = 4;
    cProject& p = NewProject();
    p.SetTranspose(-3);
    p.SetMIDIInTranspose(2, 12);
    p.GetTrackMap().SetChannel(4, 9);
    StandIn(3)->Module().level = 0.25f;
    GetMixer()->GetChannel(1)->volume = 0.4f;
    ASSERT_TRUE(Write(p));

    float version = 0.0f;
    ASSERT_TRUE(ReadFresh(&version));
    EXPECT_EQ(version, 6.0f);
    EXPECT_EQ(project->GetTranspose(), -3);
    EXPECT_EQ(project->GetMIDIInTranspose(2), 12);
    EXPECT_EQ(project->GetTrackMap().GetChannel(4), 9);
    EXPECT_EQ(project->GetSaveVersion(), 1);
    EXPECT_EQ(project->GetRestoreUIPage(), cProject::kPageSong);
    EXPECT_EQ(project->GetRestoreInstrumentIndex(), 4);
    EXPECT_STREQ(Slot(3)->GetName(), "Kest 2");
    EXPECT_EQ(StandIn(3)->Module().level, 0.25f);
    ASSERT_NE(GetMixer(), nullptr);
    EXPECT_EQ(GetMixer()->GetInputCount(), 5);
    EXPECT_FLOAT_EQ(GetMixer()->GetChannel(1)->volume, 0.4f);
}

TEST_F(cProjectFileTest, OldTypeNamesReadAsTodaysAndUnknownOnesAreSkipped)
{
    WriteFile(Document(Instr("MixingDesk", 0) + Instr("TriggerPad", 1) + Instr("vrx-16", 2) + Instr("Theremin", 3) +
                       Instr("kest", 4)));
    ASSERT_TRUE(ReadFresh());
    EXPECT_STREQ(Slot(0)->GetPackage()->GetName(), "Mixer");
    EXPECT_STREQ(Slot(1)->GetPackage()->GetName(), "VRX");
    EXPECT_STREQ(Slot(2)->GetPackage()->GetName(), "VRX");
    EXPECT_EQ(Slot(3), nullptr);
    EXPECT_STREQ(Slot(4)->GetPackage()->GetName(), "Kest");
    // Files without the restore fields return to the setup page.
    EXPECT_EQ(project->GetRestoreUIPage(), cProject::kPageSetup);
    EXPECT_EQ(project->GetRestoreInstrumentIndex(), 0);
}

TEST_F(cProjectFileTest, FilesItCannotReadSayWhy)
{
    const struct
    {
        const char* what;
        const char* content; // null: no file
        const char* error;
    } cases[] = {
        {"missing", nullptr, ""},
        {"not XML", "\x01\x02 not a document", "The project file is corrupted."},
        {"cut short", "<Root FileVersion=\"6.0\"><Instruments><Instr Type=", "The project file is corrupted."},
        {"newer", "<Root FileVersion=\"6.5\"><Instruments/></Root>",
         "This project was saved with a newer version of Quilwright."},
        {"no instruments", "<Root FileVersion=\"6.0\"><TrackMap/></Root>", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(Native(kFile));
        if (c.content)
            WriteFile(c.content);
        project = std::make_unique<cProject>();
        EXPECT_FALSE(Read(*project));
        EXPECT_STREQ(project->GetErrorText().CStr(), c.error);
    }
}

TEST_F(cProjectFileTest, ValuesFromTheFileAreHeldToTheirRanges)
{
    const struct
    {
        const char* attributes;
        const char* instrExtra;
        const char* trackMap;
        int32_t transpose;
        int32_t midiIn;
        int32_t page;
        int32_t instrument;
        int32_t slot3Channel;
    } cases[] = {
        {" Transpose=\"99\" RestoreUIPage=\"7\" RestoreInstrumentIndex=\"40\"", " MIDIInTranspose=\"200\"",
         "Instr3=\"16\"", 11, 36, 2, 15, 2},
        {" Transpose=\"-99\" RestoreUIPage=\"-1\" RestoreInstrumentIndex=\"-5\"", " MIDIInTranspose=\"-2147483648\"",
         "Instr3=\"-1\"", -11, -36, 0, 0, 2},
        {" Transpose=\"4\" RestoreUIPage=\"1\" RestoreInstrumentIndex=\"9\"", " MIDIInTranspose=\"-7\"",
         "Instr3=\"0\"", 4, -7, 1, 9, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.attributes);
        WriteFile(std::string("<Root FileVersion=\"6.0\"") + c.attributes + "><TrackMap " + c.trackMap +
                  "/><Instruments>" + Instr("Mixer", 0) + Instr("Kest", 2, c.instrExtra) + "</Instruments></Root>");
        ASSERT_TRUE(ReadFresh());
        EXPECT_EQ(project->GetTranspose(), c.transpose);
        EXPECT_EQ(project->GetMIDIInTranspose(2), c.midiIn);
        EXPECT_EQ(project->GetRestoreUIPage(), c.page);
        EXPECT_EQ(project->GetRestoreInstrumentIndex(), c.instrument);
        EXPECT_EQ(project->GetTrackMap().GetChannel(3), c.slot3Channel);
    }
}

TEST_F(cProjectFileTest, AnIndexOutsideTheSlotsSkipsItsEntry)
{
    WriteFile(Document(Instr("Mixer", 0) + Instr("Kest", 16, " MIDIInTranspose=\"5\"") + Instr("Kest", -1) +
                       Instr("Kest", 2147483647) + "<Instr Type=\"Kest\"><UI/></Instr>" + Instr("VRX", 15)));
    ASSERT_TRUE(ReadFresh());
    for (int32_t slot = 1; slot < 15; ++slot)
        EXPECT_EQ(Slot(slot), nullptr) << slot;
    EXPECT_STREQ(Slot(15)->GetPackage()->GetName(), "VRX");
    EXPECT_EQ(kest->GetInstruments().GetCount(), 0u);
}

TEST_F(cProjectFileTest, OnlyTheMixerGoesIntoSlotZeroAndALoadWithoutOneGetsIt)
{
    // Another type at index 0 and the mixer elsewhere are refused.
    WriteFile(Document(Instr("Kest", 0) + Instr("Mixer", 3) + Instr("Kest", 4) + Instr("VRX", 1)));
    ASSERT_TRUE(ReadFresh());
    ASSERT_NE(Slot(0), nullptr);
    EXPECT_STREQ(Slot(0)->GetPackage()->GetName(), "Mixer");
    EXPECT_STREQ(Slot(0)->GetName(), "Mixer");
    EXPECT_EQ(Slot(3), nullptr);
    cMixer* mixer = GetMixer();
    ASSERT_NE(mixer, nullptr);
    // The default desk takes every instrument's output, in slot order.
    ASSERT_EQ(mixer->GetInputCount(), 2);
    EXPECT_EQ(mixer->GetChannel(0)->owner, Slot(1));
    EXPECT_EQ(mixer->GetChannel(1)->owner, Slot(4));
    EXPECT_EQ(cInstrumentPackageRegistry::GetInstance()->FindPackage("Mixer")->GetInstruments().GetCount(), 1u);
}
} // namespace
} // namespace ProjectTest
