#include <climits>
#include <cstring>
#include <new>
#include <string>
#include <unordered_set>

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

// A reference names one of these whole; anything else stays as written.
const cEntity kEntities[] = {
    {"quot", "\""}, {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"AElig", "\xC3\x86"}, {"aelig", "\xC3\xA6"},
};
// "AElig": a ";" further away than this cannot end a reference.
constexpr size_t kLongestEntityName = 5;

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

// The entity whose whole name is [name, name + length), or null.
const cEntity* FindEntity(const char* name, size_t length)
{
    for (const cEntity& entity : kEntities)
        if (std::strlen(entity.name) == length && std::memcmp(entity.name, name, length) == 0)
            return &entity;
    return nullptr;
}

// Decodes the entity references of [begin, end) in place in one pass (each
// "&" looks ahead no further than the longest name); returns the end of the
// decoded text, which is never longer than the coded one.
char* DecodeInPlace(char* begin, char* end)
{
    // Most values hold no reference: nothing moves before the first "&".
    char* first = static_cast<char*>(std::memchr(begin, '&', size_t(end - begin)));
    if (first == nullptr)
        return end;
    char* write = first;
    char* read = first;
    while (read < end)
    {
        if (*read == '&')
        {
            char* name = read + 1;
            const size_t reach = std::min(size_t(end - name), kLongestEntityName + 1);
            char* semicolon = static_cast<char*>(std::memchr(name, ';', reach));
            if (const cEntity* entity = semicolon ? FindEntity(name, size_t(semicolon - name)) : nullptr)
            {
                for (const char* r = entity->replacement; *r != 0; ++r)
                    *write++ = *r;
                read = semicolon + 1;
                continue;
            }
        }
        *write++ = *read++;
    }
    return write;
}

// Copies n bytes into an owned text. False when the text cannot hold them
// (128 MiB and more, or no memory): a load must fail rather than keep an
// empty text in their place.
bool CopyWhole(cGenString& target, const char* text, size_t n)
{
    if (n >= size_t(INT_MAX))
        return false;
    target.AssignChars(text, int(n));
    return size_t(target.Length()) == n;
}

// Tells whether an element already has an attribute of a name, ignoring
// letter case: by a walk over the few attributes most elements have, and by
// a hash of the lower-cased names past those, so that an element with tens
// of thousands of attributes costs linear time, not quadratic.
class cAttributeNames
{
public:
    explicit cAttributeNames(const cXMLAttributeSet& attributes) : mAttributes(attributes) {}

    bool Contains(const char* name) const
    {
        if (mCount <= kWalkLimit)
            return mAttributes.Find(name) != nullptr;
        return mLowerCased.count(LowerCased(name)) != 0;
    }

    // After the attribute has joined the set.
    void Added(const char* name)
    {
        if (++mCount < kWalkLimit)
            return;
        if (mCount == kWalkLimit)
        {
            for (const cXMLAttribute* a = mAttributes.First(); a != nullptr; a = a->Next())
                mLowerCased.insert(LowerCased(a->GetName()));
            return;
        }
        mLowerCased.insert(LowerCased(name));
    }

private:
    static constexpr int kWalkLimit = 8;

    static std::string LowerCased(const char* name)
    {
        std::string lower(name);
        for (char& c : lower)
            c = ToLowerASCII(c);
        return lower;
    }

    const cXMLAttributeSet& mAttributes;
    int mCount = 0;
    std::unordered_set<std::string> mLowerCased;
};

// Reads the declaration field "word = quoted value" from the declaration's
// own text: the first place where the word stands as a whole name followed by
// "=". False when the field is there but its value is not closed within the
// text (which ends in a blank, so a closed value never ends at the end).
bool ReadDeclarationField(char* fields, const char* word, cGenString& target)
{
    const size_t length = std::strlen(word);
    for (char* at = std::strstr(fields, word); at != nullptr; at = std::strstr(at + 1, word))
    {
        const bool wholeName = (at == fields || !IsNameChar(at[-1], false)) && !IsNameChar(at[length], false);
        if (!wholeName || *cXMLBase::SkipBlanks(at + length) != '=')
            continue;
        cXMLAttributeText read;
        char* after = cXMLAttribute::ReadText(at, false, read);
        if (after == nullptr || *after == 0)
            return false;
        return CopyWhole(target, read.value, size_t(read.valueEnd - read.value));
    }
    return true;
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

// The end of the name at text, or null when none starts there.
char* NameEnd(char* text, bool pooled)
{
    if (!IsNameStart(*text))
        return nullptr;
    char* end = text + 1;
    while (IsNameChar(*end, pooled))
        ++end;
    return end;
}

// An owned element with the name at text behind it, so that the name costs
// no heap block of its own; a name too long to hold is left for the parse to
// refuse.
cXMLElement* NewOwnedElementAt(char* text)
{
    const size_t length = size_t(NameEnd(text, false) - text);
    if (length > cXMLBase::kLongestOwnedText)
        return new (std::nothrow) cXMLElement();
    return cXMLElement::NewOwned(text, length);
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
    char* end = NameEnd(text, pooled);
    if (end == nullptr)
    {
        if (!pooled)
            target->AssignCStr("");
        return nullptr;
    }
    if (!pooled && !CopyWhole(*target, text, size_t(end - text)))
        return nullptr;
    return end;
}

// ------------------------------------------------------------------ document

char* cXMLDocument::Parse(char* text)
{
    mNoQuestionCloseFrom = nullptr;
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
        node = pools ? pools->mElements.Take() : NewOwnedElementAt(text);
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
    // An owned element that the parse made holds its name already.
    const bool holdsName = !mPooled && mInPlaceValue != nullptr;
    position = holdsName ? NameEnd(position, false) : ReadName(position, &mValue, mPooled);
    if (position == nullptr)
    {
        RecordError(cXMLDocument::kErrorReadingElementName);
        return nullptr;
    }
    if (mPooled)
        mInPlaceValue = nameStart;

    cAttributeNames names(mAttributes);
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

        cXMLAttributeText read;
        position = cXMLAttribute::ReadText(position, mPooled, read);
        if (position == nullptr || *position == 0)
        {
            RecordError(cXMLDocument::kErrorParsingElement);
            return nullptr;
        }
        cXMLAttribute* attribute = TakeAttribute(read);
        if (attribute == nullptr)
            return nullptr;
        if (names.Contains(attribute->GetName()))
        {
            if (!mPooled)
                delete attribute;
            RecordError(cXMLDocument::kErrorDuplicateAttribute);
            return nullptr;
        }
        mAttributes.Append(attribute);
        names.Added(attribute->GetName());
    }
}

cXMLAttribute* cXMLElement::TakeAttribute(const cXMLAttributeText& read)
{
    if (mPooled)
    {
        cXMLAttribute* attribute = mPools->mAttributes.Take();
        attribute->PlaceInText(read);
        return attribute;
    }
    const size_t nameLength = size_t(read.nameEnd - read.name);
    const size_t valueLength = size_t(read.valueEnd - read.value);
    if (nameLength > kLongestOwnedText || valueLength > kLongestOwnedText)
    {
        RecordError(cXMLDocument::kErrorParsingElement);
        return nullptr;
    }
    cXMLAttribute* attribute = cXMLAttribute::NewOwned(read.name, nameLength, read.value, valueLength);
    if (attribute == nullptr)
        RecordError(cXMLDocument::kErrorOutOfMemory);
    return attribute;
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
            textNode->mParent = this; // so that a failure reaches the document
            const bool kept = textNode->Parse(start) != nullptr;
            LinkEndChild(textNode);
            if (!kept)
                return nullptr;
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
    if (!CopyWhole(mValue, condensed.data(), condensed.size()))
    {
        RecordError(cXMLDocument::kErrorOutOfMemory);
        return nullptr;
    }
    return position;
}

char* cXMLAttribute::ReadText(char* text, bool pooled, cXMLAttributeText& out)
{
    out.name = text;
    out.nameEnd = NameEnd(text, pooled);
    if (out.nameEnd == nullptr)
        return nullptr;
    out.equals = SkipBlanks(out.nameEnd);
    if (*out.equals != '=')
        return nullptr;
    char* position = SkipBlanks(out.equals + 1);
    if (*position == 0)
        return nullptr;

    // The opening byte is passed over whatever it is; without a quote the
    // value has no closing byte and runs to the end of the text.
    const char quote = *position++;
    out.value = position;
    char* close = (quote == '"' || quote == '\'') ? std::strchr(out.value, quote) : nullptr;
    char* valueEnd = close != nullptr ? close : out.value + std::strlen(out.value);
    out.valueEnd = DecodeInPlace(out.value, valueEnd);
    return close != nullptr ? close + 1 : valueEnd;
}

void cXMLAttribute::PlaceInText(const cXMLAttributeText& text)
{
    *text.nameEnd = 0;
    *text.equals = 0;
    *text.valueEnd = 0;
    mInPlaceName = text.name;
    mInPlaceValue = text.value;
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
    else if (!CopyWhole(mValue, body, size_t(close - body)))
    {
        RecordError(cXMLDocument::kErrorOutOfMemory);
        return nullptr;
    }
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
    else if (!CopyWhole(mValue, text, size_t(close - text)))
    {
        RecordError(cXMLDocument::kErrorOutOfMemory);
        return nullptr;
    }
    return close + 1;
}

// The first "?>" from fields on. The document remembers where none follows,
// so a run of declarations closed by ">" alone costs one scan, not one each.
char* cXMLDeclaration::FindQuestionClose(char* fields)
{
    cXMLDocument* document = GetDocument();
    if (document != nullptr && document->mNoQuestionCloseFrom != nullptr && fields >= document->mNoQuestionCloseFrom)
        return nullptr;
    char* close = std::strstr(fields, "?>");
    if (close == nullptr && document != nullptr)
        document->mNoQuestionCloseFrom = fields;
    return close;
}

char* cXMLDeclaration::Parse(char* text)
{
    char* fields = text + 4;
    char* close = FindQuestionClose(fields);
    size_t closeLength = 2;
    if (close == nullptr)
    {
        close = std::strchr(fields, '>');
        closeLength = 1;
    }
    if (close == nullptr)
    {
        RecordError(cXMLDocument::kErrorParsingDeclaration);
        return nullptr;
    }

    // The fields are read from a copy that ends where the declaration ends,
    // so that no value can reach into the markup after it (and decode it in
    // place); a field whose value is not closed there fails the parse.
    std::string own(fields, close);
    own.push_back(' ');
    struct cField
    {
        const char* word;
        cGenString* target;
    };
    const cField kFields[] = {{"version", &mVersion}, {"encoding", &mEncoding}, {"standalone", &mStandalone}};
    for (const cField& field : kFields)
        if (!ReadDeclarationField(own.data(), field.word, *field.target))
        {
            RecordError(cXMLDocument::kErrorParsingDeclaration);
            return nullptr;
        }
    return close + closeLength;
}

} // namespace Base
