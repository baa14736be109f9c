#pragma once

#include <cstdarg>
#include <cstdint>

// The program's string type: a small header over a NUL-terminated UTF-8
// buffer. Where the buffer lives decides what a string may do:
//  - a view (made from a character pointer) refers to someone else's text and
//    is never written to;
//  - a fixed string (cGenStringFixed<N>) owns N inline bytes, never allocates,
//    cuts text on assignment and refuses appends, inserts and replaces that
//    do not fit;
//  - a growable string (default constructor, ConstructGrowable*) reallocates
//    its heap buffer to the exact size needed.
// There is no length field: every length is a scan for the terminator.
class cGenString
{
public:
    // Called as (string, required length without the terminator).
    using tGrowFn = void (*)(cGenString& string, int required);

    // A growable string without a buffer.
    cGenString();
    // A read-only view of the text (which may be null); lets literals be
    // passed as strings without copying. Edit text in a fixed or growable
    // string instead.
    cGenString(const char* text);
    // Copies make a growable string with the same text.
    cGenString(const cGenString& other);
    // Moves take over a heap buffer or a view; other forms are copied.
    cGenString(cGenString&& other) noexcept;
    ~cGenString() { Free(); }

    cGenString& operator=(const cGenString& source)
    {
        Assign(source);
        return *this;
    }
    cGenString& operator=(const char* text)
    {
        AssignCStr(text);
        return *this;
    }

    static cGenString ConstructView(const char* text);
    static cGenString ConstructEmpty();
    static cGenString WrapBuffer(char* buffer, int capacity);
    static cGenString ConstructGrowable();
    static cGenString ConstructGrowableCopy(const cGenString& source);
    static cGenString ConstructGrowableFromCStr(const char* text);
    static cGenString ConstructGrowableFromChars(const char* text, int n);
    static cGenString ConstructGrowableReserved();

    // Plain release: frees the buffer only when the string owns it.
    void Free();
    void FreeGrowable();
    void Reserve(int n);
    void FreeBuffer();
    void MakeFixed() { mGrow = nullptr; }
    void MakeGrowable() { mGrow = &DefaultGrow; }
    void set_default_reserve() {}
    static void DefaultGrow(cGenString& string, int n);

    void Assign(const cGenString& source);
    void AssignCStr(const char* text);
    void AssignChars(const char* text, int n);
    void Append(const cGenString& source);
    cGenString& AppendCString(const char* text);
    void AppendChar(char c);
    void Replace(int position, int count, const cGenString& text, int textLength);
    void Prepend(const cGenString& text) { Replace(0, 0, text, -1); }
    void PrependChar(char c);
    void Insert(int position, const cGenString& text) { Replace(position, 0, text, -1); }
    void Truncate(int n);
    int ReplaceChars(const cGenString& set);
    int RemoveChars(const cGenString& set);
    void ToLower();
    void RemoveTrailingSeparator();
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args) __attribute__((format(printf, 2, 0)));

    void TrimLeft();
    void TrimRight();
    int ReplaceCharBySlash(char c);
    int ReplaceAll(const cGenString& find, const cGenString& with);
    class cGenStringArray Split(char c) const;

    int Length() const;
    int MaxLength() const;
    int Capacity() const;
    bool IsEmpty() const { return mData == nullptr || mData[0] == 0; }
    bool EndsWithSeparator() const;
    // The text; never null (null data reads as the shared empty string).
    const char* CStr() const { return mData ? mData : sEmpty; }
    // The writable buffer, or null; MaxLength bounds what fits.
    char* GetBuffer() { return IsWritable() ? mData : nullptr; }
    char CharAt(int i) const;
    const char* CharPtrAt(int i) const;
    int FindChar(char c, int start = 0) const;
    int FindLastChar(char c) const;
    int FindNoCase(const cGenString& text, int start = 0) const;
    cGenString Substring(int position, int length) const;

    static bool EqualsNoCase(const cGenString& a, const cGenString& b);
    static bool Less(const cGenString& a, const cGenString& b);
    static const char* SharedEmpty() { return sEmpty; }

protected:
    // Header of a fixed string whose inline buffer follows it.
    cGenString(char* buffer, int capacity);

private:
    static constexpr uint32_t kOwnsBit = 1u << 0;
    static constexpr uint32_t kWritableBit = 1u << 1;
    static constexpr int kCapacityShift = 2;
    static constexpr uint32_t kCapacityMask = 0x0FFFFFFFu << kCapacityShift;
    static constexpr int kMaxCapacity = (1 << 27) - 1;
    static const char* const sEmpty;

    cGenString(char* data, int capacity, uint32_t flags, tGrowFn grow);

    bool IsView() const { return Capacity() == -1; }
    bool IsWritable() const { return (mWord & kWritableBit) != 0; }
    bool OwnsBuffer() const { return (mWord & kOwnsBit) != 0; }
    bool CanEdit() const { return IsWritable() || mGrow != nullptr; }
    void SetCapacity(int capacity);
    bool HasRoomFor(int length);
    bool Overlaps(const char* text) const;
    void Reallocate(int n);
    void ReplaceWhole(const char* text, int textLength);

    char* mData;
    // bit 0 owns the buffer, bit 1 writable, bits 2..29 signed capacity in
    // bytes including the terminator (-1: a view), bits 30..31 spare.
    uint32_t mWord;
    tGrowFn mGrow;
};

// The pieces of cGenString::Split, each a growable string.
class cGenStringArray
{
public:
    explicit cGenStringArray(uint32_t count);
    cGenStringArray(cGenStringArray&& other) noexcept;
    cGenStringArray(const cGenStringArray&) = delete;
    cGenStringArray& operator=(const cGenStringArray&) = delete;
    ~cGenStringArray();

    uint32_t GetCount() const { return mCount; }
    cGenString& operator[](uint32_t i) { return mItems[i]; }
    const cGenString& operator[](uint32_t i) const { return mItems[i]; }

private:
    uint32_t mCount;
    cGenString* mItems;
};

// A string on an inline buffer of N bytes (at most N - 1 characters).
template <int N>
class cGenStringFixed : public cGenString
{
    static_assert(N >= 1 && N < (1 << 27), "capacity must fit the header");

public:
    cGenStringFixed() : cGenString(mBuffer, N) {}
    cGenStringFixed(const char* text) : cGenString(mBuffer, N) { AssignCStr(text); }
    cGenStringFixed(const cGenString& other) : cGenString(mBuffer, N) { Assign(other); }
    cGenStringFixed(const cGenStringFixed& other) : cGenString(mBuffer, N) { Assign(other); }

    cGenStringFixed& operator=(const cGenStringFixed& source)
    {
        Assign(source);
        return *this;
    }
    cGenStringFixed& operator=(const cGenString& source)
    {
        Assign(source);
        return *this;
    }
    cGenStringFixed& operator=(const char* text)
    {
        AssignCStr(text);
        return *this;
    }

private:
    char mBuffer[N];
};

// Small character routines.
inline bool IsBlankChar(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
inline bool IsAlphaASCII(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline char ToLowerASCII(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
