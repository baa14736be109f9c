#pragma once

#include <cstdint>

namespace Base
{
// A reference count that deletes its object when the last holder lets go.
// The creator holds the first reference. Counts are plain integers: one
// thread at a time adds and releases references to an object.
class cRefCount
{
public:
    cRefCount() = default;
    cRefCount(const cRefCount&) = delete;
    cRefCount& operator=(const cRefCount&) = delete;

    void AddRef() { ++mRefCount; }
    void Release()
    {
        if (--mRefCount == 0)
            delete this;
    }
    int32_t GetRefCount() const { return mRefCount; }

protected:
    virtual ~cRefCount() = default;

private:
    int32_t mRefCount = 1;
};

// Holds one reference to a counted object (or nothing).
template <class T>
class cRefPtr
{
public:
    cRefPtr() = default;
    explicit cRefPtr(T* object) { Assign(object); }
    cRefPtr(const cRefPtr& other) { Assign(other.mObject); }
    ~cRefPtr() { Release(); }
    cRefPtr& operator=(const cRefPtr& other)
    {
        Assign(other.mObject);
        return *this;
    }

    // References the new object before letting go of the old one, so
    // assigning the object already held keeps it alive.
    void Assign(T* object)
    {
        if (object)
            object->AddRef();
        T* old = mObject;
        mObject = object;
        if (old)
            old->Release();
    }
    void Release()
    {
        T* old = mObject;
        mObject = nullptr;
        if (old)
            old->Release();
    }

    T* Get() const { return mObject; }
    T* operator->() const { return mObject; }
    T& operator*() const { return *mObject; }
    explicit operator bool() const { return mObject != nullptr; }

private:
    T* mObject = nullptr;
};
} // namespace Base
