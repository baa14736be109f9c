#include "base/PathUtils.h"

#include "base/UTF8.h"

#include <cstring>

namespace
{
constexpr int kSanitizedNameLength = 24;
constexpr char32_t kReplacementChar = 0xFFFD;

// Index of the last separator, or -1.
int FindLastSeparator(const char* text, int length)
{
    for (int i = length - 1; i >= 0; --i)
    {
        if (IsPathSeparator(text[i]))
            return i;
    }
    return -1;
}

// Index of the dot that starts the extension, or -1.
int FindExtensionDot(const cGenString& path)
{
    const char* text = path.CStr();
    for (int i = path.Length() - 1; i >= 0; --i)
    {
        if (text[i] == '.')
            return i;
        if (IsPathSeparator(text[i]))
            return -1;
    }
    return -1;
}

void RemoveFront(cGenString& text, int count)
{
    if (count > 0)
        text.Replace(0, count, cGenString(), 0);
}

template <bool FoldCase>
bool CharsMatch(char patternChar, char textChar)
{
    if constexpr (FoldCase)
        return ToLowerASCII(patternChar) == ToLowerASCII(textChar);
    else
        return patternChar == textChar;
}

// One pass with one back-track point.
template <bool FoldCase>
bool Match(const char* pattern, const char* text)
{
    while (*text)
    {
        if (*pattern == '*')
            break;
        if (*pattern != '?' && !CharsMatch<FoldCase>(*pattern, *text))
            return false;
        ++pattern;
        ++text;
    }
    if (*text)
    {
        ++pattern;
        if (!*pattern)
            return true;
        const char* retryPattern = pattern;
        const char* retryText = text + 1;
        while (*text)
        {
            if (*pattern == '*')
            {
                ++pattern;
                if (!*pattern)
                    return true;
                retryPattern = pattern;
                retryText = text + 1;
            }
            else if (*pattern == '?' || (*pattern && CharsMatch<FoldCase>(*pattern, *text)))
            {
                ++pattern;
                ++text;
            }
            else
            {
                pattern = retryPattern;
                text = retryText++;
            }
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == 0;
}

// Replaces the whole text, or nothing when it does not fit.
bool ReplaceAllOrNothing(cGenString& path, const cGenString& text)
{
    path.AssignChars(text.CStr(), -1);
    return std::strcmp(path.CStr(), text.CStr()) == 0;
}

// Cuts the last folder from base (one trailing separator ignored); false
// when there is no folder left to drop.
bool DropLastFolder(cGenString& base)
{
    const char* text = base.CStr();
    int end = base.Length();
    if (end > 0 && IsPathSeparator(text[end - 1]))
        --end;
    if (end == 0)
        return false;
    const int cut = FindLastSeparator(text, end) + 1;
    const bool isDrive = end - cut == 2 && text[cut + 1] == ':';
    if (isDrive)
        return false;
    base.Truncate(cut);
    return true;
}

void AppendCodePoint(std::string& out, char32_t c)
{
    if (c < 0x80)
    {
        out += char(c);
    }
    else if (c < 0x800)
    {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    else
    {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void AppendUTF16(std::u16string& out, char32_t c)
{
    if (c < 0x10000)
    {
        out += char16_t(c);
        return;
    }
    c -= 0x10000;
    out += char16_t(0xD800 + (c >> 10));
    out += char16_t(0xDC00 + (c & 0x3FF));
}

// Decodes one UTF-8 sequence at text[i], advancing i; each maximal malformed
// piece (overlong, surrogate, beyond U+10FFFF, cut short) yields one U+FFFD.
char32_t DecodeUTF8(const unsigned char* text, size_t length, size_t& i)
{
    const unsigned char first = text[i++];
    if (first < 0x80)
        return first;
    cUTF8Lead lead;
    if (!ReadUTF8Lead(first, &lead))
        return kReplacementChar;
    char32_t c = lead.bits;
    for (int k = 0; k < lead.trail; ++k)
    {
        if (i >= length || text[i] < lead.low || text[i] > lead.high)
            return kReplacementChar;
        c = (c << 6) | (text[i++] & 0x3F);
        lead.low = 0x80;
        lead.high = 0xBF;
    }
    return c;
}
} // namespace

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

void PathAddTrailingSlash(cGenString& path)
{
    if (path.IsEmpty() || path.CharAt(-1) == '/')
        return;
    path.RemoveTrailingSeparator();
    path.AppendChar('/');
}

bool PathAppend(cGenString& path, const cGenString& part)
{
    if (path.IsEmpty())
        return ReplaceAllOrNothing(path, part);
    const int oldLength = path.Length();
    const char oldLast = path.CharAt(-1);
    PathAddTrailingSlash(path);
    const char* rest = part.CStr();
    while (IsPathSeparator(*rest))
        ++rest;
    if (path.CharAt(-1) == '/')
    {
        const int joinedLength = path.Length() + int(std::strlen(rest));
        path.AppendCString(rest);
        if (path.Length() == joinedLength)
            return true;
    }
    // Undo the separator change so a failed join leaves no half-made path.
    path.Truncate(oldLength);
    if (char* buffer = path.GetBuffer())
        buffer[oldLength - 1] = oldLast;
    return false;
}

void PathRemoveExtension(cGenString& path)
{
    const int dot = FindExtensionDot(path);
    if (dot >= 0)
        path.Truncate(dot);
}

void PathStripToFileName(cGenString& path)
{
    RemoveFront(path, FindLastSeparator(path.CStr(), path.Length()) + 1);
}

void PathStripToDirectory(cGenString& path)
{
    path.Truncate(FindLastSeparator(path.CStr(), path.Length()) + 1);
}

void PathStripFirstComponent(cGenString& path)
{
    if (path.IsEmpty())
        return;
    const char* separator = PathFindSeparator(path);
    RemoveFront(path, int(separator - path.CStr()));
}

void PathToForwardSlashes(cGenString& text) { text.ReplaceCharBySlash('\\'); }

void PathRemoveFileNameChars(cGenString& name) { name.RemoveChars("\"#@,;:<>*^|?\\/"); }

void PathSanitizeFileName(cGenString& name)
{
    PathRemoveFileNameChars(name);
    if (name.Length() <= kSanitizedNameLength)
        return;
    const cGenString extension = cGenString::ConstructGrowableCopy(PathGetExtension(name));
    PathRemoveExtension(name);
    const int extensionLength = extension.Length();
    if (extensionLength == 0)
    {
        name.Truncate(kSanitizedNameLength);
        return;
    }
    if (extensionLength > kSanitizedNameLength)
        return;
    // With a 24-character extension this drops the name's last character.
    name.Truncate(kSanitizedNameLength - 1 - extensionLength);
    name.AppendChar('.');
    name.Append(extension);
}

void PathEnsureLeadingSeparator(cGenString& path, char separator)
{
    if (!PathIsAbsolute(path))
        path.PrependChar(separator);
}

bool PathResolveRelative(cGenString& path, const cGenString& base, char separator)
{
    if (PathIsAbsolute(path))
        return true;
    if (path.IsEmpty() || std::strcmp(path.CStr(), ".") == 0)
        return ReplaceAllOrNothing(path, base);
    cGenStringFixed<260> resolved(base);
    if (resolved.Length() != base.Length())
        return false;
    const char up[] = {'.', '.', separator, 0};
    const char* rest = path.CStr();
    while (std::strncmp(rest, up, 3) == 0)
    {
        if (!DropLastFolder(resolved))
            return false;
        rest += 3;
    }
    if (!PathAppend(resolved, rest))
        return false;
    return ReplaceAllOrNothing(path, resolved);
}

bool PathMakeRelative(cGenString& path, const cGenString& base, char separator)
{
    if (!PathIsAbsolute(path))
        return false;
    const char* p = path.CStr();
    const char* b = base.CStr();
    int common = 0;
    int lastSeparator = -1;
    while (p[common] && b[common] && ToLowerASCII(p[common]) == ToLowerASCII(b[common]))
    {
        if (IsPathSeparator(p[common]))
            lastSeparator = common;
        ++common;
    }
    if (common < 2 || lastSeparator < 0)
        return false;
    cGenString relative;
    const char up[] = {'.', '.', separator, 0};
    for (const char* q = b + lastSeparator + 1; *q; ++q)
    {
        if (IsPathSeparator(*q))
            relative.AppendCString(up);
    }
    relative.AppendCString(p + lastSeparator + 1);
    return ReplaceAllOrNothing(path, relative);
}

cGenString PathGetExtension(const cGenString& path)
{
    const int dot = FindExtensionDot(path);
    return cGenString(dot >= 0 ? path.CStr() + dot + 1 : cGenString::SharedEmpty());
}

cGenString PathGetFileName(const cGenString& path)
{
    const char* text = path.CStr();
    return cGenString(text + FindLastSeparator(text, path.Length()) + 1);
}

bool PathIsNetwork(const cGenString& path)
{
    const char* text = path.CStr();
    return (text[0] == '/' && text[1] == '/') || (text[0] == '\\' && text[1] == '\\');
}

bool PathHasDriveLetter(const cGenString& path)
{
    const char* text = path.CStr();
    return IsAlphaASCII(text[0]) && text[1] == ':';
}

bool PathIsAbsolute(const cGenString& path)
{
    return PathIsNetwork(path) || PathHasDriveLetter(path) || IsPathSeparator(path.CharAt(0));
}

bool PathHasParentPart(const cGenString& path)
{
    for (const char* p = path.CStr(); *p;)
    {
        const char* end = p;
        while (*end && !IsPathSeparator(*end))
            ++end;
        if (end - p == 2 && p[0] == '.' && p[1] == '.')
            return true;
        p = *end ? end + 1 : end;
    }
    return false;
}

int PathDepth(const cGenString& path)
{
    int depth = 0;
    for (const char* p = path.CStr(); *p; ++p)
        depth += IsPathSeparator(*p) ? 1 : 0;
    if (PathIsAbsolute(path))
        --depth;
    if (path.EndsWithSeparator())
        --depth;
    return depth > 0 ? depth : 0;
}

const char* PathFindSeparator(const cGenString& text)
{
    if (text.IsEmpty())
        return nullptr;
    const char* p = text.CStr();
    while (*p && !IsPathSeparator(*p))
        ++p;
    return p;
}

bool WildcardMatch(const cGenString& pattern, const cGenString& text)
{
    return Match<false>(pattern.CStr(), text.CStr());
}

bool WildcardMatchNoCase(const cGenString& pattern, const cGenString& text)
{
    return Match<true>(pattern.CStr(), text.CStr());
}

const char* GetLineEnding() { return "\r\n"; }

std::u16string UTF8ToWide(const cGenString& text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.CStr());
    const size_t length = size_t(text.Length());
    std::u16string result;
    result.reserve(length);
    for (size_t i = 0; i < length;)
        AppendUTF16(result, DecodeUTF8(bytes, length, i));
    return result;
}

std::string WideToUTF8(std::u16string_view text)
{
    std::string result;
    result.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i)
    {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
        {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        else if (c >= 0xD800 && c <= 0xDFFF)
        {
            c = kReplacementChar;
        }
        AppendCodePoint(result, c);
    }
    return result;
}
