#include "midi/FoldToASCII.h"

#include <cstdint>

namespace
{
constexpr const char* kUnknown = "!";

// Latin-1 code units 0xC0..0xFF.
constexpr const char* kLatin1Letters[64] = {
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I", // 0xC0
    "D", "N", "O", "O", "O", "O", "O",  "x", "O", "U", "U", "U", "U", "Y", "D", "ss", // 0xD0
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i", // 0xE0
    "o", "n", "o", "o", "o", "o", "o",  "!", "o", "u", "u", "u", "u", "y", "d", "y",  // 0xF0
};

const char* FoldCodeUnit(uint32_t unit)
{
    if (unit <= 0x7E)
        return nullptr; // kept as it is
    if (unit >= 0xC0 && unit <= 0xFF)
        return kLatin1Letters[unit - 0xC0];
    switch (unit)
    {
    case 0x83:
        return "f";
    case 0x8A:
        return "S";
    case 0x8C:
        return "OE";
    case 0x9A:
        return "s";
    case 0x9C:
        return "oe";
    case 0x9F:
        return "Y";
    default:
        return kUnknown;
    }
}

// Decodes one UTF-8 sequence at text[i], never reading past size. Returns the
// bytes it takes (1 for an invalid byte, whose code point is then 0xFFFD).
size_t DecodeUTF8(const std::string& text, size_t i, uint32_t& codePoint)
{
    const uint8_t lead = uint8_t(text[i]);
    size_t length = 0;
    uint32_t minimum = 0;
    if (lead < 0x80)
    {
        codePoint = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF)
    {
        length = 2;
        codePoint = lead & 0x1F;
        minimum = 0x80;
    }
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3;
        codePoint = lead & 0x0F;
        minimum = 0x800;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4;
        codePoint = lead & 0x07;
        minimum = 0x10000;
    }
    if (length == 0 || i + length > text.size())
    {
        codePoint = 0xFFFD;
        return 1;
    }
    for (size_t k = 1; k < length; ++k)
    {
        const uint8_t next = uint8_t(text[i + k]);
        if ((next & 0xC0) != 0x80)
        {
            codePoint = 0xFFFD;
            return 1;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
    {
        codePoint = 0xFFFD;
        return 1;
    }
    return length;
}

void AppendFolded(std::string& out, uint32_t unit)
{
    if (const char* folded = FoldCodeUnit(unit))
        out += folded;
    else
        out += char(unit);
}
} // namespace

std::string FoldToASCII(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size())
    {
        uint32_t codePoint = 0;
        i += DecodeUTF8(text, i, codePoint);
        // Outside the basic plane a character is two UTF-16 code units.
        if (codePoint > 0xFFFF)
            out += "!!";
        else
            AppendFolded(out, codePoint);
    }
    return out;
}
