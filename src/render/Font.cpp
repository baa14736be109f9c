#include "render/Font.h"

#include "base/File.h"
#include "base/FileSystem.h"
#include "base/FileSystemRegistry.h"
#include "base/PathUtils.h"
#include "base/UTF8.h"
#include "render/Material.h"
#include "render/Renderer.h"
#include "render/Texture.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <strings.h>

cFontRegistry* gFontRegistry = nullptr;

namespace
{
bool ReadU32(File::cFile& file, uint32_t& value)
{
    return file.SerialiseUInt32(&value) == 4;
}

// Reads count records, refusing counts the rest of the file cannot hold;
// the check divides, so no count can wrap it. An allocation that fails is a
// refused file, never an exception out of the reader.
template <class T>
bool ReadRecords(File::cFile& file, std::unique_ptr<T[]>& out, uint64_t count)
{
    const int remaining = file.GetRemaining();
    if (remaining < 0 || count > uint64_t(remaining) / sizeof(T))
        return false;
    out.reset(new (std::nothrow) T[count]);
    const int bytes = int(count * sizeof(T));
    return out && file.Read(out.get(), bytes) == bytes;
}

bool KerningFits(const uint32_t (&starts)[256], const cFontKerning* entries, uint32_t count)
{
    // Every run must end inside the table, so the last entry has to end one.
    if (count == 0 || entries[count - 1].code != 0)
        return false;
    for (uint32_t start : starts)
        if (start >= count)
            return false;
    return true;
}

bool GlyphNumbersFit(const uint32_t (&numbers)[256], uint32_t defaultGlyph, const cFontCodeRange* ranges,
                     uint32_t rangeCount, uint32_t glyphsPerSize)
{
    if (defaultGlyph >= glyphsPerSize)
        return false;
    for (uint32_t number : numbers)
        if (number >= glyphsPerSize)
            return false;
    for (uint32_t i = 0; i < rangeCount; ++i)
    {
        const cFontCodeRange& range = ranges[i];
        if (range.first > range.last)
            return false;
        const uint64_t firstGlyph = uint32_t(range.first + uint32_t(range.offset));
        if (firstGlyph + (range.last - range.first) >= glyphsPerSize)
            return false;
    }
    return true;
}
} // namespace

cFont::cFont() = default;

cFont::~cFont()
{
    delete mMaterial;
}

bool cFont::Load(const char* name)
{
    mName = name;
    if (!gFileSystemRegistry)
        return false;
    File::cFileSystem* res = gFileSystemRegistry->FindFileSystem("Res", nullptr);
    if (!res)
        return false;

    cGenStringFixed<260> path("Fonts/Font");
    path.AppendCString(name);
    path.AppendCString(gRenderer && gRenderer->displayScale == 2.0f ? "_x2.fnt" : ".fnt");
    File::cFile* file = res->Open(path, File::kModeRead, 0);
    if (!file)
        return false;
    cGenStringFixed<260> textureName;
    const bool read = ReadTables(*file, textureName);
    file->Close(false);
    delete file;
    if (!read)
        return false;

    cGenStringFixed<260> texturePath("Fonts");
    if (!PathAppend(texturePath, textureName))
        return false;
    cTexture* texture = cTexture::Load(texturePath.CStr(), kTextureIntensityAsAlpha | kTextureNoDoubleResolution);
    if (!texture)
        return false;
    mMaterial = new cMaterial(kBlendAlpha);
    mMaterial->SetTexture(texture);
    mMaterial->sampling = kSamplingLinear;
    ReleaseTextureReference(texture);
    return true;
}

bool cFont::ReadTables(File::cFile& file, cGenString& textureName)
{
    uint32_t defaultGlyph = 0, kerningCount = 0, sizeCount = 0, glyphsPerSize = 0, rangeCount = 0;
    uint32_t kerningStarts[256];
    uint32_t glyphNumbers[256];
    std::unique_ptr<cFontKerning[]> kerning;
    std::unique_ptr<float[]> sizeValues;
    std::unique_ptr<cFontCodeRange[]> ranges;
    std::unique_ptr<cFontGlyph[]> glyphs;

    if (!file.SerialiseString(textureName) || !ReadU32(file, defaultGlyph) || !ReadU32(file, kerningCount))
        return false;
    if (file.Read(kerningStarts, sizeof(kerningStarts)) != int(sizeof(kerningStarts)))
        return false;
    if (!ReadRecords(file, kerning, kerningCount) || !ReadU32(file, sizeCount) ||
        !ReadRecords(file, sizeValues, sizeCount) || !ReadU32(file, glyphsPerSize))
        return false;
    if (file.Read(glyphNumbers, sizeof(glyphNumbers)) != int(sizeof(glyphNumbers)))
        return false;
    if (!ReadU32(file, rangeCount) || !ReadRecords(file, ranges, rangeCount))
        return false;
    if (sizeCount == 0 || glyphsPerSize == 0 || !ReadRecords(file, glyphs, uint64_t(sizeCount) * glyphsPerSize))
        return false;
    if (!KerningFits(kerningStarts, kerning.get(), kerningCount) ||
        !GlyphNumbersFit(glyphNumbers, defaultGlyph, ranges.get(), rangeCount, glyphsPerSize))
        return false;
    std::unique_ptr<cFontSize[]> sizes(new (std::nothrow) cFontSize[sizeCount]);
    if (!sizes)
        return false;

    mDefaultGlyph = defaultGlyph;
    for (int i = 0; i < 256; ++i)
    {
        mGlyphNumbers[i] = glyphNumbers[i];
        mKerningLists[i] = kerning.get() + kerningStarts[i];
    }
    mKerningCount = kerningCount;
    mKerning = std::move(kerning);
    mCodeRangeCount = rangeCount;
    mCodeRanges = std::move(ranges);
    mGlyphsPerSize = glyphsPerSize;
    mGlyphs = std::move(glyphs);
    mSizeCount = sizeCount;
    mSizes = std::move(sizes);
    for (uint32_t s = 0; s < sizeCount; ++s)
        mSizes[s] = {sizeValues[s], this, mGlyphs.get() + size_t(s) * glyphsPerSize};
    return true;
}

uint32_t cFont::GetGlyphNumber(uint32_t code) const
{
    if (code < 256)
        return mGlyphNumbers[code];
    for (uint32_t i = 0; i < mCodeRangeCount; ++i)
        if (mCodeRanges[i].first <= code && code <= mCodeRanges[i].last)
            return code + uint32_t(mCodeRanges[i].offset);
    return mDefaultGlyph;
}

const cFontGlyph& cFont::GetGlyph(const cFontSize& size, uint32_t code) const
{
    return size.glyphs[GetGlyphNumber(code)];
}

float cFont::GetKerning(uint32_t previous, uint32_t code) const
{
    if (previous >= 256 || code >= 256)
        return 0.0f;
    for (const cFontKerning* entry = mKerningLists[previous]; entry->code != 0; ++entry)
        if (entry->code == code)
            return entry->amount;
    return 0.0f;
}

float cFont::GetAdvance(const cFontSize& size, uint32_t previous, uint32_t code) const
{
    return std::floor(size.size * GetKerning(previous, code) + GetGlyph(size, code).advance + 0.5f);
}

namespace
{
float gSmallestTextSize = 0.0f;
} // namespace

void SetSmallestTextSize(float size) { gSmallestTextSize = size; }

float GetSmallestTextSize() { return gSmallestTextSize; }

const cFontSize* cFont::ChooseSize(float size) const
{
    if (mSizeCount == 0)
        return nullptr;
    size = std::max(size, gSmallestTextSize);
    for (uint32_t s = 0; s < mSizeCount; ++s)
        if (mSizes[s].size >= size)
            return &mSizes[s];
    return &mSizes[mSizeCount - 1];
}

cFontRegistry::cFontRegistry()
{
    gFontRegistry = this;
}

cFontRegistry::~cFontRegistry()
{
    mFonts.clear();
    if (gFontRegistry == this)
        gFontRegistry = nullptr;
}

bool cFontRegistry::Load(const char* name)
{
    auto* font = new cFont();
    if (!font->Load(name))
    {
        delete font;
        return false;
    }
    Add(font);
    return true;
}

void cFontRegistry::Add(cFont* font)
{
    mFonts.emplace_back(font);
}

cFont* cFontRegistry::FindDefault() const
{
    for (const auto& font : mFonts)
        if (strcasecmp(font->GetName(), "Default") == 0)
            return font.get();
    return nullptr;
}

uint32_t NextFontCode(const char* text, int32_t* length)
{
    constexpr char32_t kLastGlyphCode = 0xFF;
    char32_t code = 0;
    const int32_t bytes = ReadUTF8Character(text, &code);
    if (bytes <= 1)
    {
        *length = 1;
        return FontCode(*text);
    }
    *length = bytes;
    return code <= kLastGlyphCode ? uint32_t(code) : uint32_t('?');
}
