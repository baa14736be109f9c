#include "base/SerialiseXML.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/File.h"
#include "base/XMLDocument.h"

namespace Base
{
namespace
{
constexpr double kVersionTolerance = 1e-6;

const char* SkipNumberBlanks(const char* text)
{
    while (IsBlankChar(*text))
        ++text;
    return text;
}

// Leading blanks, an optional sign, digits; stops at the first other byte.
// No digits give 0; beyond the 32-bit range the nearest limit.
int32_t ParseSigned32(const char* text)
{
    text = SkipNumberBlanks(text);
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    int64_t magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        if (magnitude <= int64_t(INT32_MAX) + 1)
            magnitude = magnitude * 10 + (*text - '0');
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return int32_t(value);
}

// The same for unsigned text: beyond the range the largest value, and a
// leading minus negates modulo 2^32.
uint32_t ParseUnsigned32(const char* text)
{
    text = SkipNumberBlanks(text);
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    uint64_t magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
    {
        magnitude = magnitude * 10 + uint64_t(*text - '0');
        if (magnitude > UINT32_MAX)
            return UINT32_MAX;
    }
    return negative ? uint32_t(0u - uint32_t(magnitude)) : uint32_t(magnitude);
}

bool NameIs(const cGenString& text, const char* word)
{
    return cGenString::EqualsNoCase(text, cGenString(word));
}
} // namespace

cSerialiseXML::cSerialiseXML(float expectedVersion, File::cFile* stream, uint32_t flags)
    : cSerialise(expectedVersion, stream, flags)
{
    CreateDocument();
}

cSerialiseXML::~cSerialiseXML()
{
    delete mDocument;
}

void cSerialiseXML::CreateDocument()
{
    mTop = 0;
    mDocument = new cXMLDocument((mFlags & kFlagPooled) != 0);
    mRoot = mDocument;
    mStack[0] = mDocument;
}

bool cSerialiseXML::IsUpdating() const
{
    return mStream != nullptr && mStream->GetMode() == File::kModeUpdate;
}

cXMLElement* cSerialiseXML::CurrentElement() const
{
    return Current()->ToElement();
}

cXMLElement* cSerialiseXML::AppendElement(cXMLNode* parent, const char* sanitisedName)
{
    cXMLElement* element = new (std::nothrow) cXMLElement(sanitisedName);
    if (element != nullptr)
        parent->LinkEndChild(element);
    return element;
}

// ------------------------------------------------------------ begin and end

bool cSerialiseXML::Begin()
{
    cSerialise::Begin();
    if (mStream == nullptr)
    {
        cSerialise::End();
        return false;
    }
    if (IsSaving())
    {
        BeginNode("Root", true);
        float version = mExpectedVersion;
        SerialiseFloat("FileVersion", &version, -FLT_MAX, FLT_MAX);
    }
    else
    {
        if (!mDocument->LoadFile(mStream))
        {
            LogMessage(4, "Couldn't load XML file `%s': %s", mStreamName, mDocument->GetErrorText());
            PrintErrors();
            cSerialise::End();
            return false;
        }
        if (!BeginNode("Root", true))
        {
            PrintErrors();
            cSerialise::End();
            return false;
        }
        SerialiseFloat("FileVersion", &mReadVersion, -FLT_MAX, FLT_MAX);
        if (std::fabs(double(mReadVersion) - double(mExpectedVersion)) > kVersionTolerance)
            LogMessage(2, "File version of '%s' is wrong - expected '%f', got '%f'", mStreamName,
                       double(mExpectedVersion), double(mReadVersion));
    }
    mRoot = Current();
    return true;
}

bool cSerialiseXML::End()
{
    // A save the stream did not take whole, or that lost a value on the way,
    // is reported, not hidden.
    bool saved = true;
    if (IsSaving())
        saved = mDocument->SaveFile(mStream) && !mLostValue;
    if ((mFlags & kFlagPooled) && mDocument->IsPooled())
    {
        mDocument->ReleaseLoadData();
        mTop = 0;
    }
    EndNode(nullptr);
    cSerialise::End();
    return saved;
}

bool cSerialiseXML::SaveTo(File::cFile* stream)
{
    stream->Seek(0, 0);
    return mDocument->SaveFile(stream);
}

const char* cSerialiseXML::GetDocumentError() const { return mDocument->GetErrorText(); }

// -------------------------------------------------------------------- nodes

bool cSerialiseXML::BeginNode(const char* name, bool)
{
    if (!mActive || mTop + 1 >= kStackSize)
        return false;
    cGenStringFixed<128> sanitised;
    SanitiseNodeName(name, &sanitised);
    cXMLNode* node;
    if (IsSaving())
        node = AppendElement(Current(), sanitised.CStr());
    else if (name == nullptr || name[0] == 0)
        node = Current()->FirstChild(nullptr, UsesComments());
    else
        node = Current()->FirstChild(sanitised.CStr(), UsesComments());
    if (node == nullptr)
        return false;
    mStack[++mTop] = node;
    return true;
}

bool cSerialiseXML::EndNode(const char*)
{
    if (mTop > 0)
        --mTop;
    return true;
}

int32_t cSerialiseXML::CountNodes(const char* name)
{
    cGenStringFixed<128> sanitised;
    SanitiseNodeName(name, &sanitised);
    const char* search = name ? sanitised.CStr() : nullptr;
    int32_t count = 0;
    for (cXMLNode* node = Current()->FirstChild(search, UsesComments()); node != nullptr;
         node = node->NextSibling(search, UsesComments()))
        ++count;
    return count;
}

bool cSerialiseXML::FirstNode(const char* name)
{
    cXMLNode* parent = Current()->GetParent();
    if (mTop == 0 || parent == nullptr)
        return false;
    cGenStringFixed<128> sanitised;
    SanitiseNodeName(name, &sanitised);
    const char* search = name ? sanitised.CStr() : nullptr;
    cXMLNode* node = nullptr;
    if (!IsSaving() || IsUpdating())
        node = parent->FirstChild(search, UsesComments());
    if (node == nullptr && IsSaving())
        node = AppendElement(parent, sanitised.CStr());
    if (node == nullptr)
        return false;
    mStack[mTop] = node;
    return true;
}

bool cSerialiseXML::NextNode(const char* name)
{
    cXMLNode* current = Current();
    cXMLNode* parent = current->GetParent();
    if (mTop == 0 || parent == nullptr)
        return false;
    cGenStringFixed<128> sanitised;
    SanitiseNodeName(name, &sanitised);
    const char* search = name ? sanitised.CStr() : nullptr;
    cXMLNode* node = nullptr;
    if (!IsSaving() || IsUpdating())
        node = current->NextSibling(search, UsesComments());
    if (node == nullptr && IsSaving())
        node = AppendElement(parent, sanitised.CStr());
    if (node == nullptr)
        return false;
    mStack[mTop] = node;
    return true;
}

const char* cSerialiseXML::GetNodeName()
{
    return mTop == 0 ? "" : Current()->GetValue();
}

const char* cSerialiseXML::BuildNodePath()
{
    mNodePath.AssignCStr(mStack[0]->GetValue());
    for (int32_t i = 1; i <= mTop; ++i)
    {
        mNodePath.AppendCString(i == 1 ? ":" : ".");
        mNodePath.AppendCString(mStack[i]->GetValue());
    }
    return mNodePath.CStr();
}

// ---------------------------------------------------------------- text values

bool cSerialiseXML::SerialiseText(const char* name, cGenString* value)
{
    cXMLElement* element = CurrentElement();
    if (element == nullptr)
        return false;
    if (IsSaving())
        return Store(element->SetAttribute(name, value ? value->CStr() : ""));
    const cXMLAttribute* attribute = element->FindAttribute(name);
    if (attribute == nullptr)
    {
        LogMessage(8, "No attribute `%s' in `%s'", name ? name : "", BuildNodePath());
        return false;
    }
    if (value != nullptr)
        value->AssignCStr(attribute->GetValue());
    return true;
}

bool cSerialiseXML::SerialiseGenString(const char* name, cGenString* value)
{
    return cSerialiseXML::SerialiseText(name, value);
}

bool cSerialiseXML::SerialiseJuceString(const char* name, juce::String* value)
{
    cXMLElement* element = CurrentElement();
    if (element == nullptr)
        return false;
    if (IsSaving())
        return Store(element->SetAttribute(juce::String::fromUTF8(name ? name : ""), *value));
    const cXMLAttribute* attribute = element->FindAttribute(name);
    if (attribute == nullptr)
    {
        LogMessage(8, "No attribute `%s' in `%s'", name ? name : "", BuildNodePath());
        return false;
    }
    *value = juce::String::fromUTF8(attribute->GetValue());
    return true;
}

bool cSerialiseXML::SerialiseChars(const char* name, char* buffer, int32_t size)
{
    cXMLElement* element = CurrentElement();
    if (element == nullptr)
        return false;
    if (IsSaving())
        return Store(element->SetAttribute(name, buffer ? buffer : ""));
    const cXMLAttribute* attribute = element->FindAttribute(name);
    if (buffer == nullptr || size <= 0)
        return attribute != nullptr;
    if (attribute == nullptr)
    {
        buffer[0] = 0;
        LogMessage(8, "No attribute `%s' in `%s'", name ? name : "", BuildNodePath());
        return false;
    }
    // A stored text longer than the buffer is cut to fit.
    const char* text = attribute->GetValue();
    size_t length = std::strlen(text);
    if (length > size_t(size - 1))
        length = size_t(size - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = 0;
    return true;
}

bool cSerialiseXML::SerialiseBytes(const char* name, unsigned char* buffer, int32_t size)
{
    return SerialiseChars(name, reinterpret_cast<char*>(buffer), size);
}

// ------------------------------------------------------------- number values

bool cSerialiseXML::ReadValueText(const char* name)
{
    return SerialiseText(name, &mNodePath);
}

bool cSerialiseXML::WriteValueText(const char* name, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    mNodePath.FormatV(format, args);
    va_end(args);
    return SerialiseText(name, &mNodePath);
}

void cSerialiseXML::ReportOutOfRange(const char* name, const char* value, const char* min, const char* max)
{
    cGenStringFixed<1024> message;
    message.AssignCStr(BuildNodePath());
    message.AppendCString(":");
    message.AppendCString(name ? name : "");
    message.AppendCString(" value ");
    message.AppendCString(value);
    message.AppendCString(" out of range ");
    message.AppendCString(min);
    message.AppendCString(" to ");
    message.AppendCString(max);
    LogMessage(2, "%s", message.CStr());
}

bool cSerialiseXML::ReadSigned(const char* name, int32_t* value, int32_t min, int32_t max)
{
    if (!ReadValueText(name))
        return false;
    int32_t read = ParseSigned32(mNodePath.CStr());
    if (read < min || read > max)
    {
        cGenStringFixed<16> readText, minText, maxText;
        readText.Printf("%d", int(read));
        minText.Printf("%d", int(min));
        maxText.Printf("%d", int(max));
        ReportOutOfRange(name, readText.CStr(), minText.CStr(), maxText.CStr());
        read = read < min ? min : max;
    }
    *value = read;
    return true;
}

bool cSerialiseXML::ReadUnsigned(const char* name, uint32_t* value, uint32_t min, uint32_t max, bool signedText)
{
    if (!ReadValueText(name))
        return false;
    // Signed text is compared as read, so a negative number lies below the
    // minimum instead of wrapping round to the top of the range.
    const char* text = mNodePath.CStr();
    const int64_t read = signedText ? int64_t(ParseSigned32(text)) : int64_t(ParseUnsigned32(text));
    if (read < int64_t(min) || read > int64_t(max))
    {
        cGenStringFixed<16> readText, minText, maxText;
        readText.Printf("%lld", static_cast<long long>(read));
        minText.Printf("%u", unsigned(min));
        maxText.Printf("%u", unsigned(max));
        ReportOutOfRange(name, readText.CStr(), minText.CStr(), maxText.CStr());
        *value = read < int64_t(min) ? min : max;
        return true;
    }
    *value = uint32_t(read);
    return true;
}

bool cSerialiseXML::SerialiseInt32(const char* name, int32_t* value, int32_t min, int32_t max)
{
    if (IsSaving())
        return WriteValueText(name, "%d", int(*value));
    return ReadSigned(name, value, min, max);
}

bool cSerialiseXML::SerialiseUInt32(const char* name, uint32_t* value, uint32_t min, uint32_t max)
{
    if (IsSaving())
        return WriteValueText(name, "%u", unsigned(*value));
    return ReadUnsigned(name, value, min, max, false);
}

// The narrow fields clamp to their range (and to what the field can hold)
// before the value is narrowed, so an oversized text never wraps around. A
// negative minimum on an unsigned field means no lower limit.

bool cSerialiseXML::SerialiseInt16(const char* name, int16_t* value, int32_t min, int32_t max)
{
    if (IsSaving())
        return WriteValueText(name, "%d", int(*value));
    int32_t read = *value;
    if (!ReadSigned(name, &read, std::max(min, int32_t(INT16_MIN)), std::min(max, int32_t(INT16_MAX))))
        return false;
    *value = int16_t(read);
    return true;
}

bool cSerialiseXML::SerialiseInt8(const char* name, int8_t* value, int32_t min, int32_t max)
{
    if (IsSaving())
        return WriteValueText(name, "%d", int(*value));
    int32_t read = *value;
    if (!ReadSigned(name, &read, std::max(min, int32_t(INT8_MIN)), std::min(max, int32_t(INT8_MAX))))
        return false;
    *value = int8_t(read);
    return true;
}

bool cSerialiseXML::SerialiseUInt16(const char* name, uint16_t* value, int32_t min, int32_t max)
{
    if (IsSaving())
        return WriteValueText(name, "%u", unsigned(*value));
    uint32_t read = *value;
    if (!ReadUnsigned(name, &read, uint32_t(std::max(min, 0)), std::min(uint32_t(max), uint32_t(UINT16_MAX)), true))
        return false;
    *value = uint16_t(read);
    return true;
}

bool cSerialiseXML::SerialiseUInt8(const char* name, uint8_t* value, int32_t min, int32_t max)
{
    if (IsSaving())
        return WriteValueText(name, "%u", unsigned(*value));
    uint32_t read = *value;
    if (!ReadUnsigned(name, &read, uint32_t(std::max(min, 0)), std::min(uint32_t(max), uint32_t(UINT8_MAX)), true))
        return false;
    *value = uint8_t(read);
    return true;
}

bool cSerialiseXML::SerialiseFloat(const char* name, float* value, float min, float max)
{
    if (IsSaving())
        return WriteValueText(name, "%f", double(*value));
    if (!ReadValueText(name))
        return false;
    // Checked before narrowing, so a text beyond the float range clamps
    // instead of becoming infinite; a text that is not a number clamps too.
    double read = std::strtod(mNodePath.CStr(), nullptr);
    if (std::isnan(read) || read < double(min) || read > double(max))
    {
        cGenStringFixed<64> readText, minText, maxText;
        readText.Printf("%f", read);
        minText.Printf("%f", double(min));
        maxText.Printf("%f", double(max));
        ReportOutOfRange(name, readText.CStr(), minText.CStr(), maxText.CStr());
        read = read > double(max) ? double(max) : double(min);
    }
    *value = float(read);
    return true;
}

bool cSerialiseXML::SerialiseBool(const char* name, bool* value)
{
    if (IsSaving())
    {
        cGenString text(*value ? "true" : "false");
        return SerialiseText(name, &text);
    }
    if (!ReadValueText(name))
        return false;
    const cGenStringFixed<1024> text(mNodePath);
    for (const char* word : {"1", "true", "yes", "on"})
        if (NameIs(text, word))
        {
            *value = true;
            return true;
        }
    for (const char* word : {"0", "false", "no", "off"})
        if (NameIs(text, word))
        {
            *value = false;
            return true;
        }
    // Like any value that fails to load, an unreadable one keeps what was
    // there, and the caller hears of it.
    cGenStringFixed<1024> message;
    message.AssignCStr(BuildNodePath());
    message.AppendCString(":");
    message.AppendCString(name ? name : "");
    message.AppendCString(" not boolean: ");
    message.Append(text);
    LogMessage(2, "%s", message.CStr());
    return false;
}

} // namespace Base
