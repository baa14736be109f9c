#pragma once

namespace Base
{
// Registers the one live instance of a manager class in a global pointer for
// as long as it lives: the derived constructor passes `this`. There is no
// check for a second instance; the last one constructed wins.
template <class T>
class cSingleton
{
public:
    static T* GetInstance() { return sInstance; }

protected:
    explicit cSingleton(T* instance) : mInstance(instance) { sInstance = instance; }
    ~cSingleton()
    {
        // An older instance going away leaves a newer registration alone.
        if (sInstance == mInstance)
            sInstance = nullptr;
    }
    cSingleton(const cSingleton&) = delete;
    cSingleton& operator=(const cSingleton&) = delete;

private:
    static inline T* sInstance = nullptr;
    T* mInstance;
};
} // namespace Base
