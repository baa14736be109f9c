#include "base/Base64.h"

#include <cstddef>

namespace
{
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kGroupsPerLine = 18;
constexpr int8_t kNotSignificant = -1;

// Six-bit values of '+' to 'z'; -1 for characters outside the alphabet.
constexpr char kTableFirst = '+';
constexpr int kTableSize = 'z' - '+' + 1;

struct sDecodeTable
{
    int8_t values[kTableSize];
    constexpr sDecodeTable() : values()
    {
        for (int i = 0; i < kTableSize; ++i)
            values[i] = kNotSignificant;
        for (int i = 0; i < 64; ++i)
            values[kAlphabet[i] - kTableFirst] = int8_t(i);
    }
};
constexpr sDecodeTable kDecode;

int SixBitValue(char c)
{
    const int index = int((unsigned char)c) - kTableFirst;
    return (index < 0 || index >= kTableSize) ? kNotSignificant : kDecode.values[index];
}
} // namespace

void Base64Encode(const uint8_t* data, int32_t length, std::vector<uint8_t>& out)
{
    out.reserve(out.size() + size_t(length) * 3 / 2);
    int groups = 0;
    for (int32_t i = 0; i < length; i += 3)
    {
        const int count = length - i < 3 ? length - i : 3;
        const uint8_t b0 = data[i];
        const uint8_t b1 = count > 1 ? data[i + 1] : 0;
        const uint8_t b2 = count > 2 ? data[i + 2] : 0;
        out.push_back(uint8_t(kAlphabet[b0 >> 2]));
        out.push_back(uint8_t(kAlphabet[((b0 & 0x03) << 4) | (b1 >> 4)]));
        out.push_back(uint8_t(count > 1 ? kAlphabet[((b1 & 0x0f) << 2) | (b2 >> 6)] : '='));
        out.push_back(uint8_t(count > 2 ? kAlphabet[b2 & 0x3f] : '='));
        const bool last = i + 3 >= length;
        if (++groups == kGroupsPerLine || last)
        {
            out.push_back('\r');
            out.push_back('\n');
            groups = 0;
        }
    }
    out.push_back(0);
}

void Base64Decode(const char* text, int32_t length, std::vector<uint8_t>& out)
{
    out.reserve(out.size() + size_t(length > 0 ? length : 0));
    int32_t position = 0;
    while (position < length)
    {
        int values[4] = {0, 0, 0, 0};
        int found = 0;
        while (found < 4 && position < length)
        {
            const int value = SixBitValue(text[position++]);
            if (value != kNotSignificant)
                values[found++] = value;
        }
        const uint8_t bytes[3] = {uint8_t((values[0] << 2) | (values[1] >> 4)),
                                  uint8_t((values[1] << 4) | (values[2] >> 2)),
                                  uint8_t((values[2] << 6) | values[3])};
        for (int i = 0; i + 1 < found; ++i)
            out.push_back(bytes[i]);
    }
}
