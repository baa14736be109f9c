#include "support/TestFont.h"

#include "base/File.h"
#include "base/GenString.h"

#include <cstring>

namespace
{
template <class T>
void Put(std::vector<uint8_t>& out, const T& value)
{
    const size_t at = out.size();
    out.resize(at + sizeof(T));
    std::memcpy(out.data() + at, &value, sizeof(T));
}
} // namespace

std::vector<uint8_t> TestFontBytes()
{
    constexpr uint32_t kGlyphs = 130;
    const float sizes[3] = {10, 12, 16};
    std::vector<uint8_t> out;
    const char texture[] = "TestFont.pvr";
    Put(out, uint32_t(sizeof(texture) - 1));
    for (char c : texture)
        Put(out, c);
    Put(out, uint32_t(0)); // default glyph
    const cFontKerning kerning[3] = {{0, 0}, {'V', -0.2f}, {0, 0}};
    Put(out, uint32_t(3));
    for (uint32_t c = 0; c < 256; ++c)
        Put(out, uint32_t(c == 'A' ? 1 : 0));
    for (const cFontKerning& k : kerning)
        Put(out, k);
    Put(out, uint32_t(3));
    for (float size : sizes)
        Put(out, size);
    Put(out, kGlyphs);
    for (uint32_t c = 0; c < 256; ++c)
        Put(out, uint32_t(c < 128 ? c : 0));
    Put(out, uint32_t(1));
    Put(out, cFontCodeRange{0xffffffe9u, 0xffffffe9u, int32_t(129 + 23)});
    for (float size : sizes)
        for (uint32_t g = 0; g < kGlyphs; ++g)
            Put(out, cFontGlyph{size / 2, 0, 0, size / 2, size, float(g), 0, float(g) + 0.5f, 1});
    return out;
}

cFont* MakeTestFont()
{
    const std::vector<uint8_t> out = TestFontBytes();
    auto* font = new cFont();
    font->SetName("Default");
    File::cFileMemoryRead stream(out.data(), int(out.size()));
    cGenStringFixed<260> textureName;
    if (!font->ReadTables(stream, textureName))
    {
        delete font;
        return nullptr;
    }
    return font;
}
