#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/File.h"
#include "base/XMLDocument.h"

// The text form's writing side: no declaration, line feeds only, three
// blanks of indentation per level, one element per line.

namespace Base
{
namespace
{
constexpr int kScratchSize = 4096;

// Each thread formats into its own scratch, so documents saved on two
// threads at once never share it.
thread_local char tScratch[kScratchSize];

void PrintIndent(File::cFile* stream, int32_t depth, int blanksPerLevel)
{
    static const char kBlanks[] = "                                                                ";
    int remaining = depth * blanksPerLevel;
    while (remaining > 0)
    {
        const int piece = remaining < int(sizeof(kBlanks) - 1) ? remaining : int(sizeof(kBlanks) - 1);
        cXMLBase::PrintBytes(stream, kBlanks, piece);
        remaining -= piece;
    }
}

// Writes value with "&" and "<" as references, and '"' too when asked; the
// reader decodes all three.
void PrintEscaped(File::cFile* stream, const char* value, bool escapeDoubleQuote)
{
    const char* run = value;
    for (const char* p = value; *p != 0; ++p)
    {
        const char* reference = nullptr;
        if (*p == '&')
            reference = "&amp;";
        else if (*p == '<')
            reference = "&lt;";
        else if (*p == '"' && escapeDoubleQuote)
            reference = "&quot;";
        if (reference == nullptr)
            continue;
        cXMLBase::PrintBytes(stream, run, int(p - run));
        cXMLBase::PrintBytes(stream, reference, int(std::strlen(reference)));
        run = p + 1;
    }
    cXMLBase::PrintBytes(stream, run, int(std::strlen(run)));
}
} // namespace

void cXMLBase::PrintBytes(File::cFile* stream, const char* bytes, int length)
{
    if (length <= 0)
        return;
    if (stream->Write(bytes, length) != length)
        stream->SetErrorFlag(1);
}

void cXMLBase::PrintF(File::cFile* stream, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(tScratch, kScratchSize, format, args);
    va_end(args);
    if (length < kScratchSize)
        PrintBytes(stream, tScratch, length);
    else
    {
        // A piece longer than the scratch (long base64 data) is written whole.
        std::unique_ptr<char[]> large(new char[size_t(length) + 1]);
        std::vsnprintf(large.get(), size_t(length) + 1, format, again);
        PrintBytes(stream, large.get(), length);
    }
    va_end(again);
}

void cXMLAttribute::Print(File::cFile* stream, int32_t)
{
    if (mPooled && mInPlaceValue == nullptr)
        return;
    const char* name = GetName();
    const char* value = GetValue();
    const bool hasDoubleQuote = std::strchr(value, '"') != nullptr;
    const bool hasSingleQuote = std::strchr(value, '\'') != nullptr;
    const bool needsReferences = std::strpbrk(value, "&<") != nullptr || (hasDoubleQuote && hasSingleQuote);
    if (!needsReferences)
    {
        if (hasDoubleQuote)
            PrintF(stream, "%s='%s'", name, value);
        else
            PrintF(stream, "%s=\"%s\"", name, value);
        return;
    }
    // With both quote kinds in the value, the double quotes become references
    // so that the value reads back whole.
    const bool singleQuoted = hasDoubleQuote && !hasSingleQuote;
    const char* open = singleQuoted ? "='" : "=\"";
    PrintF(stream, "%s%s", name, open);
    PrintEscaped(stream, value, hasDoubleQuote && hasSingleQuote);
    PrintBytes(stream, open + 1, 1);
}

void cXMLElement::Print(File::cFile* stream, int32_t depth)
{
    PrintIndent(stream, depth, 3);
    PrintF(stream, "<%s", GetValue());
    for (cXMLAttribute* attribute = FirstAttribute(); attribute != nullptr; attribute = attribute->Next())
    {
        PrintBytes(stream, " ", 1);
        attribute->Print(stream, depth);
    }
    if (mFirstChild == nullptr)
    {
        PrintBytes(stream, "/>\n", 3);
        return;
    }
    PrintBytes(stream, ">\n", 2);
    for (cXMLNode* child = mFirstChild; child != nullptr; child = child->NextSibling())
        child->Print(stream, depth + 1);
    PrintIndent(stream, depth, 3);
    PrintF(stream, "</%s>\n", GetValue());
}

void cXMLComment::Print(File::cFile* stream, int32_t depth)
{
    PrintIndent(stream, depth, 4);
    PrintF(stream, "<!--%s-->", GetValue());
}

void cXMLUnknown::Print(File::cFile* stream, int32_t depth)
{
    PrintIndent(stream, depth, 4);
    PrintF(stream, "<%s>", GetValue());
}

void cXMLText::Print(File::cFile* stream, int32_t)
{
    PrintF(stream, "%s", GetValue());
}

void cXMLDeclaration::Print(File::cFile* stream, int32_t)
{
    cGenString text;
    text.AssignCStr("<?xml ");
    const struct
    {
        const char* name;
        const cGenString& value;
    } kFields[] = {{"version", mVersion}, {"encoding", mEncoding}, {"standalone", mStandalone}};
    for (const auto& field : kFields)
    {
        if (field.value.IsEmpty())
            continue;
        text.AppendCString(field.name);
        text.AppendCString("=\"");
        text.Append(field.value);
        text.AppendCString("\" ");
    }
    text.AppendCString("?>");
    PrintF(stream, "%s", text.CStr());
}

void cXMLDocument::Print(File::cFile* stream, int32_t)
{
    for (cXMLNode* child = FirstChild(); child != nullptr; child = child->NextSibling())
        child->Print(stream, 0);
}

} // namespace Base
