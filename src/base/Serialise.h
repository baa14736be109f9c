#pragma once

#include <cstdint>

#include "base/GenString.h"

namespace File
{
class cFile;
}
namespace juce
{
class String;
}
struct cRect;
struct cVector2;
struct cVector3;
struct cVector4;
struct cQuaternion;
struct cMatrix33;
struct cMatrix43;
struct cMatrix44;
struct cPlane;
struct cSphere;
struct cBox;

namespace Base
{
// One {value, name} pair of an enumeration stored by name.
struct cEnumEntry
{
    int32_t value;
    const char* name;
};

struct cEnumTable
{
    const cEnumEntry* entries;
    int32_t count;
};

// The interface through which saved objects read and write themselves: one
// call per value serves both directions. Every operation returns true on
// success; a value that fails to load keeps its previous value. The base
// decides the direction from the stream's open mode, builds the compound math
// types and enumerations from the primitives, and fails every primitive.
class cSerialise
{
public:
    enum : uint32_t
    {
        // Set by Begin when the stream was opened for reading.
        kFlagReading = 1u << 1,
        // Keep an error text.
        kFlagKeepErrors = 1u << 3,
        // A stream opened for update is written rather than read.
        kFlagUpdateWrites = 1u << 8,
    };

    cSerialise(float expectedVersion, File::cFile* stream, uint32_t flags);
    cSerialise(const cSerialise&) = delete;
    cSerialise& operator=(const cSerialise&) = delete;
    virtual ~cSerialise();

    virtual bool Begin();
    virtual bool End();
    virtual bool BeginNodeString(const cGenString* name, bool flag);
    virtual bool BeginNode(const char* name, bool flag);
    virtual bool EndNodeString(const cGenString* name);
    virtual bool EndNode(const char* name);
    virtual int32_t CountNodes(const char* name);
    virtual bool FirstNode(const char* name);
    virtual bool NextNode(const char* name);
    virtual const char* GetNodeName();
    virtual bool SerialiseBytes(const char* name, unsigned char* buffer, int32_t size);
    virtual bool SerialiseChars(const char* name, char* buffer, int32_t size);
    virtual bool SerialiseJuceStringConst(const char* name, const juce::String* value);
    virtual bool SerialiseJuceString(const char* name, juce::String* value);
    virtual bool SerialiseGenStringConst(const char* name, const cGenString* value);
    virtual bool SerialiseGenString(const char* name, cGenString* value);
    virtual bool SerialiseTextConst(const char* name, const cGenString* value);
    virtual bool SerialiseText(const char* name, cGenString* value);
    virtual bool SerialiseQuaternion(const char* name, cQuaternion* value, float min, float max);
    virtual bool SerialiseBox(const char* name, cBox* value, float min, float max);
    virtual bool SerialiseSphere(const char* name, cSphere* value, float min, float max);
    virtual bool SerialisePlane(const char* name, cPlane* value, float min, float max);
    virtual bool SerialiseMatrix43(const char* name, cMatrix43* value, float min, float max);
    virtual bool SerialiseMatrix44(const char* name, cMatrix44* value, float min, float max);
    virtual bool SerialiseMatrix33(const char* name, cMatrix33* value, float min, float max);
    virtual bool SerialiseVector4(const char* name, cVector4* value, float min, float max);
    virtual bool SerialiseVector3(const char* name, cVector3* value, float min, float max);
    virtual bool SerialiseVector2(const char* name, cVector2* value, float min, float max);
    virtual bool SerialiseRect(const char* name, cRect* value, float min, float max);
    virtual bool SerialiseBool(const char* name, bool* value);
    virtual bool SerialiseFloat(const char* name, float* value, float min, float max);
    virtual bool SerialiseInt32(const char* name, int32_t* value, int32_t min, int32_t max);
    virtual bool SerialiseUInt32(const char* name, uint32_t* value, uint32_t min, uint32_t max);
    virtual bool SerialiseInt16(const char* name, int16_t* value, int32_t min, int32_t max);
    virtual bool SerialiseUInt16(const char* name, uint16_t* value, int32_t min, int32_t max);
    virtual bool SerialiseInt8(const char* name, int8_t* value, int32_t min, int32_t max);
    virtual bool SerialiseUInt8(const char* name, uint8_t* value, int32_t min, int32_t max);
    // Written by the entry's name (decimal when the table has none); read
    // by name ignoring case, else as a decimal number.
    virtual bool SerialiseEnum(const char* name, int32_t* value, const cEnumTable* table);

    bool IsSaving() const { return mStream != nullptr && mWriting; }
    bool IsLoading() const { return !mWriting; }
    const char* GetStreamName() const;
    const char* GetErrorText() const;
    bool IsVersionCurrent() const;
    // 0 when the read version equals v, 1 when it is greater, -1 below.
    int CompareVersion(float v) const;
    float GetReadVersion() const { return mReadVersion; }
    float GetExpectedVersion() const { return mExpectedVersion; }
    uint32_t GetFlags() const { return mFlags; }

    // Makes a node name safe for the file: null becomes "NoName" and each of
    // " :(),.<>" becomes "_". Returns the number of characters replaced.
    static int SanitiseNodeName(const char* name, cGenString* out);
    // The diagnostic hook; it produces no output.
    void LogMessage(int32_t level, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void PrintErrors();

protected:
    uint32_t mFlags;
    float mExpectedVersion;
    float mReadVersion = 0.0f;
    const char* mStreamName;
    cGenString* mErrorText = nullptr;
    uint32_t mVerbose = 0;
    bool mActive = false;
    File::cFile* mStream;
    bool mWriting = false;
};

} // namespace Base
