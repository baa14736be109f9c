#pragma once
// Round trips of settings records through their XML and binary forms.
#include <string>
#include <vector>

#include "base/File.h"
#include "base/SerialiseXML.h"

// The record written inside an element "Record" of an XML document.
template <class T>
std::string SaveRecordXml(T& record)
{
    File::cFileMemoryWrite out;
    Base::cSerialiseXML s(1.0f, &out, 0);
    s.Begin();
    s.BeginNode("Record", true);
    record.Serialise(s);
    s.EndNode("Record");
    s.End();
    return std::string(reinterpret_cast<const char*>(out.GetData()), size_t(out.GetLength()));
}

// Reads the element "Record" of the text into record; false when missing.
template <class T>
bool LoadRecordXml(const std::string& text, T& record)
{
    File::cFileMemoryRead in(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()));
    Base::cSerialiseXML s(1.0f, &in, 0);
    if (!s.Begin())
        return false;
    const bool found = s.BeginNode("Record", true);
    if (found)
    {
        record.Serialise(s);
        s.EndNode("Record");
    }
    s.End();
    return found;
}

// The bytes of the binary form on a stream of the given legacy patch version.
template <class T>
std::vector<uint8_t> SaveRecordBinary(T& record, int legacyPatchVersion = 0)
{
    File::cFileMemoryWrite out;
    out.SetLegacyPatchVersion(legacyPatchVersion);
    record.SerialiseBinary(out);
    return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetLength());
}

template <class T>
bool LoadRecordBinary(const std::vector<uint8_t>& bytes, T& record, int legacyPatchVersion = 0)
{
    File::cFileMemoryRead in(bytes.data(), int(bytes.size()));
    in.SetLegacyPatchVersion(legacyPatchVersion);
    return record.SerialiseBinary(in) && in.GetRemaining() == 0;
}
