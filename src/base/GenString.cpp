#include "base/GenString.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

const char* const cGenString::sEmpty = "";

namespace
{
int ScanLength(const char* text) { return text ? int(std::strlen(text)) : 0; }

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool MatchesNoCaseAt(const char* haystack, const char* needle, int needleLength)
{
    for (int k = 0; k < needleLength; ++k)
    {
        if (ToLowerASCII(haystack[k]) != ToLowerASCII(needle[k]))
            return false;
    }
    return true;
}

// A private copy of text that lives in the buffer about to be moved or freed.
std::unique_ptr<char[]> CopyChars(const char* text, int length)
{
    std::unique_ptr<char[]> copy(new char[size_t(length) + 1]);
    std::memcpy(copy.get(), text, size_t(length));
    copy[length] = 0;
    return copy;
}
} // namespace

cGenString::cGenString(char* data, int capacity, uint32_t flags, tGrowFn grow)
    : mData(data), mWord(flags), mGrow(grow)
{
    SetCapacity(capacity);
}

cGenString::cGenString() : cGenString(nullptr, 0, kWritableBit, &DefaultGrow) {}

cGenString::cGenString(const char* text) : cGenString(const_cast<char*>(text), -1, 0, nullptr) {}

cGenString::cGenString(char* buffer, int capacity) : cGenString(buffer, capacity, kWritableBit, nullptr)
{
    buffer[0] = 0;
}

cGenString::cGenString(const cGenString& other) : cGenString() { Assign(other); }

cGenString::cGenString(cGenString&& other) noexcept : cGenString()
{
    if (!other.OwnsBuffer() && !other.IsView())
    {
        // Inline and wrapped buffers stay with their owner.
        Assign(other);
        return;
    }
    mData = other.mData;
    mWord = other.mWord;
    mGrow = other.mGrow;
    other.mData = nullptr;
    other.mWord &= ~kOwnsBit;
    other.SetCapacity(other.IsView() ? -1 : 0);
}

cGenString cGenString::ConstructView(const char* text) { return cGenString(text); }

cGenString cGenString::ConstructEmpty() { return cGenString(nullptr, 0, 0, nullptr); }

cGenString cGenString::WrapBuffer(char* buffer, int capacity)
{
    return cGenString(buffer, std::clamp(capacity, 0, kMaxCapacity), kWritableBit, nullptr);
}

cGenString cGenString::ConstructGrowable() { return cGenString(); }

cGenString cGenString::ConstructGrowableCopy(const cGenString& source)
{
    cGenString result;
    result.Assign(source);
    return result;
}

cGenString cGenString::ConstructGrowableFromCStr(const char* text)
{
    cGenString result;
    result.AssignCStr(text);
    return result;
}

cGenString cGenString::ConstructGrowableFromChars(const char* text, int n)
{
    cGenString result;
    result.AssignChars(text, n);
    return result;
}

cGenString cGenString::ConstructGrowableReserved()
{
    cGenString result;
    result.Reserve(2048);
    return result;
}

void cGenString::Free()
{
    if (!OwnsBuffer())
        return;
    std::free(mData);
    mData = nullptr;
    mWord &= ~kOwnsBit;
    SetCapacity(0);
}

void cGenString::FreeGrowable()
{
    FreeBuffer();
    Free();
}

void cGenString::FreeBuffer()
{
    if (OwnsBuffer())
        std::free(mData);
    mData = nullptr;
    mWord &= ~kOwnsBit;
    SetCapacity(0);
}

void cGenString::Reserve(int n)
{
    if (n > 0)
        Reallocate(n);
}

void cGenString::DefaultGrow(cGenString& string, int n)
{
    if (n != 0)
        string.Reallocate(n);
}

int cGenString::Capacity() const
{
    // Bits 2..29 read as a signed 28-bit number.
    return int32_t(mWord << 2) >> 4;
}

void cGenString::SetCapacity(int capacity)
{
    mWord = (mWord & ~kCapacityMask) | ((uint32_t(capacity) << kCapacityShift) & kCapacityMask);
}

bool cGenString::HasRoomFor(int length)
{
    if (length + 1 <= Capacity())
        return true;
    if (!mGrow)
        return false;
    mGrow(*this, length);
    // A grow callback that could not allocate leaves the string as it was.
    return length + 1 <= Capacity();
}

bool cGenString::Overlaps(const char* text) const
{
    if (!mData || !text)
        return false;
    const int size = IsView() ? Length() + 1 : std::max(Capacity(), 0);
    const auto begin = reinterpret_cast<uintptr_t>(mData);
    const auto at = reinterpret_cast<uintptr_t>(text);
    return at >= begin && at < begin + uintptr_t(size);
}

void cGenString::Reallocate(int n)
{
    const int oldSize = IsView() ? Length() + 1 : std::max(Capacity(), 0);
    const int current = oldSize - 1;
    if (n == current)
        return;
    const int oldLength = mData ? int(strnlen(mData, size_t(std::max(oldSize, 0)))) : 0;
    if (n < current)
        n = std::max(n, oldLength); // a reallocation never cuts text
    if (n == current || n < 0 || n >= kMaxCapacity)
        return;
    char* block = static_cast<char*>(std::malloc(size_t(n) + 1));
    if (!block)
        return;
    const int copied = std::min(oldLength, n);
    if (copied > 0)
        std::memcpy(block, mData, size_t(copied));
    block[copied] = 0;
    if (OwnsBuffer())
        std::free(mData);
    mData = block;
    mWord |= kOwnsBit | kWritableBit;
    SetCapacity(n + 1);
}

void cGenString::Assign(const cGenString& source)
{
    if (!CanEdit() || source.mData == mData)
        return;
    const char* text = source.mData;
    if (!text || !text[0])
    {
        if (mData && IsWritable())
            mData[0] = 0;
        return;
    }
    const int length = ScanLength(text);
    if (length + 1 > Capacity() && !mGrow)
    {
        const int capacity = Capacity();
        if (!IsWritable() || !mData || capacity < 1)
            return;
        // Cut at a byte, even inside a UTF-8 sequence.
        std::memmove(mData, text, size_t(capacity - 1));
        mData[capacity - 1] = 0;
        return;
    }
    if (!HasRoomFor(length))
        return;
    std::memmove(mData, text, size_t(length) + 1);
}

void cGenString::AssignCStr(const char* text) { Assign(cGenString(text)); }

void cGenString::AssignChars(const char* text, int n) { Replace(0, -1, cGenString(text), n); }

void cGenString::Append(const cGenString& source)
{
    if (!CanEdit())
        return;
    const char* text = source.CStr();
    const int sourceLength = ScanLength(text);
    if (sourceLength == 0)
        return;
    const int length = Length();
    const int newLength = length + sourceLength;
    std::unique_ptr<char[]> copy;
    if (newLength + 1 > Capacity() && Overlaps(text))
    {
        copy = CopyChars(text, sourceLength);
        text = copy.get();
    }
    if (!HasRoomFor(newLength))
        return;
    std::memmove(mData + length, text, size_t(sourceLength));
    mData[newLength] = 0;
}

cGenString& cGenString::AppendCString(const char* text)
{
    Append(cGenString(text));
    return *this;
}

void cGenString::AppendChar(char c)
{
    const char text[2] = {c, 0};
    Append(cGenString(text));
}

void cGenString::PrependChar(char c)
{
    const char text[2] = {c, 0};
    Prepend(cGenString(text));
}

void cGenString::ReplaceWhole(const char* text, int textLength)
{
    if (!mData && textLength == 0)
        return;
    std::unique_ptr<char[]> copy;
    if (textLength + 1 > Capacity() && Overlaps(text))
    {
        copy = CopyChars(text, textLength);
        text = copy.get();
    }
    if (!HasRoomFor(textLength))
        return;
    if (textLength > 0)
        std::memmove(mData, text, size_t(textLength));
    mData[textLength] = 0;
}

void cGenString::Replace(int position, int count, const cGenString& text, int textLength)
{
    if (!CanEdit())
        return;
    const char* source = text.mData;
    int sourceLength = 0;
    // No byte of a text given with length 0 is read: it may end its buffer.
    if (source && textLength != 0 && source[0])
        sourceLength = textLength < 0 ? ScanLength(source) : int(strnlen(source, size_t(textLength)));
    if (position == 0 && count == -1)
    {
        ReplaceWhole(source, sourceLength);
        return;
    }
    const int length = Length();
    if (position == -1)
        position = length;
    position = std::clamp(position, 0, length);
    if (count == -1)
        count = length - position;
    count = std::clamp(count, 0, length - position);
    const int newLength = length - count + sourceLength;
    if (!mData && newLength == 0)
        return;
    std::unique_ptr<char[]> copy;
    if (sourceLength > 0 && Overlaps(source))
    {
        // The tail move below may shift the text we are inserting.
        copy = CopyChars(source, sourceLength);
        source = copy.get();
    }
    if (!HasRoomFor(newLength))
        return;
    if (sourceLength != count)
    {
        std::memmove(mData + position + sourceLength, mData + position + count,
                     size_t(length - position - count));
        mData[newLength] = 0;
    }
    if (sourceLength > 0)
        std::memcpy(mData + position, source, size_t(sourceLength));
}

void cGenString::Truncate(int n)
{
    if (!IsWritable() || !mData)
        return;
    const int length = Length();
    const long long wanted = n >= 0 ? n : length + (long long)n;
    if (wanted >= length || wanted < 0)
        return;
    std::memset(mData + wanted, 0, size_t(length - wanted));
}

int cGenString::ReplaceChars(const cGenString& set)
{
    if (!IsWritable() || !mData)
        return 0;
    const char* chars = set.CStr();
    int replaced = 0;
    for (char* p = mData; *p; ++p)
    {
        if (std::strchr(chars, *p))
        {
            *p = '_';
            ++replaced;
        }
    }
    return replaced;
}

int cGenString::RemoveChars(const cGenString& set)
{
    if (!IsWritable() || !mData)
        return 0;
    const char* chars = set.CStr();
    char* out = mData;
    int removed = 0;
    for (const char* p = mData; *p; ++p)
    {
        if (std::strchr(chars, *p))
            ++removed;
        else
            *out++ = *p;
    }
    *out = 0;
    return removed;
}

void cGenString::ToLower()
{
    if (!IsWritable() || !mData)
        return;
    const int capacity = Capacity();
    for (int i = 0; i < capacity && mData[i]; ++i)
        mData[i] = ToLowerASCII(mData[i]);
}

void cGenString::RemoveTrailingSeparator()
{
    if (IsWritable() && EndsWithSeparator())
        mData[Length() - 1] = 0;
}

bool cGenString::EndsWithSeparator() const
{
    const int length = Length();
    return length > 0 && IsSeparator(mData[length - 1]);
}

void cGenString::Printf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void cGenString::FormatV(const char* format, va_list args)
{
    if (!IsWritable() || !mData)
        return;
    const int capacity = Capacity();
    if (capacity < 1)
        return;
    // Formatted through scratch space, so the arguments may include this
    // string's own text.
    char stackScratch[1024];
    std::unique_ptr<char[]> heapScratch;
    char* scratch = stackScratch;
    if (capacity > int(sizeof(stackScratch)))
    {
        heapScratch.reset(new char[size_t(capacity)]);
        scratch = heapScratch.get();
    }
    if (std::vsnprintf(scratch, size_t(capacity), format, args) < 0)
        scratch[0] = 0;
    std::memcpy(mData, scratch, std::strlen(scratch) + 1);
}

void cGenString::TrimLeft()
{
    if (!IsWritable() || !mData)
        return;
    int blanks = 0;
    while (IsBlankChar(mData[blanks]))
        ++blanks;
    if (blanks > 0)
        std::memmove(mData, mData + blanks, std::strlen(mData + blanks) + 1);
}

void cGenString::TrimRight()
{
    if (!IsWritable() || !mData)
        return;
    for (int i = Length() - 1; i >= 0 && IsBlankChar(mData[i]); --i)
        mData[i] = 0;
}

int cGenString::ReplaceCharBySlash(char c)
{
    if (!IsWritable() || !mData || c == 0)
        return 0;
    int replaced = 0;
    for (char* p = mData; *p; ++p)
    {
        if (*p == c)
        {
            *p = '/';
            ++replaced;
        }
    }
    return replaced;
}

int cGenString::ReplaceAll(const cGenString& find, const cGenString& with)
{
    const int findLength = find.Length();
    if (findLength == 0 || !mData)
        return 0;
    cGenString result;
    int matches = 0;
    int position = 0;
    for (int hit = FindNoCase(find, 0); hit >= 0; hit = FindNoCase(find, position))
    {
        result.Append(Substring(position, hit - position));
        result.Append(with);
        position = hit + findLength;
        ++matches;
    }
    if (matches > 0)
    {
        result.Append(cGenString(mData + position));
        Assign(result);
    }
    return matches;
}

cGenStringArray cGenString::Split(char c) const
{
    if (IsEmpty())
        return cGenStringArray(0);
    uint32_t pieces = 1;
    for (const char* p = mData; *p; ++p)
        pieces += (*p == c) ? 1 : 0;
    cGenStringArray result(pieces);
    const char* start = mData;
    for (uint32_t i = 0; i < pieces; ++i)
    {
        const char* end = start;
        while (*end && *end != c)
            ++end;
        result[i].AssignChars(start, int(end - start));
        start = *end ? end + 1 : end;
    }
    return result;
}

int cGenString::Length() const { return ScanLength(mData); }

int cGenString::MaxLength() const { return IsView() ? Length() : Capacity() - 1; }

const char* cGenString::CharPtrAt(int i) const
{
    if (!mData)
        return sEmpty;
    const int length = Length();
    if (i < 0)
        i += length;
    if (i < 0 || i > length)
        return sEmpty;
    return mData + i;
}

char cGenString::CharAt(int i) const { return *CharPtrAt(i); }

int cGenString::FindChar(char c, int start) const
{
    if (!mData || c == 0)
        return -1;
    const int length = Length();
    for (int i = std::max(start, 0); i < length; ++i)
    {
        if (mData[i] == c)
            return i;
    }
    return -1;
}

int cGenString::FindLastChar(char c) const
{
    if (!mData || c == 0)
        return -1;
    for (int i = Length() - 1; i >= 0; --i)
    {
        if (mData[i] == c)
            return i;
    }
    return -1;
}

int cGenString::FindNoCase(const cGenString& text, int start) const
{
    if (!mData || start > Length())
        return -1;
    const char* needle = text.CStr();
    const int needleLength = ScanLength(needle);
    for (int i = std::max(start, 0); mData[i]; ++i)
    {
        if (MatchesNoCaseAt(mData + i, needle, needleLength))
            return i;
    }
    return -1;
}

cGenString cGenString::Substring(int position, int length) const
{
    const int textLength = Length();
    position = std::clamp(position, 0, textLength);
    if (length < 0 || length > textLength - position)
        length = textLength - position;
    return ConstructGrowableFromChars(CStr() + position, length);
}

bool cGenString::EqualsNoCase(const cGenString& a, const cGenString& b)
{
    const char* p = a.CStr();
    const char* q = b.CStr();
    for (; *p && *q; ++p, ++q)
    {
        if (ToLowerASCII(*p) != ToLowerASCII(*q))
            return false;
    }
    return *p == *q;
}

bool cGenString::Less(const cGenString& a, const cGenString& b)
{
    // strcmp compares the bytes as unsigned values.
    return std::strcmp(a.CStr(), b.CStr()) < 0;
}

cGenStringArray::cGenStringArray(uint32_t count)
    : mCount(count), mItems(count ? new cGenString[count] : nullptr)
{
}

cGenStringArray::cGenStringArray(cGenStringArray&& other) noexcept
    : mCount(other.mCount), mItems(other.mItems)
{
    other.mCount = 0;
    other.mItems = nullptr;
}

cGenStringArray::~cGenStringArray() { delete[] mItems; }
