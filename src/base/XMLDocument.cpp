#include "base/XMLDocument.h"

#include <juce_core/juce_core.h>

#include <cstring>
#include <new>

#include "base/File.h"
#include "base/XMLNodePools.h"

namespace Base
{
namespace
{
bool NamesMatch(const char* a, const char* b)
{
    return cGenString::EqualsNoCase(cGenString(a), cGenString(b));
}

bool Matches(const cXMLNode* node, const char* name, bool includeComments)
{
    if (!includeComments && node->GetType() == cXMLNode::kComment)
        return false;
    return name == nullptr || NamesMatch(node->GetValue(), name);
}
} // namespace

// ---------------------------------------------------------------- attributes

cXMLAttribute* cXMLAttribute::NewOwned(const char* name, size_t nameLength, const char* value, size_t valueLength)
{
    if (nameLength > kLongestOwnedText || valueLength > kLongestOwnedText)
        return nullptr;
    void* memory = ::operator new(sizeof(cXMLAttribute) + nameLength + valueLength + 2, std::nothrow);
    if (memory == nullptr)
        return nullptr;
    cXMLAttribute* attribute = new (memory) cXMLAttribute();
    char* texts = reinterpret_cast<char*>(attribute + 1);
    attribute->mInPlaceName = texts;
    std::memcpy(texts, name, nameLength);
    texts[nameLength] = 0;
    attribute->mInPlaceValue = texts + nameLength + 1;
    std::memcpy(attribute->mInPlaceValue, value, valueLength);
    attribute->mInPlaceValue[valueLength] = 0;
    return attribute;
}

const char* cXMLAttribute::GetName() const
{
    return mInPlaceName ? mInPlaceName : "";
}

const char* cXMLAttribute::GetValue() const
{
    if (mInPlaceValue != nullptr)
        return mInPlaceValue;
    return mPooled ? "" : mValue.CStr();
}

void cXMLAttribute::SetValue(const char* value)
{
    mValue.AssignCStr(value);
    if (!mPooled)
        mInPlaceValue = nullptr;
}

bool cXMLAttribute::IsEndMarker() const
{
    return GetName()[0] == 0 && GetValue()[0] == 0;
}

cXMLAttribute* cXMLAttribute::Next() const
{
    return (mNext == nullptr || mNext->IsEndMarker()) ? nullptr : mNext;
}

cXMLAttribute* cXMLAttribute::Previous() const
{
    return (mPrevious == nullptr || mPrevious->IsEndMarker()) ? nullptr : mPrevious;
}

cXMLAttributeSet::cXMLAttributeSet()
{
    mSentinel.mNext = &mSentinel;
    mSentinel.mPrevious = &mSentinel;
}

void cXMLAttributeSet::Append(cXMLAttribute* attribute)
{
    attribute->mNext = &mSentinel;
    attribute->mPrevious = mSentinel.mPrevious;
    mSentinel.mPrevious->mNext = attribute;
    mSentinel.mPrevious = attribute;
}

void cXMLAttributeSet::Unlink(cXMLAttribute* attribute)
{
    attribute->mPrevious->mNext = attribute->mNext;
    attribute->mNext->mPrevious = attribute->mPrevious;
    attribute->mNext = nullptr;
    attribute->mPrevious = nullptr;
}

void cXMLAttributeSet::Forget()
{
    mSentinel.mNext = &mSentinel;
    mSentinel.mPrevious = &mSentinel;
}

cXMLAttribute* cXMLAttributeSet::Find(const char* name) const
{
    if (name == nullptr || name[0] == 0)
        return nullptr;
    for (cXMLAttribute* attribute = mSentinel.mNext; attribute != &mSentinel; attribute = attribute->mNext)
    {
        const char* attributeName = attribute->GetName();
        if (attributeName[0] == 0)
            return nullptr;
        if (NamesMatch(attributeName, name))
            return attribute;
    }
    return nullptr;
}

bool cXMLAttributeSet::AddIfNew(cXMLAttribute* attribute)
{
    if (Find(attribute->GetName()) != nullptr)
        return false;
    Append(attribute);
    return true;
}

// --------------------------------------------------------------------- nodes

cXMLNode::~cXMLNode()
{
    if (!mPooled)
        Clear();
}

const char* cXMLNode::GetValue() const
{
    if (mInPlaceValue != nullptr)
        return mInPlaceValue;
    return mPooled ? "" : mValue.CStr();
}

void cXMLNode::SetValue(const char* value)
{
    mValue.AssignCStr(value);
    if (!mPooled)
        mInPlaceValue = nullptr;
}

cXMLDocument* cXMLNode::GetDocument()
{
    for (cXMLNode* node = this; node != nullptr; node = node->mParent)
        if (node->mType == kDocument)
            return static_cast<cXMLDocument*>(node);
    return nullptr;
}

bool cXMLNode::RecordError(int32_t id)
{
    if (cXMLDocument* document = GetDocument())
        document->SetError(id);
    return false;
}

cXMLDocument* cXMLNode::ToDocument()
{
    return mType == kDocument ? static_cast<cXMLDocument*>(this) : nullptr;
}

cXMLElement* cXMLNode::ToElement()
{
    return mType == kElement ? static_cast<cXMLElement*>(this) : nullptr;
}

cXMLNode* cXMLNode::FirstChild(const char* name, bool includeComments) const
{
    for (cXMLNode* node = mFirstChild; node != nullptr; node = node->mNext)
        if (Matches(node, name, includeComments))
            return node;
    return nullptr;
}

cXMLNode* cXMLNode::NextSibling(const char* name, bool includeComments) const
{
    for (cXMLNode* node = mNext; node != nullptr; node = node->mNext)
        if (Matches(node, name, includeComments))
            return node;
    return nullptr;
}

cXMLNode* cXMLNode::LastChild(const char* name, bool includeComments) const
{
    for (cXMLNode* node = mLastChild; node != nullptr; node = node->mPrevious)
        if (Matches(node, name, includeComments))
            return node;
    return nullptr;
}

cXMLNode* cXMLNode::PreviousSibling(const char* name, bool includeComments) const
{
    for (cXMLNode* node = mPrevious; node != nullptr; node = node->mPrevious)
        if (Matches(node, name, includeComments))
            return node;
    return nullptr;
}

cXMLNode* cXMLNode::FirstChild() const
{
    return FirstChild(nullptr, false);
}

cXMLNode* cXMLNode::LastChild() const
{
    return LastChild(nullptr, false);
}

cXMLNode* cXMLNode::NextSibling() const
{
    return NextSibling(nullptr, false);
}

cXMLElement* cXMLNode::FirstChildElement(const char* name) const
{
    for (cXMLNode* node = FirstChild(name, false); node != nullptr; node = node->NextSibling(name, false))
        if (node->mType == kElement)
            return static_cast<cXMLElement*>(node);
    return nullptr;
}

cXMLElement* cXMLNode::NextSiblingElement(const char* name) const
{
    for (cXMLNode* node = NextSibling(name, false); node != nullptr; node = node->NextSibling(name, false))
        if (node->mType == kElement)
            return static_cast<cXMLElement*>(node);
    return nullptr;
}

cXMLNode* cXMLNode::LinkEndChild(cXMLNode* node)
{
    node->mParent = this;
    node->mPrevious = mLastChild;
    node->mNext = nullptr;
    if (mLastChild != nullptr)
        mLastChild->mNext = node;
    else
        mFirstChild = node;
    mLastChild = node;
    return node;
}

bool cXMLNode::RemoveChild(cXMLNode* child)
{
    if (child == nullptr || child->mParent != this)
        return false;
    if (child->mNext != nullptr)
        child->mNext->mPrevious = child->mPrevious;
    else
        mLastChild = child->mPrevious;
    if (child->mPrevious != nullptr)
        child->mPrevious->mNext = child->mNext;
    else
        mFirstChild = child->mNext;
    if (!child->mPooled)
        delete child;
    return true;
}

void cXMLNode::Clear()
{
    // Pooled children belong to their pools; owned ones (an element written
    // into a pooled document) belong to this node.
    cXMLNode* node = mFirstChild;
    while (node != nullptr)
    {
        cXMLNode* next = node->mNext;
        if (!node->mPooled)
            delete node;
        node = next;
    }
    mFirstChild = nullptr;
    mLastChild = nullptr;
}

void cXMLNode::CopyValueTo(cXMLNode* target) const
{
    // Copies are owned, so a pooled node's text is copied out of the buffer.
    target->mValue.AssignCStr(GetValue());
}

void cXMLNode::CloneChildrenInto(cXMLNode* target) const
{
    // The first child, then the following siblings that are not comments.
    for (cXMLNode* node = mFirstChild; node != nullptr; node = node->NextSibling())
        if (cXMLNode* copy = node->Clone())
            target->LinkEndChild(copy);
}

// ------------------------------------------------------------------ elements

cXMLElement::cXMLElement(const char* name) : cXMLNode(kElement)
{
    mValue.AssignCStr(name);
}

cXMLElement* cXMLElement::NewOwned(const char* name, size_t length)
{
    if (length > kLongestOwnedText)
        return nullptr;
    void* memory = ::operator new(sizeof(cXMLElement) + length + 1, std::nothrow);
    if (memory == nullptr)
        return nullptr;
    cXMLElement* element = new (memory) cXMLElement();
    element->mInPlaceValue = reinterpret_cast<char*>(element + 1);
    std::memcpy(element->mInPlaceValue, name, length);
    element->mInPlaceValue[length] = 0;
    return element;
}

cXMLElement::~cXMLElement()
{
    if (mPooled)
    {
        // Pooled attributes die with their pool, possibly before this element.
        mAttributes.Forget();
        return;
    }
    while (!mAttributes.IsEmpty())
    {
        cXMLAttribute* attribute = mAttributes.First();
        mAttributes.Unlink(attribute);
        delete attribute;
    }
}

cXMLNode* cXMLElement::Clone() const
{
    cXMLElement* copy = new (std::nothrow) cXMLElement();
    if (copy == nullptr)
        return nullptr;
    CopyValueTo(copy);
    for (const cXMLAttribute* attribute = mAttributes.First(); attribute != mAttributes.Sentinel();
         attribute = attribute->mNext)
        copy->SetAttribute(attribute->GetName(), attribute->GetValue());
    CloneChildrenInto(copy);
    return copy;
}

bool cXMLElement::SetAttribute(const char* name, const char* value)
{
    const char* newValue = value ? value : "";
    if (cXMLAttribute* attribute = mAttributes.Find(name))
    {
        attribute->SetValue(newValue);
        // A text too long for the value (128 MiB and more) or no memory for
        // it leaves a shorter value: that must not pass as stored.
        if (std::strlen(attribute->GetValue()) == std::strlen(newValue))
            return true;
        RecordError(cXMLDocument::kErrorOutOfMemory);
        return false;
    }
    const char* newName = name ? name : "";
    cXMLAttribute* attribute =
        cXMLAttribute::NewOwned(newName, std::strlen(newName), newValue, std::strlen(newValue));
    if (attribute == nullptr)
    {
        RecordError(cXMLDocument::kErrorOutOfMemory);
        return false;
    }
    mAttributes.Append(attribute);
    return true;
}

bool cXMLElement::SetAttribute(const juce::String& name, const juce::String& value)
{
    return SetAttribute(name.toRawUTF8(), value.toRawUTF8());
}

cXMLAttribute* cXMLElement::FindAttribute(const char* name) const
{
    return mAttributes.Find(name);
}

const char* cXMLElement::Attribute(const char* name) const
{
    const cXMLAttribute* attribute = mAttributes.Find(name);
    return attribute ? attribute->GetValue() : nullptr;
}

bool cXMLElement::RemoveAttribute(const char* name)
{
    cXMLAttribute* attribute = mAttributes.Find(name);
    if (attribute == nullptr)
        return false;
    mAttributes.Unlink(attribute);
    if (!attribute->mPooled)
        delete attribute;
    return true;
}

cXMLAttribute* cXMLElement::FirstAttribute() const
{
    return mAttributes.IsEmpty() ? nullptr : mAttributes.First();
}

// ------------------------------------------------------ the other node kinds

cXMLNode* cXMLComment::Clone() const
{
    cXMLComment* copy = new (std::nothrow) cXMLComment();
    if (copy != nullptr)
        CopyValueTo(copy);
    return copy;
}

cXMLNode* cXMLUnknown::Clone() const
{
    cXMLUnknown* copy = new (std::nothrow) cXMLUnknown();
    if (copy != nullptr)
        CopyValueTo(copy);
    return copy;
}

cXMLNode* cXMLText::Clone() const
{
    cXMLText* copy = new (std::nothrow) cXMLText();
    if (copy != nullptr)
        CopyValueTo(copy);
    return copy;
}

cXMLDeclaration::cXMLDeclaration(const char* version, const char* encoding, const char* standalone)
    : cXMLNode(kDeclaration)
{
    mVersion.AssignCStr(version);
    mEncoding.AssignCStr(encoding);
    mStandalone.AssignCStr(standalone);
}

cXMLNode* cXMLDeclaration::Clone() const
{
    cXMLDeclaration* copy = new (std::nothrow) cXMLDeclaration(GetVersion(), GetEncoding(), GetStandalone());
    if (copy != nullptr)
        copy->mValue.Assign(mValue);
    return copy;
}

// ----------------------------------------------------------------- documents

cXMLDocument::cXMLDocument(bool pooled) : cXMLNode(kDocument)
{
    mPooled = pooled;
}

cXMLDocument::~cXMLDocument()
{
    ReleaseLoadData();
}

void cXMLDocument::ReleaseLoadData()
{
    if (!mPooled)
        return;
    // Every pooled node belongs to the pools; the tree goes with them.
    Clear();
    mInPlaceValue = nullptr;
    delete mPools;
    mPools = nullptr;
    delete[] mLoadedText;
    mLoadedText = nullptr;
}

cXMLNode* cXMLDocument::Clone() const
{
    cXMLDocument* copy = new (std::nothrow) cXMLDocument(false);
    if (copy == nullptr)
        return nullptr;
    CopyValueTo(copy);
    copy->mError = mError;
    copy->mErrorText.Assign(mErrorText);
    CloneChildrenInto(copy);
    return copy;
}

void cXMLDocument::SetError(int32_t id)
{
    mError = true;
    mErrorId = id;
    mErrorText.AssignCStr(GetErrorTableText(id));
}

void cXMLDocument::SetError(int32_t id, const cGenString& text)
{
    mError = true;
    mErrorId = id;
    mErrorText.Assign(text);
}

void cXMLDocument::SetErrorText(const char* text)
{
    mError = true;
    mErrorText.AssignCStr(text);
}

bool cXMLDocument::LoadFile(File::cFile* stream)
{
    if (mPooled)
        ReleaseLoadData();
    else
        Clear();
    mValue.AssignCStr(stream->GetName());

    const int count = stream->GetRemaining();
    if (count <= 0)
    {
        SetError(kErrorIO);
        return false;
    }
    // Room for the terminator: the next multiple of the block size above the
    // byte count, computed wide so that a stream near 2 GB cannot overflow it.
    const size_t blockSize = size_t(stream->GetBlockSize() > 0 ? stream->GetBlockSize() : 1);
    const size_t allocated = (size_t(count) / blockSize + 1) * blockSize;
    char* text = new (std::nothrow) char[allocated];
    if (text == nullptr)
    {
        SetError(kErrorOutOfMemory);
        return false;
    }
    if (stream->Read(text, count) < count)
    {
        delete[] text;
        SetError(kErrorIO);
        return false;
    }
    text[count] = 0;

    if (mPooled)
    {
        mLoadedText = text;
        mPools = new cXMLNodePools(true);
    }
    Parse(text);
    if (!mPooled)
        delete[] text;
    return !mError;
}

bool cXMLDocument::SaveFile(File::cFile* stream)
{
    stream->Seek(0, 0);
    Print(stream, 0);
    if (stream->GetErrorFlag() != 0)
    {
        SetError(kErrorIO);
        return false;
    }
    return true;
}

} // namespace Base
