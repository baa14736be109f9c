#include "instruments/synth/AnalogueSynthPresetStore.h"

#include <algorithm>

namespace
{
constexpr char kBankLetters[] = "ABCDEFGP";
constexpr int32_t kProjectBase = cAnalogueSynthPresetStore::kProjectBank * cAnalogueSynthPresetStore::kSlotCount;
} // namespace

char cAnalogueSynthPresetStore::GetBankLetter(int32_t bank) { return kBankLetters[bank & 7]; }

cAnalogueSynthPresetStore::cAnalogueSynthPresetStore()
    : mMultis(new cAnalogueSynthMulti[kPresetCount]), mSingles(new cAnalogueSynthSingle[kPresetCount]),
      mSamplePaths(new cGenStringFixed<260>[kPresetCount])
{
    Reset();
}

cAnalogueSynthPresetStore::~cAnalogueSynthPresetStore() = default;

void cAnalogueSynthPresetStore::Reset()
{
    for (int32_t i = 0; i < kPresetCount; ++i)
    {
        mMultis[i].Clear();
        mSingles[i].Clear();
        mSamplePaths[i].AssignCStr("");
    }
    std::fill(std::begin(mBankModified), std::end(mBankModified), 0);
    ExportMapBegin();
}

void cAnalogueSynthPresetStore::ClearProjectBank()
{
    for (int32_t i = kProjectBase; i < kProjectBase + kSlotCount; ++i)
    {
        mMultis[i].Clear();
        mSingles[i].Clear();
        mSamplePaths[i].AssignCStr("");
    }
    mBankModified[kProjectBank] = 0;
}

void cAnalogueSynthPresetStore::WriteSingle(int32_t id, const cAnalogueSynthSingle& single, const cGenString& path)
{
    mSingles[IndexOf(id)] = single;
    SetSamplePath(id, path);
    SetBankModified(BankOf(id), true);
}

void cAnalogueSynthPresetStore::WriteMulti(int32_t id, const cAnalogueSynthMulti& multi)
{
    mMultis[IndexOf(id)] = multi;
    SetBankModified(BankOf(id), true);
}

bool cAnalogueSynthPresetStore::IsSampleInUse(const cGenString& path) const
{
    if (path.IsEmpty())
        return false;
    for (int32_t i = 0; i < kPresetCount; ++i)
        if (cGenString::EqualsNoCase(mSamplePaths[i], path))
            return true;
    return false;
}

void cAnalogueSynthPresetStore::FormatPresetText(cGenString& out, int32_t id, const char* name)
{
    out.Printf("%c%02d.%s", GetBankLetter(BankOf(id)), int(id & 0x3F), name);
}

void cAnalogueSynthPresetStore::GetPresetText(cGenString& out, int32_t id, int32_t kind) const
{
    FormatPresetText(out, id, GetPresetName(kind, id));
}

const char* cAnalogueSynthPresetStore::GetPresetName(int32_t kind, int32_t id) const
{
    if (kind == 0)
        return GetSingle(id).Name;
    if (kind == 1)
        return GetMulti(id).Name;
    return "";
}

void cAnalogueSynthPresetStore::ExportMapBegin()
{
    mSingleCursor = -1;
    mMultiCursor = -1;
    for (int32_t i = 0; i < kPresetCount; ++i)
        mSingleExportMap[i] = mMultiExportMap[i] = IdOf(i);
}

void cAnalogueSynthPresetStore::ExportMapCollect()
{
    mSingleCursor = -1;
    mMultiCursor = -1;
    std::fill(std::begin(mSingleExportMap), std::end(mSingleExportMap), kExportUnused);
    std::fill(std::begin(mMultiExportMap), std::end(mMultiExportMap), kExportUnused);
}

void cAnalogueSynthPresetStore::AddUsedPreset(int32_t id, int32_t kind)
{
    if (kind == 0)
        mSingleExportMap[IndexOf(id)] = kExportUsed;
    if (kind != 1)
        return;
    mMultiExportMap[IndexOf(id)] = kExportUsed;
    for (const cAnalogueSynthMulti::cLayer& layer : GetMulti(id).layers)
        if (layer.Index != cAnalogueSynthMulti::kLayerOff)
            mSingleExportMap[IndexOf(layer.Index)] = kExportUsed;
}

void cAnalogueSynthPresetStore::ExportMapFinalize()
{
    FinalizeMap(mSingleExportMap, mSingleCursor);
    FinalizeMap(mMultiExportMap, mMultiCursor);
}

void cAnalogueSynthPresetStore::FinalizeMap(int32_t* map, int32_t& cursor)
{
    for (int32_t i = 0; i < kProjectBase; ++i)
    {
        if (map[i] != kExportUsed)
            continue;
        const int32_t target = NextFreeProjectSlot(map, cursor);
        map[i] = target;
        if (target >= 0)
            map[IndexOf(target)] = IdOf(i);
    }
    for (int32_t i = kProjectBase; i < kPresetCount; ++i)
        if (map[i] == kExportUsed)
            map[i] = IdOf(i);
}

int32_t cAnalogueSynthPresetStore::NextFreeProjectSlot(const int32_t* map, int32_t& cursor)
{
    for (++cursor; cursor < kSlotCount; ++cursor)
        if (map[kProjectBase + cursor] == kExportUnused)
            return MakeId(kProjectBank, cursor);
    cursor = kSlotCount;
    return -1;
}

int32_t cAnalogueSynthPresetStore::NextFreeProjectSingle() { return NextFreeProjectSlot(mSingleExportMap, mSingleCursor); }

int32_t cAnalogueSynthPresetStore::MapPreset(int32_t id, int32_t kind) const
{
    if (kind != 0 && kind != 1)
        return 0;
    if (BankOf(id) == kProjectBank)
        return id;
    const int32_t mapped = (kind == 0 ? mSingleExportMap : mMultiExportMap)[IndexOf(id)];
    return mapped >= 0 ? mapped : id;
}

void cAnalogueSynthPresetStore::MapMultiLayers(cAnalogueSynthMulti& multi) const
{
    for (cAnalogueSynthMulti::cLayer& layer : multi.layers)
        layer.Index = MapPreset(layer.Index, 0);
}
