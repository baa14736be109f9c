#include <cstring>
#include <new>
#include <string>

#include "base/XMLDocument.h"
#include "base/XMLNodePools.h"

// The text form's reading side: one forward pass over a zero-terminated
// buffer. Pooled documents cut names and values in place with terminators;
// owned documents copy them.

namespace Base
{
namespace
{
bool IsNameStart(char c)
{
    return IsAlphaASCII(c) || c == '_';
}

bool IsNameChar(char c, bool pooled)
{
    return IsAlphaASCII(c) || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == ':' || (pooled && c == '\'');
}

struct cEntity
{
    const char* name;
    const char* replacement;
};

// Searched in this order; a reference matches the first entry that starts
// with its text.
const cEntity kEntities[] = {
    {"quot", "\""}, {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"AElig", "\xC3\x86"}, {"aelig", "\xC3\xA6"},
};

const char* const kErrorTexts[cXMLDocument::kErrorCount] = {
    "No error",
    "File I/O error",
    "Memory allocation failed.",
    "Error parsing Element.",
    "Failed to read Element name",
    "Error reading Element value.",
    "Error reading Attributes.",
    "Error: empty tag.",
    "Error reading end tag.",
    "Error parsing Unknown.",
    "Error parsing Comment.",
    "Error parsing Declaration.",
    "Error attribute duplicated.",
};

bool StartsWithXMLNoCase(const char* p)
{
    return p[0] == '?' && ToLowerASCII(p[1]) == 'x' && ToLowerASCII(p[2]) == 'm' && ToLowerASCII(p[3]) == 'l';
}

// Decodes the entity references of [begin, end) in place; returns the end of
// the decoded text, which is never longer than the coded one.
char* DecodeInPlace(char* begin, char* end)
{
    char* write = begin;
    char* read = begin;
    while (read < end)
    {
        if (*read == '&')
        {
            char* semicolon = static_cast<char*>(std::memchr(read + 1, ';', size_t(end - (read + 1))));
            if (semicolon != nullptr)
            {
                const size_t length = size_t(semicolon - (read + 1));
                const cEntity* match = nullptr;
                for (const cEntity& entity : kEntities)
                    if (std::strncmp(entity.name, read + 1, length) == 0)
                    {
                        match = &entity;
                        break;
                    }
                if (match != nullptr)
                {
                    for (const char* r = match->replacement; *r != 0; ++r)
                        *write++ = *r;
                    read = semicolon + 1;
                    continue;
                }
            }
        }
        *write++ = *read++;
    }
    return write;
}

// The first occurrence of word inside [begin, end), or null.
char* FindWord(char* begin, char* end, const char* word)
{
    const size_t length = std::strlen(word);
    for (char* p = begin; p + length <= end; ++p)
        if (std::memcmp(p, word, length) == 0)
            return p;
    return nullptr;
}

// Far deeper than any document the program writes (its serialiser enters at
// most 63 levels), yet shallow enough for the job thread's small stack: the
// parse recurses once per level.
constexpr int32_t kMaxNesting = 100;

bool NestedTooDeep(const cXMLNode* element)
{
    int32_t depth = 0;
    for (const cXMLNode* node = element->GetParent(); node != nullptr; node = node->GetParent())
        if (++depth > kMaxNesting)
            return true;
    return false;
}

template <class T>
T* NewNode(cXMLNodePool<T>* pool)
{
    return pool != nullptr ? pool->Take() : new (std::nothrow) T();
}
} // namespace

const char* cXMLDocument::GetErrorTableText(int32_t id)
{
    return (id >= 0 && id < kErrorCount) ? kErrorTexts[id] : "";
}

char* cXMLBase::SkipBlanks(char* text)
{
    if (text == nullptr)
        return nullptr;
    while (IsBlankChar(*text))
        ++text;
    return text;
}

char* cXMLBase::ReadName(char* text, cGenString* target, bool pooled)
{
    if (!IsNameStart(*text))
    {
        if (!pooled)
            target->AssignCStr("");
        return nullptr;
    }
    char* end = text + 1;
    while (IsNameChar(*end, pooled))
        ++end;
    if (!pooled)
        target->AssignChars(text, int(end - text));
    return end;
}

// ------------------------------------------------------------------ document

char* cXMLDocument::Parse(char* text)
{
    char* position = SkipBlanks(text);
    if (position == nullptr || *position == 0)
    {
        SetErrorText("Document empty.");
        return nullptr;
    }
    while (position != nullptr && *position != 0)
    {
        position = std::strchr(position, '<');
        if (position == nullptr)
        {
            SetErrorText("The '<' symbol that starts a tag was not found.");
            return nullptr;
        }
        if (cXMLNode* node = Identify(&position))
            LinkEndChild(node);
        position = SkipBlanks(position);
    }
    return nullptr;
}

cXMLNode* cXMLNode::Identify(char** position)
{
    // The byte under the position is the "<" (or, in a pooled document, the
    // terminator that has just replaced it).
    char* text = SkipBlanks(*position + 1);
    cXMLNodePools* pools = mPooled ? mPools : nullptr;
    if (mPooled && pools == nullptr)
    {
        RecordError(cXMLDocument::kErrorOutOfMemory);
        *position = nullptr;
        return nullptr;
    }

    cXMLNode* node;
    if (StartsWithXMLNoCase(text))
        node = NewNode(pools ? &pools->mDeclarations : nullptr);
    else if (IsNameStart(*text))
        node = NewNode(pools ? &pools->mElements : nullptr);
    else if (text[0] == '!' && text[1] == '-' && text[2] == '-')
        node = NewNode(pools ? &pools->mComments : nullptr);
    else
        node = NewNode(pools ? &pools->mUnknowns : nullptr);

    if (node == nullptr)
    {
        RecordError(cXMLDocument::kErrorOutOfMemory);
        *position = nullptr;
        return nullptr;
    }
    node->mParent = this;
    *position = node->Parse(text);
    return node;
}

// ------------------------------------------------------------------ elements

char* cXMLElement::Parse(char* text)
{
    char* position = SkipBlanks(text);
    if (*position == 0 || NestedTooDeep(this))
    {
        RecordError(cXMLDocument::kErrorParsingElement);
        return nullptr;
    }
    char* nameStart = position;
    position = ReadName(position, &mValue, mPooled);
    if (position == nullptr)
    {
        RecordError(cXMLDocument::kErrorReadingElementName);
        return nullptr;
    }
    if (mPooled)
        mInPlaceValue = nameStart;

    for (;;)
    {
        // A start tag cut off here is a truncated document, not a success.
        if (*position == 0)
        {
            RecordError(cXMLDocument::kErrorParsingElement);
            return nullptr;
        }
        char* beforeBlanks = position;
        position = SkipBlanks(position);
        if (mPooled && position != beforeBlanks)
            *beforeBlanks = 0;
        if (*position == 0)
        {
            RecordError(cXMLDocument::kErrorReadingAttributes);
            return nullptr;
        }

        if (*position == '/')
        {
            const bool closes = position[1] == '>';
            if (mPooled)
                *position = 0;
            if (closes)
                return position + 2;
            RecordError(cXMLDocument::kErrorEmptyTag);
            return nullptr;
        }

        if (*position == '>')
        {
            if (mPooled)
                *position = 0;
            char* endTag = ReadValue(position + 1);
            if (endTag == nullptr)
                return nullptr;
            return ParseEndTag(endTag) ? endTag : nullptr;
        }

        cXMLAttribute* attribute = NewNode(mPooled ? &mPools->mAttributes : nullptr);
        if (attribute == nullptr)
        {
            RecordError(cXMLDocument::kErrorOutOfMemory);
            return nullptr;
        }
        attribute->SetOwner(this);
        position = attribute->Parse(position);
        attribute->SetOwner(nullptr);
        if (position == nullptr || *position == 0)
        {
            if (!mPooled)
                delete attribute;
            RecordError(cXMLDocument::kErrorParsingElement);
            return nullptr;
        }
        if (mAttributes.Find(attribute->GetName()) != nullptr)
        {
            if (!mPooled)
                delete attribute;
            RecordError(cXMLDocument::kErrorDuplicateAttribute);
            return nullptr;
        }
        mAttributes.Append(attribute);
    }
}

// position is at the "</" that ReadValue stopped at; on success it moves past
// the end tag's ">". The name must match byte for byte, letter case included.
bool cXMLElement::ParseEndTag(char*& position)
{
    char* tagStart = position;
    const char* name = GetValue();
    const size_t length = std::strlen(name);
    char* p = position + 2;
    if (std::strncmp(p, name, length) != 0 || p[length] != '>')
    {
        RecordError(cXMLDocument::kErrorReadingEndTag);
        return false;
    }
    if (mPooled)
        *tagStart = 0;
    position = p + length + 1;
    return true;
}

char* cXMLElement::ReadValue(char* text)
{
    char* position = SkipBlanks(text);
    while (*position != 0)
    {
        char* start = position;
        char* tag = std::strchr(position, '<');
        if (tag == nullptr)
        {
            RecordError(cXMLDocument::kErrorReadingElementValue);
            return nullptr;
        }
        char* firstByte = SkipBlanks(start);
        if (firstByte < tag)
        {
            cXMLText* textNode = NewNode(mPooled ? &mPools->mTexts : nullptr);
            if (textNode == nullptr)
            {
                RecordError(cXMLDocument::kErrorOutOfMemory);
                return nullptr;
            }
            textNode->Parse(start);
            LinkEndChild(textNode);
        }
        if (tag[1] == '/')
            return tag;
        // A pooled text that a child follows ends where the child's markup
        // begins.
        if (mPooled && firstByte < tag)
            *tag = 0;
        position = tag;
        if (cXMLNode* child = Identify(&position))
            LinkEndChild(child);
        if (position == nullptr)
            return nullptr;
    }
    // The text ended where the content or the end tag should have followed:
    // a truncated document.
    RecordError(cXMLDocument::kErrorReadingEndTag);
    return nullptr;
}

// ------------------------------------------------------------- the others

char* cXMLText::Parse(char* text)
{
    char* position = SkipBlanks(text);
    if (mPooled)
    {
        mInPlaceValue = position;
        char* tag = std::strchr(position, '<');
        return tag != nullptr ? tag : position + std::strlen(position);
    }
    std::string condensed;
    bool inBlanks = false;
    for (; *position != 0 && *position != '<'; ++position)
    {
        if (IsBlankChar(*position))
        {
            inBlanks = true;
            continue;
        }
        if (inBlanks)
            condensed.push_back(' ');
        inBlanks = false;
        condensed.push_back(*position);
    }
    if (inBlanks)
        condensed.push_back(' ');
    mValue.AssignChars(condensed.data(), int(condensed.size()));
    return position;
}

char* cXMLAttribute::Parse(char* text)
{
    char* nameStart = text;
    char* position = ReadName(text, &mName, mPooled);
    if (position == nullptr)
    {
        RecordError(cXMLDocument::kErrorReadingAttributes);
        return nullptr;
    }
    if (mPooled)
        mInPlaceName = nameStart;

    char* afterName = position;
    position = SkipBlanks(position);
    if (*position != '=')
    {
        RecordError(cXMLDocument::kErrorReadingAttributes);
        return nullptr;
    }
    if (mPooled)
    {
        *afterName = 0;
        *position = 0;
    }
    position = SkipBlanks(position + 1);
    if (*position == 0)
    {
        RecordError(cXMLDocument::kErrorReadingAttributes);
        return nullptr;
    }

    // The opening byte is passed over whatever it is; without a quote the
    // value has no closing byte and runs to the end of the text.
    const char quote = *position++;
    char* valueStart = position;
    char* close = (quote == '"' || quote == '\'') ? std::strchr(valueStart, quote) : nullptr;
    char* valueEnd = close != nullptr ? close : valueStart + std::strlen(valueStart);
    char* decodedEnd = DecodeInPlace(valueStart, valueEnd);
    if (mPooled)
    {
        mInPlaceValue = valueStart;
        *decodedEnd = 0;
    }
    else
        mValue.AssignChars(valueStart, int(decodedEnd - valueStart));
    return close != nullptr ? close + 1 : valueEnd;
}

void cXMLAttribute::RecordError(int32_t id)
{
    if (mOwner != nullptr)
        if (cXMLDocument* document = mOwner->GetDocument())
            document->SetError(id);
}

char* cXMLComment::Parse(char* text)
{
    char* body = text + 3;
    char* close = std::strstr(body, "-->");
    if (close == nullptr)
    {
        RecordError(cXMLDocument::kErrorParsingComment);
        return nullptr;
    }
    if (mPooled)
    {
        mInPlaceValue = body;
        *close = 0;
    }
    else
        mValue.AssignChars(body, int(close - body));
    return close + 3;
}

char* cXMLUnknown::Parse(char* text)
{
    char* close = std::strchr(text, '>');
    if (close == nullptr)
    {
        RecordError(cXMLDocument::kErrorParsingUnknown);
        return nullptr;
    }
    if (mPooled)
    {
        mInPlaceValue = text;
        *close = 0;
    }
    else
        mValue.AssignChars(text, int(close - text));
    return close + 1;
}

char* cXMLDeclaration::Parse(char* text)
{
    char* fields = text + 4;
    char* end;
    if (char* question = std::strstr(fields, "?>"))
        end = question + 2;
    else if (char* bracket = std::strchr(fields, '>'))
        end = bracket + 1;
    else
    {
        RecordError(cXMLDocument::kErrorParsingDeclaration);
        return nullptr;
    }

    struct cField
    {
        const char* word;
        cGenString* target;
    };
    const cField kFields[] = {{"version", &mVersion}, {"encoding", &mEncoding}, {"standalone", &mStandalone}};
    for (const cField& field : kFields)
    {
        char* word = FindWord(fields, end, field.word);
        if (word == nullptr)
            continue;
        // No owner: a malformed field is left empty, not reported.
        cXMLAttribute attribute;
        field.target->AssignCStr(attribute.Parse(word) != nullptr ? attribute.GetValue() : "");
    }
    return end;
}

} // namespace Base
