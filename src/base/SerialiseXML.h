#pragma once

#include "base/Serialise.h"

namespace Base
{
class cXMLDocument;
class cXMLElement;
class cXMLNode;

// The XML form of the serialiser: one root element "Root" carrying
// "FileVersion"; nodes are elements, scalar values are attributes of the
// current element, compound values child elements, lists runs of siblings.
// It works on a stream the caller opens and closes.
class cSerialiseXML : public cSerialise
{
public:
    enum : uint32_t
    {
        // Build the document pooled.
        kFlagPooled = 1u << 1,
        // Comments count as nodes in the node operations.
        kFlagComments = 1u << 7,
    };
    static constexpr int32_t kStackSize = 64;

    cSerialiseXML(float expectedVersion, File::cFile* stream, uint32_t flags);
    ~cSerialiseXML() override;

    bool Begin() override;
    bool End() override;
    bool BeginNode(const char* name, bool flag) override;
    bool EndNode(const char* name) override;
    int32_t CountNodes(const char* name) override;
    bool FirstNode(const char* name) override;
    bool NextNode(const char* name) override;
    const char* GetNodeName() override;
    bool SerialiseBytes(const char* name, unsigned char* buffer, int32_t size) override;
    bool SerialiseChars(const char* name, char* buffer, int32_t size) override;
    bool SerialiseJuceString(const char* name, juce::String* value) override;
    bool SerialiseGenString(const char* name, cGenString* value) override;
    bool SerialiseText(const char* name, cGenString* value) override;
    bool SerialiseBool(const char* name, bool* value) override;
    bool SerialiseFloat(const char* name, float* value, float min, float max) override;
    bool SerialiseInt32(const char* name, int32_t* value, int32_t min, int32_t max) override;
    bool SerialiseUInt32(const char* name, uint32_t* value, uint32_t min, uint32_t max) override;
    bool SerialiseInt16(const char* name, int16_t* value, int32_t min, int32_t max) override;
    bool SerialiseUInt16(const char* name, uint16_t* value, int32_t min, int32_t max) override;
    bool SerialiseInt8(const char* name, int8_t* value, int32_t min, int32_t max) override;
    bool SerialiseUInt8(const char* name, uint8_t* value, int32_t min, int32_t max) override;

    // Saves the document from the stream's start.
    bool SaveTo(File::cFile* stream);
    // Why the document could not be loaded; empty when it loaded (a load can
    // still fail for want of a "Root" element).
    const char* GetDocumentError() const;

private:
    void CreateDocument();
    bool UsesComments() const { return (mFlags & kFlagComments) != 0; }
    bool IsUpdating() const;
    cXMLNode* Current() const { return mStack[mTop]; }
    // The current node when it is an element that values can live on.
    cXMLElement* CurrentElement() const;
    cXMLElement* AppendElement(cXMLNode* parent, const char* sanitisedName);
    const char* BuildNodePath();
    // Notes a value the document could not hold; the save then fails.
    bool Store(bool stored)
    {
        mLostValue |= !stored;
        return stored;
    }
    // Reads the attribute's text into the node-path text.
    bool ReadValueText(const char* name);
    bool WriteValueText(const char* name, const char* format, ...) __attribute__((format(printf, 3, 4)));
    // Signed 32-bit read with the range check made before narrowing.
    bool ReadSigned(const char* name, int32_t* value, int32_t min, int32_t max);
    bool ReadUnsigned(const char* name, uint32_t* value, uint32_t min, uint32_t max, bool signedText);
    void ReportOutOfRange(const char* name, const char* value, const char* min, const char* max);

    cXMLDocument* mDocument = nullptr;
    cXMLNode* mRoot = nullptr;
    cGenStringFixed<1024> mNodePath;
    cXMLNode* mStack[kStackSize] = {};
    int32_t mTop = 0;
    bool mLostValue = false;
};

} // namespace Base
