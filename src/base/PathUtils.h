#pragma once

#include "base/GenString.h"

#include <string>
#include <string_view>

// Paths are UTF-8 texts; '/' and '\\' both count as separators wherever one
// is tested, and '/' is what gets written. Routines that append are bounded
// by the string's capacity like every append (cGenString).

bool IsPathSeparator(char c);

void PathAddTrailingSlash(cGenString& path);
// Joins part to path with exactly one '/'. All or nothing: returns false and
// leaves path as it was when the joined path does not fit.
bool PathAppend(cGenString& path, const cGenString& part);
void PathRemoveExtension(cGenString& path);
void PathStripToFileName(cGenString& path);
void PathStripToDirectory(cGenString& path);
void PathStripFirstComponent(cGenString& path);
void PathToForwardSlashes(cGenString& text);
// Takes out the characters no file name may hold (quotes, '#', '@', ',',
// ';', ':', angle brackets, '*', '^', '|', '?' and both slashes).
void PathRemoveFileNameChars(cGenString& name);
// The same, then a name of 25 or more characters is cut to 24, its
// extension kept.
void PathSanitizeFileName(cGenString& name);
void PathEnsureLeadingSeparator(cGenString& path, char separator);
// Both return false and leave path unchanged when it cannot be expressed.
bool PathResolveRelative(cGenString& path, const cGenString& base, char separator);
bool PathMakeRelative(cGenString& path, const cGenString& base, char separator);

// These return views into the argument's buffer: valid while it is unchanged.
cGenString PathGetExtension(const cGenString& path);
cGenString PathGetFileName(const cGenString& path);

bool PathIsAbsolute(const cGenString& path);
// True when one of the path's parts is "..", which could climb out of the
// folder the path is meant to stay in.
bool PathHasParentPart(const cGenString& path);
bool PathIsNetwork(const cGenString& path);
bool PathHasDriveLetter(const cGenString& path);
int PathDepth(const cGenString& path);
// The first separator or the terminator; null for an empty text.
const char* PathFindSeparator(const cGenString& text);

bool WildcardMatch(const cGenString& pattern, const cGenString& text);
bool WildcardMatchNoCase(const cGenString& pattern, const cGenString& text);
const char* GetLineEnding();

// Invalid UTF-8 and unpaired surrogates become U+FFFD.
std::u16string UTF8ToWide(const cGenString& text);
std::string WideToUTF8(std::u16string_view text);
