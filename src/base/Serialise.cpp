#include "base/Serialise.h"

#include <cmath>

#include "base/File.h"
#include "base/Geometry.h"
#include "base/Math.h"

namespace Base
{
namespace
{
constexpr float kVersionTolerance = 1e-6f;

// Enumeration texts that read as numbers: an optional leading minus, then
// only digits, blanks and full stops (the empty text reads as 0).
bool IsEnumNumber(const char* text)
{
    while (IsBlankChar(*text))
        ++text;
    if (*text == '-')
    {
        ++text;
        if (*text < '0' || *text > '9')
            return false;
    }
    for (; *text != 0; ++text)
        if (!((*text >= '0' && *text <= '9') || *text == '.' || IsBlankChar(*text)))
            return false;
    return true;
}

int32_t EnumNumber(const char* text)
{
    while (IsBlankChar(*text))
        ++text;
    const bool negative = *text == '-';
    if (negative)
        ++text;
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        if (value <= INT32_MAX)
            value = value * 10 + (*text - '0');
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return int32_t(value);
}
} // namespace

cSerialise::cSerialise(float expectedVersion, File::cFile* stream, uint32_t flags)
    : mFlags(flags), mExpectedVersion(expectedVersion), mStreamName(stream ? stream->GetName() : ""), mStream(stream)
{
    if (mFlags & kFlagKeepErrors)
    {
        mErrorText = new cGenString();
        mErrorText->Reserve(2048);
    }
}

cSerialise::~cSerialise()
{
    delete mErrorText;
}

bool cSerialise::Begin()
{
    const int mode = mStream ? mStream->GetMode() : 0;
    if (mode == File::kModeRead)
    {
        mFlags |= kFlagReading;
        mWriting = false;
    }
    else if (mode == File::kModeWrite)
        mWriting = true;
    else if (mode == File::kModeUpdate)
        mWriting = (mFlags & kFlagUpdateWrites) != 0;
    mActive = true;
    return true;
}

bool cSerialise::End()
{
    if (mVerbose != 0)
    {
        if (IsSaving())
            LogMessage(1, "Finished save to '%s'", mStreamName);
        else
            LogMessage(1, "Finished load from '%s'", mStreamName);
    }
    mActive = false;
    PrintErrors();
    mStream = nullptr;
    return true;
}

bool cSerialise::BeginNodeString(const cGenString* name, bool flag)
{
    return BeginNode(name ? name->CStr() : nullptr, flag);
}

bool cSerialise::BeginNode(const char*, bool)
{
    return false;
}

bool cSerialise::EndNodeString(const cGenString* name)
{
    return EndNode(name ? name->CStr() : nullptr);
}

bool cSerialise::EndNode(const char*)
{
    return false;
}

int32_t cSerialise::CountNodes(const char*)
{
    return 0;
}

bool cSerialise::FirstNode(const char*)
{
    return false;
}

bool cSerialise::NextNode(const char*)
{
    return false;
}

const char* cSerialise::GetNodeName()
{
    return nullptr;
}

bool cSerialise::SerialiseBytes(const char*, unsigned char*, int32_t)
{
    return false;
}

bool cSerialise::SerialiseChars(const char*, char*, int32_t)
{
    return false;
}

bool cSerialise::SerialiseJuceStringConst(const char* name, const juce::String* value)
{
    // Saving only reads the string; loading into a constant is the caller's
    // mistake, as with the other constant forms.
    return SerialiseJuceString(name, const_cast<juce::String*>(value));
}

bool cSerialise::SerialiseJuceString(const char*, juce::String*)
{
    return false;
}

bool cSerialise::SerialiseGenStringConst(const char* name, const cGenString* value)
{
    return SerialiseGenString(name, const_cast<cGenString*>(value));
}

bool cSerialise::SerialiseGenString(const char*, cGenString*)
{
    return false;
}

bool cSerialise::SerialiseTextConst(const char* name, const cGenString* value)
{
    return SerialiseText(name, const_cast<cGenString*>(value));
}

bool cSerialise::SerialiseText(const char*, cGenString*)
{
    return false;
}

bool cSerialise::SerialiseBool(const char*, bool*)
{
    return false;
}

bool cSerialise::SerialiseFloat(const char*, float*, float, float)
{
    return false;
}

bool cSerialise::SerialiseInt32(const char*, int32_t*, int32_t, int32_t)
{
    return false;
}

bool cSerialise::SerialiseUInt32(const char*, uint32_t*, uint32_t, uint32_t)
{
    return false;
}

bool cSerialise::SerialiseInt16(const char*, int16_t*, int32_t, int32_t)
{
    return false;
}

bool cSerialise::SerialiseUInt16(const char*, uint16_t*, int32_t, int32_t)
{
    return false;
}

bool cSerialise::SerialiseInt8(const char*, int8_t*, int32_t, int32_t)
{
    return false;
}

bool cSerialise::SerialiseUInt8(const char*, uint8_t*, int32_t, int32_t)
{
    return false;
}

// ------------------------------------------------------------ compound types
// Each opens a node, serialises every element (all are attempted even after
// one fails) and reports whether all of them succeeded.

bool cSerialise::SerialiseRect(const char* name, cRect* value, float min, float max)
{
    if (!BeginNode(name, true))
        return false;
    bool ok = SerialiseFloat("xMin", &value->xMin, min, max);
    ok &= SerialiseFloat("yMin", &value->yMin, min, max);
    ok &= SerialiseFloat("xMax", &value->xMax, min, max);
    ok &= SerialiseFloat("yMax", &value->yMax, min, max);
    EndNode(nullptr);
    return ok;
}

bool cSerialise::SerialiseVector2(const char* name, cVector2* value, float min, float max)
{
    if (!BeginNode(name, true))
        return false;
    bool ok = SerialiseFloat("X", &value->X, min, max);
    ok &= SerialiseFloat("Y", &value->Y, min, max);
    EndNode(nullptr);
    return ok;
}

bool cSerialise::SerialiseVector3(const char* name, cVector3* value, float min, float max)
{
    if (!BeginNode(name, true))
        return false;
    bool ok = SerialiseFloat("X", &value->X, min, max);
    ok &= SerialiseFloat("Y", &value->Y, min, max);
    ok &= SerialiseFloat("Z", &value->Z, min, max);
    EndNode(nullptr);
    return ok;
}

bool cSerialise::SerialiseVector4(const char* name, cVector4* value, float min, float max)
{
    if (!BeginNode(name, true))
        return false;
    bool ok = SerialiseFloat("X", &value->X, min, max);
    ok &= SerialiseFloat("Y", &value->Y, min, max);
    ok &= SerialiseFloat("Z", &value->Z, min, max);
    ok &= SerialiseFloat("W", &value->W, min, max);
    EndNode(nullptr);
    return ok;
}

bool cSerialise::SerialiseQuaternion(const char* name, cQuaternion* value, float min, float max)
{
    if (!BeginNode(name, true))
        return false;
    bool ok = SerialiseFloat("X", &value->X, min, max);
    ok &= SerialiseFloat("Y", &value->Y, min, max);
    ok &= SerialiseFloat("Z", &value->Z, min, max);
    ok &= SerialiseFloat("S", &value->S, min, max);
    EndNode(nullptr);
    return ok;
}

bool cSerialise::SerialiseMatrix33(const char* name, cMatrix33* value, float min, float max)
{
    if (!BeginNode(name, true))
        return false;
    bool ok = SerialiseVector3("Row0", &value->Row0, min, max);
    ok &= SerialiseVector3("Row1", &value->Row1, min, max);
    ok &= SerialiseVector3("Row2", &value->Row2, min, max);
    EndNode(nullptr);
    return ok;
}

bool cSerialise::SerialiseMatrix43(const char* name, cMatrix43* value, float min, float max)
{
    if (!BeginNode(name, true))
        return false;
    bool ok = SerialiseVector3("Row0", &value->Row0, min, max);
    ok &= SerialiseVector3("Row1", &value->Row1, min, max);
    ok &= SerialiseVector3("Row2", &value->Row2, min, max);
    ok &= SerialiseVector3("Row3", &value->Row3, min, max);
    EndNode(nullptr);
    return ok;
}

bool cSerialise::SerialiseMatrix44(const char* name, cMatrix44* value, float min, float max)
{
    if (!BeginNode(name, true))
        return false;
    bool ok = SerialiseVector4("Row0", &value->Row0, min, max);
    ok &= SerialiseVector4("Row1", &value->Row1, min, max);
    ok &= SerialiseVector4("Row2", &value->Row2, min, max);
    ok &= SerialiseVector4("Row3", &value->Row3, min, max);
    EndNode(nullptr);
    return ok;
}

bool cSerialise::SerialisePlane(const char* name, cPlane* value, float min, float max)
{
    if (!BeginNode(name, true))
        return false;
    bool ok = SerialiseVector3("Norm", &value->Norm, min, max);
    ok &= SerialiseFloat("Dist", &value->Dist, min, max);
    EndNode(nullptr);
    return ok;
}

bool cSerialise::SerialiseSphere(const char* name, cSphere* value, float min, float max)
{
    if (!BeginNode(name, true))
        return false;
    bool ok = SerialiseVector3("Pos", &value->Pos, min, max);
    ok &= SerialiseFloat("Rad", &value->Rad, min, max);
    EndNode(nullptr);
    return ok;
}

bool cSerialise::SerialiseBox(const char* name, cBox* value, float min, float max)
{
    if (!BeginNode(name, true))
        return false;
    bool ok = SerialiseFloat("XMax", &value->XMax, min, max);
    ok &= SerialiseFloat("XMin", &value->XMin, min, max);
    ok &= SerialiseFloat("YMax", &value->YMax, min, max);
    ok &= SerialiseFloat("YMin", &value->YMin, min, max);
    ok &= SerialiseFloat("ZMax", &value->ZMax, min, max);
    ok &= SerialiseFloat("ZMin", &value->ZMin, min, max);
    EndNode(nullptr);
    return ok;
}

// -------------------------------------------------------------- enumerations

bool cSerialise::SerialiseEnum(const char* name, int32_t* value, const cEnumTable* table)
{
    if (IsSaving())
    {
        if (table != nullptr)
            for (int32_t i = 0; i < table->count; ++i)
                if (table->entries[i].value == *value)
                {
                    const cGenString entryName(table->entries[i].name);
                    return SerialiseTextConst(name, &entryName);
                }
        cGenStringFixed<16> digits;
        digits.Printf("%d", int(*value));
        return SerialiseTextConst(name, &digits);
    }

    cGenString text;
    if (!SerialiseGenString(name, &text))
        return false;
    if (table != nullptr)
        for (int32_t i = 0; i < table->count; ++i)
            if (cGenString::EqualsNoCase(text, cGenString(table->entries[i].name)))
            {
                *value = table->entries[i].value;
                return true;
            }
    if (IsEnumNumber(text.CStr()))
    {
        *value = EnumNumber(text.CStr());
        return true;
    }
    LogMessage(16, "Unrecognised enum value `%s' in node `%s' in `%s'", text.CStr(), name ? name : "", mStreamName);
    return false;
}

// ---------------------------------------------------------------- accessors

const char* cSerialise::GetStreamName() const
{
    return mStream ? mStream->GetName() : "";
}

const char* cSerialise::GetErrorText() const
{
    return mErrorText ? mErrorText->CStr() : "";
}

bool cSerialise::IsVersionCurrent() const
{
    return IsSaving() || std::fabs(mReadVersion - mExpectedVersion) <= kVersionTolerance;
}

int cSerialise::CompareVersion(float v) const
{
    if (std::fabs(mReadVersion - v) <= kVersionTolerance)
        return 0;
    return mReadVersion > v ? 1 : -1;
}

int cSerialise::SanitiseNodeName(const char* name, cGenString* out)
{
    if (name == nullptr)
    {
        out->AssignCStr("NoName");
        return 0;
    }
    out->AssignCStr(name);
    return out->ReplaceChars(cGenString(" :(),.<>"));
}

void cSerialise::LogMessage(int32_t, const char*, ...)
{
}

void cSerialise::PrintErrors()
{
    // Nothing appends to the error text and the hook shows nothing, so the
    // walk over its lines has nothing to do.
}

} // namespace Base
