#include "instruments/synth/EditPresetData.h"

#include <memory>
#include <string>

#include "base/Base64.h"
#include "base/File.h"

std::vector<uint8_t> cEditPresetData::Write(int32_t fileVersion)
{
    File::cFileMemoryWrite stream;
    stream.SetFileVersion(fileVersion);
    single.SerialiseBinary(stream);
    stream.SerialiseString(samplePath);
    multi.SerialiseBinary(stream);
    const uint8_t* bytes = stream.GetData();
    return bytes ? std::vector<uint8_t>(bytes, bytes + stream.GetLength()) : std::vector<uint8_t>();
}

bool cEditPresetData::Read(const uint8_t* bytes, int32_t length, int32_t fileVersion)
{
    File::cFileMemoryRead stream(bytes, length);
    stream.SetFileVersion(fileVersion);
    std::unique_ptr<cEditPresetData> read(new cEditPresetData(*this));
    if (!read->single.SerialiseBinary(stream) || !stream.SerialiseString(read->samplePath) ||
        !read->multi.SerialiseBinary(stream))
        return false;
    *this = *read;
    return true;
}

void EncodeEditPresetText(const std::vector<uint8_t>& block, cGenString& text)
{
    std::vector<uint8_t> encoded;
    Base64Encode(block.data(), int32_t(block.size()), encoded);
    std::string line;
    line.reserve(encoded.size());
    for (uint8_t c : encoded)
        if (c != '\r' && c != '\n' && c != 0)
            line.push_back(char(c));
    text.AssignChars(line.data(), int(line.size()));
}

std::vector<uint8_t> DecodeEditPresetText(const cGenString& text)
{
    std::vector<uint8_t> bytes;
    Base64Decode(text.CStr(), text.Length(), bytes);
    return bytes;
}
