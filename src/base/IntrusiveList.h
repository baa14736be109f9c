#pragma once

#include <cstdint>

namespace Base
{
template <class T, int Tag>
class cIntrusiveList;

// The links of a doubly linked list, kept inside the listed object. Both are
// null while the object is in no list; an object is in one list at a time.
template <class T, int Tag = 1>
class cIntrusiveListItem
{
public:
    T* GetPrev() const { return mPrev; }
    T* GetNext() const { return mNext; }

private:
    friend class cIntrusiveList<T, Tag>;
    T* mPrev = nullptr;
    T* mNext = nullptr;
};

// A list head over cIntrusiveListItem links; first is the oldest entry when
// entries are appended. Not locked: owners lock where threads share it.
template <class T, int Tag = 1>
class cIntrusiveList
{
public:
    using tItem = cIntrusiveListItem<T, Tag>;

    void PushBack(T* item)
    {
        tItem& links = *item;
        links.mNext = nullptr;
        links.mPrev = mLast;
        if (mLast)
            Links(mLast).mNext = item;
        else
            mFirst = item;
        mLast = item;
        ++mCount;
    }

    void PushFront(T* item)
    {
        tItem& links = *item;
        links.mPrev = nullptr;
        links.mNext = mFirst;
        if (mFirst)
            Links(mFirst).mPrev = item;
        else
            mLast = item;
        mFirst = item;
        ++mCount;
    }

    // Links item after position; a null position puts it first. Keeps lists
    // that are ordered by a key sorted without a walk from the head.
    void InsertAfter(T* item, T* position)
    {
        if (!position)
        {
            PushFront(item);
            return;
        }
        tItem& links = *item;
        links.mPrev = position;
        links.mNext = Links(position).mNext;
        if (links.mNext)
            Links(links.mNext).mPrev = item;
        else
            mLast = item;
        Links(position).mNext = item;
        ++mCount;
    }

    T* PopFront()
    {
        T* item = mFirst;
        Remove(item);
        return item;
    }

    // Null, and items not linked into this list, are ignored, so a second
    // removal cannot corrupt the count.
    void Remove(T* item)
    {
        if (!item)
            return;
        tItem& links = *item;
        if (!links.mPrev && mFirst != item)
            return;
        if (links.mPrev)
            Links(links.mPrev).mNext = links.mNext;
        else
            mFirst = links.mNext;
        if (links.mNext)
            Links(links.mNext).mPrev = links.mPrev;
        else
            mLast = links.mPrev;
        links.mPrev = nullptr;
        links.mNext = nullptr;
        --mCount;
    }

    uint32_t GetCount() const { return mCount; }
    bool IsEmpty() const { return mCount == 0; }
    T* GetFirst() const { return mFirst; }
    T* GetLast() const { return mLast; }

private:
    static tItem& Links(T* item) { return *item; }

    uint32_t mCount = 0;
    T* mFirst = nullptr;
    T* mLast = nullptr;
};
} // namespace Base
