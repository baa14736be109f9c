#pragma once

#include <memory>
#include <string>

#include "base/File.h"
#include "base/XMLDocument.h"

// Loads text into a document through a memory stream, as files are loaded.
inline bool LoadText(Base::cXMLDocument& document, const std::string& text)
{
    File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()));
    return document.LoadFile(&stream);
}

// The bytes a document saves.
inline std::string SaveText(Base::cXMLDocument& document)
{
    File::cFileMemoryWrite stream;
    document.SaveFile(&stream);
    const uint8_t* data = stream.GetData();
    return data ? std::string(reinterpret_cast<const char*>(data), size_t(stream.GetLength())) : std::string();
}

// The bytes written into a memory write stream so far.
inline std::string StreamText(const File::cFileMemoryWrite& stream)
{
    const uint8_t* data = stream.GetData();
    return data ? std::string(reinterpret_cast<const char*>(data), size_t(stream.GetLength())) : std::string();
}
