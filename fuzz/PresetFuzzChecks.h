#pragma once
// What the synthesizer preset readers must hold to for any input: shared by
// the fuzz targets and by the tests, which run the seed inputs through them.
// Each check returns an empty text when the input was handled soundly, and
// otherwise says what went wrong.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "base/Base64.h"
#include "base/File.h"
#include "base/SerialiseXML.h"
#include "instruments/synth/AnalogueSynth.h"
#include "instruments/synth/AnalogueSynthBank.h"
#include "instruments/synth/AnalogueSynthPresetStore.h"
#include "instruments/synth/EditPresetData.h"

namespace PresetFuzz
{
constexpr int32_t kBank = 2;

template <class T>
std::string RecordBytes(T record)
{
    File::cFileMemoryWrite stream;
    record.SerialiseBinary(stream);
    return std::string(reinterpret_cast<const char*>(stream.GetData()), size_t(stream.GetLength()));
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool NameEnds(const char* name) { return std::memchr(name, 0, kPresetNameSize) != nullptr; }

// Every record and path of the bank.
inline std::string BankContents(const cAnalogueSynthPresetStore& store)
{
    std::string contents;
    for (int32_t slot = 0; slot < cAnalogueSynthPresetStore::kSlotCount; ++slot)
    {
        const int32_t id = cAnalogueSynthPresetStore::MakeId(kBank, slot);
        contents += RecordBytes(store.GetSingle(id)) + RecordBytes(store.GetMulti(id));
        contents += store.GetSamplePath(id).CStr();
        contents += '\n';
    }
    return contents;
}

inline std::unique_ptr<cAnalogueSynthPresetStore> NamedStore()
{
    auto store = std::make_unique<cAnalogueSynthPresetStore>();
    for (int32_t slot = 0; slot < cAnalogueSynthPresetStore::kSlotCount; ++slot)
        store->GetSingle(cAnalogueSynthPresetStore::MakeId(kBank, slot)).SetName("Before");
    return store;
}

// The bytes as a bank file in folder, which the caller has mounted as "Doc":
// a refused file changes nothing and says why; an accepted one holds names
// that end inside their field, and saves, loads and saves again to the same
// file.
inline std::string CheckBankFileBytes(const uint8_t* data, size_t size, const std::string& folder)
{
    std::ofstream(folder + "/Fuzz.bnk", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    auto store = NamedStore();
    const std::string before = BankContents(*store);
    cGenStringFixed<128> error;
    if (!LoadBank(*store, kBank, "Fuzz", nullptr, 0, error))
    {
        if (BankContents(*store) != before)
            return "a refused bank changed the store";
        static const char* const kTexts[] = {"Kest bank was saved with a newer version of Quilwright.",
                                             "Kest bank file is not the expected size.",
                                             "Error reading Kest bank file.", "Unknown Error"};
        for (const char* text : kTexts)
            if (std::strcmp(error.CStr(), text) == 0)
                return std::string();
        return std::string("unexpected error text: ") + error.CStr();
    }
    for (int32_t slot = 0; slot < cAnalogueSynthPresetStore::kSlotCount; ++slot)
    {
        const int32_t id = cAnalogueSynthPresetStore::MakeId(kBank, slot);
        if (!NameEnds(store->GetSingle(id).Name) || !NameEnds(store->GetMulti(id).Name))
            return "a name runs past its field";
    }
    // The writer stores layer ids in their canonical form, so the first save
    // may differ from the input; from there on a bank saves as it loads.
    if (!SaveBank(*store, kBank, "FuzzCopy", nullptr, false))
        return "an accepted bank could not be saved";
    auto again = NamedStore();
    if (!LoadBank(*again, kBank, "FuzzCopy", nullptr, 0, error))
        return std::string("a saved bank did not load: ") + error.CStr();
    if (!SaveBank(*again, kBank, "FuzzCopy2", nullptr, false))
        return "a reloaded bank could not be saved";
    if (ReadFile(folder + "/FuzzCopy.bnk") != ReadFile(folder + "/FuzzCopy2.bnk"))
        return "a saved bank saved again differently";
    return std::string();
}

// A project file of the bytes' version whose module element carries the
// bytes as its edit data.
inline std::string ProjectWithEdits(int32_t fileVersion, const uint8_t* data, size_t size)
{
    std::vector<uint8_t> encoded;
    Base64Encode(data, int32_t(size), encoded);
    File::cFileMemoryWrite stream;
    Base::cSerialiseXML serialiser(float(fileVersion), &stream, 0);
    serialiser.Begin();
    serialiser.BeginNode("AM", true);
    int32_t id = 0;
    bool flag = true;
    cGenString text = cGenString::ConstructGrowableCopy(reinterpret_cast<const char*>(encoded.data()));
    serialiser.SerialiseInt32("SingleI", &id, 0, 0);
    serialiser.SerialiseBool("Modified", &flag);
    serialiser.SerialiseGenString("EditPresetData", &text);
    serialiser.EndNode("AM");
    serialiser.End();
    return std::string(reinterpret_cast<const char*>(stream.GetData()), size_t(stream.GetLength()));
}

// The first byte picks the project's file version (0 to 7), the rest is the
// edit block. A block that reads holds names that end inside their field
// and writes and reads back the same; one that does not changes nothing, and
// a module given it through a project plays its stored preset, unmodified.
inline std::string CheckEditPresetBytes(const uint8_t* data, size_t size)
{
    const int32_t fileVersion = size ? data[0] % 8 : 0;
    const uint8_t* block = size ? data + 1 : data;
    const int32_t length = size ? int32_t(size - 1) : 0;

    cEditPresetData edits;
    const std::vector<uint8_t> untouched = edits.Write(6);
    const bool read = edits.Read(block, length, fileVersion);
    if (!read && edits.Write(6) != untouched)
        return "a refused block changed the edits";
    if (read)
    {
        if (!NameEnds(edits.single.Name) || !NameEnds(edits.multi.Name))
            return "a name runs past its field";
        const std::vector<uint8_t> written = edits.Write(6);
        cEditPresetData again;
        if (!again.Read(written.data(), int32_t(written.size()), 6) || again.Write(6) != written)
            return "a written block read back differently";
    }

    static cAnalogueSynthPresetStore* store = new cAnalogueSynthPresetStore();
    cAnalogueSynth module(nullptr);
    module.SetStore(store);
    const std::string project = ProjectWithEdits(fileVersion, block, size_t(length));
    File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>(project.data()), int(project.size()));
    Base::cSerialiseXML serialiser(6.0f, &stream, 0);
    if (!serialiser.Begin() || !serialiser.BeginNode("AM", true))
        return "the project text did not parse";
    module.Serialise(serialiser, nullptr, nullptr);
    serialiser.EndNode("AM");
    serialiser.End();
    if (module.IsModified() != read)
        return "the module's modified flag does not say whether the edits read";
    const std::string edit = RecordBytes(module.GetEditSingle());
    if (edit != RecordBytes(read ? edits.single : module.GetStoredSingle()))
        return "the module plays other edits than the block holds";
    return std::string();
}
} // namespace PresetFuzz
