#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "PresetFixtures.h"
#include "audio/SampleFiles.h"
#include "base/CriticalSection.h"
#include "base/SafeWrite.h"
#include "instruments/synth/AnalogueSynthBank.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "mixer/MixerTestUtil.h"
#include "project/SampleRelocator.h"

namespace
{
using tStore = cAnalogueSynthPresetStore;

constexpr const char* kBankPath = "Instruments/Kest/GlobalC";
constexpr const char* kBankFile = "Instruments/Kest/GlobalC.bnk";
constexpr size_t kInitBankSize = 56328;

std::string Word(uint32_t value) { return cBytes().U32(value).bytes; }

uint32_t WordAt(const std::string& bytes, size_t offset)
{
    uint32_t word = 0;
    std::memcpy(&word, bytes.data() + offset, 4);
    return word;
}

// Gives every slot of a bank a name, values and a path of its own.
void FillBank(tStore& store, int32_t bank, const char* tag)
{
    for (int32_t slot = 0; slot < 64; ++slot)
    {
        const int32_t id = tStore::MakeId(bank, slot);
        cAnalogueSynthSingle& single = store.GetSingle(id);
        cGenStringFixed<24> name;
        name.Printf("%s %d", tag, int(slot));
        single.SetName(name.CStr());
        single.Filter.Cutoff = float(slot) / 64.0f;
        single.Sample.NoteSlice = slot % 5;
        cAnalogueSynthMulti& multi = store.GetMulti(id);
        multi.SetName(name.CStr());
        multi.layers[1].Index = tStore::MakeId(bank, 63 - slot);
        if (slot % 3 == 0)
        {
            cGenStringFixed<64> path;
            path.Printf("User/Samples/%s%d.wav", tag, int(slot));
            store.SetSamplePath(id, path);
        }
    }
}

// Everything a bank holds, as the writer would put it in a file.
std::string BankContents(tStore& store, int32_t bank)
{
    std::string contents;
    for (int32_t slot = 0; slot < 64; ++slot)
    {
        const int32_t id = tStore::MakeId(bank, slot);
        contents += WriteRecord(store.GetSingle(id)) + WriteRecord(store.GetMulti(id));
        contents += store.GetSamplePath(id).CStr();
        contents += '|';
    }
    return contents;
}

class BankFileTest : public testing::Test
{
protected:
    bool Load(int32_t bank, int32_t mode, cSampleRelocator* relocator = nullptr, const char* path = kBankPath)
    {
        return LoadBank(*store, bank, path, relocator, mode, error);
    }
    bool Save(int32_t bank, bool autoSave = false, cSampleRelocator* relocator = nullptr,
              const char* path = kBankPath)
    {
        return SaveBank(*store, bank, path, relocator, autoSave);
    }

    cSampleFolder folder;
    std::unique_ptr<tStore> store = std::make_unique<tStore>();
    cGenStringFixed<128> error;
};
} // namespace

TEST_F(BankFileTest, AnInitBankFollowsTheLayout)
{
    ASSERT_TRUE(Save(2));
    const std::string file = folder.Read(kBankFile);
    ASSERT_EQ(file.size(), kInitBankSize);
    EXPECT_EQ(WordAt(file, 0), 4u);
    EXPECT_EQ(WordAt(file, 4), kInitBankSize);
    EXPECT_EQ(file, EncodeBank(4, EncodeSingle(cAnalogueSynthSingle(), false), EncodeMulti(cAnalogueSynthMulti())));
    // An empty path is a length of 0 and nothing else.
    EXPECT_EQ(file.substr(kInitBankSize - 256), std::string(256, '\0'));
    EXPECT_FALSE(folder.Exists(std::string(kBankFile) + ".bak"));
}

TEST_F(BankFileTest, AFileLoadedAndSavedAgainIsTheSameByteForByte)
{
    FillBank(*store, 2, "Keys");
    store->SetSamplePath(tStore::MakeId(2, 1), "Song.prj/Only.wav");
    ASSERT_TRUE(Save(2));
    const std::string first = folder.Read(kBankFile);
    // The second path's string: its length, the text and a NUL.
    const std::string path = "Song.prj/Only.wav";
    EXPECT_NE(first.find(Word(uint32_t(path.size())) + path + std::string(1, '\0')), std::string::npos);

    auto other = std::make_unique<tStore>();
    ASSERT_TRUE(LoadBank(*other, 2, kBankPath, nullptr, 0, error)) << error.CStr();
    EXPECT_EQ(BankContents(*other, 2), BankContents(*store, 2));
    ASSERT_TRUE(SaveBank(*other, 2, "Instruments/Kest/Copy", nullptr, false));
    EXPECT_EQ(folder.Read("Instruments/Kest/Copy.bnk"), first);
}

TEST_F(BankFileTest, ModifiedFlagsFollowLoadsAndSaves)
{
    store->WriteSingle(tStore::MakeId(2, 0), cAnalogueSynthSingle(), "");
    ASSERT_TRUE(store->IsBankModified(2));
    ASSERT_TRUE(Save(2));
    EXPECT_FALSE(store->IsBankModified(2));
    store->SetBankModified(2, true);
    ASSERT_TRUE(Load(2, 0));
    EXPECT_FALSE(store->IsBankModified(2));
    store->SetBankModified(2, true);
    EXPECT_FALSE(Load(2, 0, nullptr, "Instruments/Kest/Missing"));
    EXPECT_TRUE(store->IsBankModified(2));
}

// Every refused file leaves the bank exactly as it was, modified flag and all,
// and says why.
TEST_F(BankFileTest, BadFilesChangeNothing)
{
    FillBank(*store, 2, "Good");
    ASSERT_TRUE(Save(2));
    const std::string good = folder.Read(kBankFile);
    store->SetBankModified(2, true);
    const std::string before = BankContents(*store, 2);

    const std::string single = EncodeSingle(cAnalogueSynthSingle(), false);
    const std::string multi = EncodeMulti(cAnalogueSynthMulti());
    std::string newer = good;
    newer[0] = 5;
    std::string cut = good.substr(0, 30000);
    std::memcpy(cut.data() + 4, Word(30000).data(), 4);
    std::vector<std::string> paths(64);
    const std::string pastTheEnd = EncodeBank(4, single, multi, paths).substr(0, kInitBankSize - 4) + Word(1000);
    std::string failingRecord = good;
    failingRecord[8 + 640 * 10] = 4; // slot 10's version
    std::string badMarker = good;
    badMarker[8 + 640 * 64 + 236 * 5] = 0;
    struct cCase
    {
        const char* what;
        const char* bytes; // null: no file
        std::string content;
        const char* error;
    };
    const cCase cases[] = {
        {"missing", nullptr, "", "Bank file missing."},
        {"version 5", "", newer, "Kest bank was saved with a newer version of Quilwright."},
        {"version 0xFFFFFFFF", "", Word(0xFFFFFFFFu) + good.substr(4),
         "Kest bank was saved with a newer version of Quilwright."},
        {"one byte longer", "", good + "x", "Kest bank file is not the expected size."},
        {"far longer", "", good + std::string(100000, '\x7f'), "Kest bank file is not the expected size."},
        {"one byte shorter", "", good.substr(0, good.size() - 1), "Kest bank file is not the expected size."},
        {"header only", "", good.substr(0, 6), "Kest bank file is not the expected size."},
        {"size of a cut file", "", cut, "Error reading Kest bank file."},
        {"string past the end", "", pastTheEnd, "Error reading Kest bank file."},
        {"failing single", "", failingRecord, "Error reading Kest bank file."},
        {"bad multi marker", "", badMarker, "Error reading Kest bank file."},
    };
    for (const cCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(folder.Doc("Instruments/Kest/Bad.bnk"));
        if (c.bytes)
            folder.Write("Instruments/Kest/Bad.bnk", c.content);
        EXPECT_FALSE(Load(2, 0, nullptr, "Instruments/Kest/Bad"));
        EXPECT_STREQ(error.CStr(), c.error);
        EXPECT_EQ(BankContents(*store, 2), before);
        EXPECT_TRUE(store->IsBankModified(2));
    }
}

// Mode 1 tries the file, then its backup, then the auto-save files; the
// auto-save files are gone after every attempt, whether it loaded or not.
TEST_F(BankFileTest, LoadModesFallBackAndClearTheAutoSaves)
{
    FillBank(*store, 2, "Saved");
    ASSERT_TRUE(Save(2));
    const std::string saved = folder.Read(kBankFile);
    FillBank(*store, 2, "Auto");
    ASSERT_TRUE(Save(2, true));
    EXPECT_TRUE(folder.Exists(std::string(kBankFile) + ".as"));

    folder.Write(std::string(kBankFile) + ".bak", saved);
    folder.Write(kBankFile, saved.substr(0, 1000)); // damaged
    folder.Write(std::string(kBankFile) + ".as.bak", "stale");
    auto fresh = std::make_unique<tStore>();
    ASSERT_TRUE(LoadBank(*fresh, 2, kBankPath, nullptr, kLoadNormal, error));
    EXPECT_STREQ(fresh->GetSingle(tStore::MakeId(2, 7)).Name, "Saved 7");
    EXPECT_FALSE(folder.Exists(std::string(kBankFile) + ".as"));
    EXPECT_FALSE(folder.Exists(std::string(kBankFile) + ".as.bak"));
    EXPECT_TRUE(folder.Exists(std::string(kBankFile) + ".bak"));

    // An auto-save load prefers the auto-save file.
    folder.Write(kBankFile, saved);
    ASSERT_TRUE(Save(2, true));
    ASSERT_TRUE(LoadBank(*fresh, 2, kBankPath, nullptr, kLoadAutoSave, error));
    EXPECT_STREQ(fresh->GetSingle(tStore::MakeId(2, 7)).Name, "Auto 7");

    // Nothing loads: the text of the file asked for first, and the
    // auto-saves still go.
    folder.Write(std::string(kBankFile) + ".as", "junk");
    std::filesystem::remove(folder.Doc(kBankFile));
    std::filesystem::remove(folder.Doc(std::string(kBankFile) + ".bak"));
    EXPECT_FALSE(LoadBank(*fresh, 2, kBankPath, nullptr, kLoadNormal, error));
    EXPECT_STREQ(error.CStr(), "Bank file missing.");
    EXPECT_FALSE(folder.Exists(std::string(kBankFile) + ".as"));

    // A damaged bank is told as damaged though its fallbacks are missing,
    // and garbage is never taken for a newer bank.
    folder.Write(kBankFile, std::string("\xff\xff\xff\x7f", 4) + "garbage");
    EXPECT_FALSE(LoadBank(*fresh, 2, kBankPath, nullptr, kLoadNormal, error));
    EXPECT_STREQ(error.CStr(), "Kest bank file is not the expected size.");
}

// Legacy banks: version 1 stores its singles as 0xDDDDDDDD records of patch
// version 1 (converted delay values), version 3 as records of version 2.
TEST_F(BankFileTest, LegacyBanksLoad)
{
    cAnalogueSynthSingle single;
    single.SetName("Old Strings");
    single.CD.DAmount = 0.5f;
    single.CD.CDelay = 0.1f;
    single.LFO2.BeatRate = 5; // "2" in the old list
    single.Sample.NoteSlice = 3; // not stored in legacy records
    cAnalogueSynthMulti multi;
    multi.SetName("Old Multi");
    multi.layers[2].Index = 0x0203;
    struct cCase
    {
        uint32_t version;
        float amount;
        float delay;
    };
    for (const cCase& c : {cCase{1, 0.25f, 0.35f}, cCase{3, 0.5f, 0.1f}})
    {
        SCOPED_TRACE(c.version);
        std::vector<std::string> paths(64);
        paths[4] = "User/Samples/Old.wav";
        folder.Write("Old.bnk", EncodeBank(c.version, EncodeSingle(single, true), EncodeMulti(multi, true), paths));
        ASSERT_TRUE(Load(4, 0, nullptr, "Old")) << error.CStr();
        const cAnalogueSynthSingle& read = store->GetSingle(tStore::MakeId(4, 63));
        EXPECT_STREQ(read.Name, "Old Strings");
        EXPECT_FLOAT_EQ(read.CD.DAmount, c.amount);
        EXPECT_FLOAT_EQ(read.CD.CDelay, c.delay);
        EXPECT_EQ(read.LFO2.BeatRate, 8);
        EXPECT_EQ(read.Sample.NoteSlice, 0);
        EXPECT_EQ(store->GetMulti(tStore::MakeId(4, 0)).layers[2].Index, 0x0203);
        EXPECT_STREQ(store->GetSamplePath(tStore::MakeId(4, 4)).CStr(), "User/Samples/Old.wav");
    }
}

// During an export the project bank file holds, in each project slot that
// received a global preset, that preset and its sample path; paths are
// stored relative to the project folder.
TEST_F(BankFileTest, AnExportFillsTheProjectBank)
{
    const int32_t pad = tStore::MakeId(0, 5);
    store->GetSingle(pad).SetName("Warm Pad");
    store->SetSamplePath(pad, "User/Samples/Pad.wav");
    const int32_t own = tStore::MakeId(7, 0);
    store->GetSingle(own).SetName("Project Own");
    store->SetSamplePath(own, "User/Projects/Song.prj/Own.wav");
    cAnalogueSynthMulti& layered = store->GetMulti(tStore::MakeId(7, 2));
    layered.layers[0].Index = -1;
    layered.layers[1].Index = pad;

    store->ExportMapCollect();
    store->AddUsedPreset(own, 0);
    store->AddUsedPreset(pad, 0);
    store->AddUsedPreset(tStore::MakeId(7, 2), 1);
    store->ExportMapFinalize();
    ASSERT_EQ(store->MapPreset(pad, 0), tStore::MakeId(7, 1));

    cSampleRelocator relocator("User/Projects/Song.prj", true);
    ASSERT_TRUE(Save(7, false, &relocator, "User/Projects/Song.prj/Kest"));
    const std::string file = folder.Read("User/Projects/Song.prj/Kest.bnk");
    EXPECT_NE(file.find(std::string("Own.wav") + '\0'), std::string::npos);
    EXPECT_NE(file.find("/User/Samples/Pad.wav"), std::string::npos);
    // The store keeps its own paths while the relocator keeps them.
    EXPECT_STREQ(store->GetSamplePath(pad).CStr(), "User/Samples/Pad.wav");

    auto loaded = std::make_unique<tStore>();
    ASSERT_TRUE(LoadBank(*loaded, 7, "User/Projects/Song.prj/Kest", &relocator, 0, error));
    EXPECT_STREQ(loaded->GetSingle(tStore::MakeId(7, 1)).Name, "Warm Pad");
    EXPECT_STREQ(loaded->GetSamplePath(tStore::MakeId(7, 1)).CStr(), "User/Samples/Pad.wav");
    EXPECT_STREQ(loaded->GetSingle(own).Name, "Project Own");
    EXPECT_STREQ(loaded->GetSamplePath(own).CStr(), "User/Projects/Song.prj/Own.wav");
    EXPECT_EQ(loaded->GetMulti(tStore::MakeId(7, 2)).layers[1].Index, tStore::MakeId(7, 1));
    EXPECT_STREQ(loaded->GetSingle(tStore::MakeId(7, 3)).Name, "<EMPTY>");
}

// A relocator that moves samples: the store adopts the new places unless the
// relocator keeps the old paths.
TEST_F(BankFileTest, RelocatedPathsAreAdopted)
{
    class cMoveAll : public cSampleRelocator
    {
    public:
        cMoveAll(bool keep) : cSampleRelocator("User/Projects/New.prj", keep) {}
        void Relocate(cGenString& path) override
        {
            cGenString moved = cGenString::ConstructGrowableFromCStr("User/Projects/New.prj/");
            moved.Append(PathName(path));
            path.Assign(moved);
        }
        static cGenString PathName(const cGenString& path)
        {
            const int slash = path.FindLastChar('/');
            return cGenString::ConstructGrowableFromCStr(path.CStr() + slash + 1);
        }
    };
    const int32_t id = tStore::MakeId(7, 9);
    for (bool keep : {true, false})
    {
        store->SetSamplePath(id, "User/Samples/Hit.wav");
        cMoveAll relocator(keep);
        ASSERT_TRUE(Save(7, false, &relocator, "User/Projects/New.prj/Kest"));
        EXPECT_NE(folder.Read("User/Projects/New.prj/Kest.bnk").find(std::string("Hit.wav") + '\0'),
                  std::string::npos);
        EXPECT_STREQ(store->GetSamplePath(id).CStr(),
                     keep ? "User/Samples/Hit.wav" : "User/Projects/New.prj/Hit.wav");
    }
}

TEST_F(BankFileTest, SavesThatCannotBeWrittenReportIt)
{
    store->SetBankModified(1, true);
    // A folder stands where the file should go.
    std::filesystem::create_directories(folder.Doc("Blocked.bnk"));
    EXPECT_FALSE(Save(1, false, nullptr, "Blocked"));
    EXPECT_TRUE(store->IsBankModified(1));
    // A first save makes the bank's folder.
    ASSERT_TRUE(Save(1, false, nullptr, "Instruments/Kest/New/GlobalB"));
    EXPECT_TRUE(folder.Exists("Instruments/Kest/New/GlobalB.bnk"));
}

// A bank is committed under the audio manager's lock, so the audio thread
// never plays from a bank half replaced.
TEST_F(BankFileTest, TheBankChangesOnlyUnderTheAudioLock)
{
    auto manager = MixerTest::MakePausedAudioManager();
    ASSERT_NE(manager, nullptr);
    FillBank(*store, 3, "New");
    ASSERT_TRUE(Save(3, false, nullptr, "Held"));
    auto target = std::make_unique<tStore>();
    std::atomic<bool> loaded{false};
    std::thread loader;
    {
        cScopedLock audioThread(manager->GetLock());
        loader = std::thread([&] {
            cGenStringFixed<128> text;
            loaded = LoadBank(*target, 3, "Held", nullptr, 0, text);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_FALSE(loaded);
        EXPECT_STREQ(target->GetSingle(tStore::MakeId(3, 0)).Name, "<EMPTY>");
    }
    loader.join();
    EXPECT_TRUE(loaded);
    EXPECT_STREQ(target->GetSingle(tStore::MakeId(3, 0)).Name, "New 0");
}
