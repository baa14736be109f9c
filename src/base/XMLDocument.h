#pragma once

#include <cstddef>
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

namespace Base
{
class cXMLDocument;
class cXMLElement;
class cXMLNode;
class cXMLNodePools;
template <class T>
class cXMLNodePool;

// The in-memory tree under the XML serialiser. A document is either owned
// (every node and attribute is its own heap object with copies of its texts)
// or pooled (objects come from per-kind pools and their texts point into the
// loaded text, which the parser cuts with terminators).
// Names are looked up ignoring letter case; errors are recorded in the
// document, never thrown.
class cXMLBase
{
public:
    cXMLBase() = default;
    cXMLBase(const cXMLBase&) = delete;
    cXMLBase& operator=(const cXMLBase&) = delete;
    virtual ~cXMLBase() = default;

    virtual void Print(File::cFile* stream, int32_t depth) = 0;

    // Owned texts are refused past this length, whether copied into a
    // string (which holds no more) or kept behind their object.
    static constexpr size_t kLongestOwnedText = (size_t(1) << 27) - 2;

    bool IsPooled() const { return mPooled; }
    cXMLNodePools* GetPools() const { return mPools; }

    // The first non-blank byte (a null position stays null).
    static char* SkipBlanks(char* text);
    // Formats one piece of output and writes it whole.
    static void PrintF(File::cFile* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Writes bytes as they are; a short write sets the stream's error flag.
    static void PrintBytes(File::cFile* stream, const char* bytes, int length);

protected:
    // Reads one name at text. Owned: copies it into target; pooled: leaves
    // target alone (the caller terminates the name in the text later).
    // Returns the position after the name, or null when there is none.
    static char* ReadName(char* text, cGenString* target, bool pooled);

    bool mPooled = false;
    cXMLNodePools* mPools = nullptr;

    template <class T>
    friend class cXMLNodePool;
};

// One "name = 'value'" as it lies in the text: the value is decoded in
// place, and neither name nor value is terminated yet.
struct cXMLAttributeText
{
    char* name = nullptr;
    char* nameEnd = nullptr;
    char* equals = nullptr;
    char* value = nullptr;
    char* valueEnd = nullptr;
};

class cXMLAttribute : public cXMLBase
{
public:
    cXMLAttribute() = default;
    ~cXMLAttribute() override = default;

    // An owned attribute: one heap block holding the object with copies of
    // its name and value behind it (a parse makes thousands, so one block
    // each instead of three). Null when out of memory.
    static cXMLAttribute* NewOwned(const char* name, size_t nameLength, const char* value, size_t valueLength);
    // Frees the single block NewOwned made, whatever its size.
    static void operator delete(void* memory) { ::operator delete(memory); }

    void Print(File::cFile* stream, int32_t depth) override;
    // Reads "name = 'value'" at text, decoding the value in place; the
    // position after the value, or null.
    static char* ReadText(char* text, bool pooled, cXMLAttributeText& out);
    // Points a pooled attribute at its name and value in the loaded text and
    // terminates both there.
    void PlaceInText(const cXMLAttributeText& text);

    const char* GetName() const;
    const char* GetValue() const;
    void SetValue(const char* value);
    // The neighbours in the element's list; null at the list's sentinel.
    cXMLAttribute* Next() const;
    cXMLAttribute* Previous() const;

private:
    friend class cXMLAttributeSet;
    friend class cXMLElement;

    bool IsEndMarker() const;

    // Pooled: in the loaded text. Owned: behind the object, the value until
    // SetValue stores a new one in mValue.
    char* mInPlaceName = nullptr;
    char* mInPlaceValue = nullptr;
    cGenString mValue;
    cXMLAttribute* mPrevious = nullptr;
    cXMLAttribute* mNext = nullptr;
};

// A circular list of attributes closed by a sentinel with an empty name and
// value; attributes keep their insertion order.
class cXMLAttributeSet
{
public:
    cXMLAttributeSet();
    cXMLAttributeSet(const cXMLAttributeSet&) = delete;
    cXMLAttributeSet& operator=(const cXMLAttributeSet&) = delete;

    cXMLAttribute* First() const { return mSentinel.mNext; }
    const cXMLAttribute* Sentinel() const { return &mSentinel; }
    bool IsEmpty() const { return mSentinel.mNext == &mSentinel; }
    void Append(cXMLAttribute* attribute);
    void Unlink(cXMLAttribute* attribute);
    // Empties the list without touching its members (pooled attributes may
    // already be gone).
    void Forget();
    cXMLAttribute* Find(const char* name) const;
    // Appends unless an attribute of that name exists.
    bool AddIfNew(cXMLAttribute* attribute);

private:
    mutable cXMLAttribute mSentinel;
};

class cXMLNode : public cXMLBase
{
public:
    enum : int32_t
    {
        kDocument = 0,
        kElement = 1,
        kComment = 2,
        kUnknown = 3,
        kText = 4,
        kDeclaration = 5,
    };

    ~cXMLNode() override;

    virtual int32_t GetType() const { return mType; }
    // A new owned copy; null when allocation fails.
    virtual cXMLNode* Clone() const = 0;
    // Parses the node from just after its "<" (the document: the whole
    // text); the position after the node, or null on failure.
    virtual char* Parse(char* text) = 0;

    const char* GetValue() const;
    void SetValue(const char* value);
    cXMLNode* GetParent() const { return mParent; }
    cXMLDocument* GetDocument();

    // Searches by name ignoring letter case; comments are passed over unless
    // includeComments is set.
    cXMLNode* FirstChild(const char* name, bool includeComments) const;
    cXMLNode* NextSibling(const char* name, bool includeComments) const;
    cXMLNode* LastChild(const char* name, bool includeComments) const;
    cXMLNode* PreviousSibling(const char* name, bool includeComments) const;
    // The first (last, next) child or sibling that is not a comment.
    cXMLNode* FirstChild() const;
    cXMLNode* LastChild() const;
    cXMLNode* NextSibling() const;
    cXMLElement* FirstChildElement(const char* name) const;
    cXMLElement* NextSiblingElement(const char* name) const;

    // Links the node itself (not a copy) as the last child.
    cXMLNode* LinkEndChild(cXMLNode* node);
    // Unlinks a child and destroys it; false when it belongs to another node.
    bool RemoveChild(cXMLNode* child);
    void Clear();

    cXMLDocument* ToDocument();
    cXMLElement* ToElement();

    // Creates, parses and returns the node whose markup starts at the "<"
    // under the position, and advances the position (null after a failure).
    cXMLNode* Identify(char** position);

protected:
    explicit cXMLNode(int32_t type) : mType(type) {}

    void UnlinkChildren();
    void CopyValueTo(cXMLNode* target) const;
    void CloneChildrenInto(cXMLNode* target) const;
    bool RecordError(int32_t id);

    cXMLNode* mParent = nullptr;
    int32_t mType;
    cXMLNode* mFirstChild = nullptr;
    cXMLNode* mLastChild = nullptr;
    cGenString mValue;
    // Pooled: the value in the loaded text. Owned: an element's name behind
    // the object, until SetValue stores a new one in mValue.
    char* mInPlaceValue = nullptr;
    cXMLNode* mPrevious = nullptr;
    cXMLNode* mNext = nullptr;

    friend class cXMLElement;
    friend class cXMLDocument;
};

class cXMLElement : public cXMLNode
{
public:
    cXMLElement() : cXMLNode(kElement) {}
    explicit cXMLElement(const char* name);
    ~cXMLElement() override;

    // An owned element in one heap block with a copy of its name behind the
    // object; null when out of memory.
    static cXMLElement* NewOwned(const char* name, size_t length);
    // Frees the single block NewOwned made, whatever its size.
    static void operator delete(void* memory) { ::operator delete(memory); }

    void Print(File::cFile* stream, int32_t depth) override;
    cXMLNode* Clone() const override;
    char* Parse(char* text) override;
    // Parses the content after the start tag up to the "</" of the end tag.
    char* ReadValue(char* text);

    // Replaces the value of the attribute of that name (its stored name is
    // kept) or appends a new attribute; false (error 2) when the value could
    // not be stored whole.
    bool SetAttribute(const char* name, const char* value);
    bool SetAttribute(const juce::String& name, const juce::String& value);
    cXMLAttribute* FindAttribute(const char* name) const;
    // The value text, or null when there is no such attribute.
    const char* Attribute(const char* name) const;
    bool RemoveAttribute(const char* name);
    cXMLAttribute* FirstAttribute() const;

private:
    // The attribute read, from the pool or as its own owned block; null
    // (error recorded) when an owned text is too long or memory runs out.
    cXMLAttribute* TakeAttribute(const cXMLAttributeText& read);
    bool ParseEndTag(char*& position);

    cXMLAttributeSet mAttributes;
};

class cXMLComment : public cXMLNode
{
public:
    cXMLComment() : cXMLNode(kComment) {}
    void Print(File::cFile* stream, int32_t depth) override;
    cXMLNode* Clone() const override;
    char* Parse(char* text) override;
};

// Markup the parser does not recognise (document types, character data,
// processing instructions); kept and printed back as it was.
class cXMLUnknown : public cXMLNode
{
public:
    cXMLUnknown() : cXMLNode(kUnknown) {}
    void Print(File::cFile* stream, int32_t depth) override;
    cXMLNode* Clone() const override;
    char* Parse(char* text) override;
};

class cXMLText : public cXMLNode
{
public:
    cXMLText() : cXMLNode(kText) {}
    void Print(File::cFile* stream, int32_t depth) override;
    cXMLNode* Clone() const override;
    char* Parse(char* text) override;
};

class cXMLDeclaration : public cXMLNode
{
public:
    cXMLDeclaration() : cXMLNode(kDeclaration) {}
    cXMLDeclaration(const char* version, const char* encoding, const char* standalone);
    void Print(File::cFile* stream, int32_t depth) override;
    cXMLNode* Clone() const override;
    char* Parse(char* text) override;

    const char* GetVersion() const { return mVersion.CStr(); }
    const char* GetEncoding() const { return mEncoding.CStr(); }
    const char* GetStandalone() const { return mStandalone.CStr(); }

private:
    char* FindQuestionClose(char* fields);

    cGenString mVersion;
    cGenString mEncoding;
    cGenString mStandalone;
};

class cXMLDocument : public cXMLNode
{
public:
    enum : int32_t
    {
        kNoError = 0,
        kErrorIO = 1,
        kErrorOutOfMemory = 2,
        kErrorParsingElement = 3,
        kErrorReadingElementName = 4,
        kErrorReadingElementValue = 5,
        kErrorReadingAttributes = 6,
        kErrorEmptyTag = 7,
        kErrorReadingEndTag = 8,
        kErrorParsingUnknown = 9,
        kErrorParsingComment = 10,
        kErrorParsingDeclaration = 11,
        kErrorDuplicateAttribute = 12,
        kErrorCount = 13,
    };

    explicit cXMLDocument(bool pooled = false);
    ~cXMLDocument() override;

    void Print(File::cFile* stream, int32_t depth) override;
    cXMLNode* Clone() const override;
    char* Parse(char* text) override;

    // Replaces the content by the parsed stream; true when no error was
    // ever recorded.
    bool LoadFile(File::cFile* stream);
    // Prints the document from the stream's start; false (error 1) when the
    // stream did not take every byte.
    bool SaveFile(File::cFile* stream);

    void SetError(int32_t id);
    void SetError(int32_t id, const cGenString& text);
    bool HasError() const { return mError; }
    int32_t GetErrorId() const { return mErrorId; }
    const char* GetErrorText() const { return mErrorText.CStr(); }
    static const char* GetErrorTableText(int32_t id);

    // Frees a pooled document's loaded text and its pools; its nodes must
    // not be touched afterwards.
    void ReleaseLoadData();

private:
    // The two document-level failures, which leave the error id alone.
    void SetErrorText(const char* text);

    bool mError = false;
    int32_t mErrorId = kNoError;
    cGenString mErrorText;
    char* mLoadedText = nullptr;
    // During a parse: no "?>" follows this position.
    char* mNoQuestionCloseFrom = nullptr;

    friend class cXMLDeclaration;
};

} // namespace Base
