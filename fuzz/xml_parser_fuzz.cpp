// Feeds arbitrary bytes to the XML parser, owned and pooled, and to the XML
// serialiser's reading side. A loaded tree of elements and attributes (what
// the serialiser writes) must print, load again and print the same. Other
// markup is kept loosely by design and is only printed.

#include <cfloat>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/File.h"
#include "base/SerialiseXML.h"
#include "base/XMLDocument.h"

namespace
{
std::string Print(Base::cXMLDocument& document)
{
    File::cFileMemoryWrite stream;
    if (!document.SaveFile(&stream))
        std::abort();
    const uint8_t* data = stream.GetData();
    return data ? std::string(reinterpret_cast<const char*>(data), size_t(stream.GetLength())) : std::string();
}

bool Load(Base::cXMLDocument& document, const std::string& text)
{
    File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()));
    return document.LoadFile(&stream);
}

// Leaves only elements, the nodes the serialiser writes.
void KeepElementsOnly(Base::cXMLNode* node)
{
    Base::cXMLNode* child = node->FirstChild(nullptr, true);
    while (child != nullptr)
    {
        Base::cXMLNode* next = child->NextSibling(nullptr, true);
        if (child->GetType() == Base::cXMLNode::kElement)
            KeepElementsOnly(child);
        else
            node->RemoveChild(child);
        child = next;
    }
}

void CheckReprint(const std::string& printed)
{
    if (printed.empty())
        return;
    Base::cXMLDocument second;
    if (!Load(second, printed))
        std::abort();
    const std::string again = Print(second);
    Base::cXMLDocument third;
    if (!Load(third, again) || Print(third) != again)
        std::abort();
}

void ReadWithSerialiser(const uint8_t* data, size_t size, uint32_t flags)
{
    File::cFileMemoryRead stream(data, int(size));
    Base::cSerialiseXML serialiser(1.0f, &stream, flags);
    if (!serialiser.Begin())
        return;
    int32_t number = 0;
    float real = 0;
    bool flag = false;
    char chars[8];
    cGenString text;
    serialiser.SerialiseInt32("FileVersion", &number, -5, 5);
    serialiser.CountNodes(nullptr);
    if (serialiser.BeginNode(nullptr, true))
    {
        do
        {
            serialiser.SerialiseFloat("a", &real, -1.0f, 1.0f);
            serialiser.SerialiseBool("b", &flag);
            serialiser.SerialiseChars("c", chars, sizeof(chars));
            serialiser.SerialiseText("d", &text);
            serialiser.SerialiseEnum("e", &number, nullptr);
            serialiser.GetNodeName();
        } while (serialiser.NextNode(nullptr));
        serialiser.EndNode(nullptr);
    }
    serialiser.End();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    const std::string input(reinterpret_cast<const char*>(data), size);

    Base::cXMLDocument owned;
    if (Load(owned, input))
    {
        Print(owned);
        KeepElementsOnly(&owned);
        CheckReprint(Print(owned));
    }

    Base::cXMLDocument pooled(true);
    if (Load(pooled, input))
        Print(pooled);
    if (Base::cXMLNode* copy = pooled.Clone())
    {
        pooled.ReleaseLoadData();
        Print(*copy->ToDocument());
        delete copy;
    }

    ReadWithSerialiser(data, size, 0);
    ReadWithSerialiser(data, size, Base::cSerialiseXML::kFlagPooled);
    return 0;
}
