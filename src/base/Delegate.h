#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

// The program's one callback type: an object and one of its member functions
// (or a plain function), invoked with two pointer-sized words. Stored by value;
// it does not own its object, whose owner keeps it alive while it may be
// invoked. An empty delegate (null caller) returns 0 and calls nothing.
//
// Targets take up to two arguments and may return void, an integer, a bool, a
// float or a pointer; each word is converted to the parameter's type: pointers
// and references from the address, floats from their 32-bit pattern.
class cDelegate
{
public:
    using tCaller = intptr_t (*)(const cDelegate& delegate, intptr_t a, intptr_t b);

    cDelegate() = default;

    template <class T, class C, class R, class... Args>
    cDelegate(T* object, R (C::*function)(Args...))
    {
        Bind(static_cast<C*>(object), function);
    }

    template <class T, class C, class R, class... Args>
    cDelegate(T* object, R (C::*function)(Args...) const)
    {
        Bind(static_cast<C*>(object), function);
    }

    template <class R, class... Args>
    explicit cDelegate(R (*function)(Args...))
    {
        Bind(function);
    }

    void Clear() { *this = cDelegate(); }
    bool IsEmpty() const { return mCaller == nullptr; }
    // Whether it calls a member function of that object.
    bool IsBoundTo(const void* object) const { return mCaller && mObject == object; }

    template <class T, class C, class R, class... Args>
    void Bind(T* object, R (C::*function)(Args...))
    {
        BindMember<C, decltype(function), R, Args...>(static_cast<C*>(object), function);
    }

    template <class T, class C, class R, class... Args>
    void Bind(T* object, R (C::*function)(Args...) const)
    {
        BindMember<C, decltype(function), R, Args...>(static_cast<C*>(object), function);
    }

    template <class R, class... Args>
    void Bind(R (*function)(Args...))
    {
        static_assert(sizeof...(Args) <= 2, "a delegate passes at most two arguments");
        Clear();
        mTarget[0] = reinterpret_cast<intptr_t>(function);
        mCaller = &CallFunction<R, Args...>;
    }

    template <class A = intptr_t, class B = intptr_t>
    intptr_t Invoke(A a = A(), B b = B()) const
    {
        return mCaller ? mCaller(*this, ToWord(a), ToWord(b)) : 0;
    }

    template <class V>
    static intptr_t ToWord(V value)
    {
        if constexpr (std::is_pointer_v<V>)
            return reinterpret_cast<intptr_t>(value);
        else if constexpr (std::is_same_v<V, float>)
            return static_cast<intptr_t>(std::bit_cast<uint32_t>(value));
        else if constexpr (std::is_enum_v<V>)
            return static_cast<intptr_t>(value);
        else
        {
            static_assert(std::is_integral_v<V>, "a delegate word is an integer, a float or a pointer");
            return static_cast<intptr_t>(value);
        }
    }

    template <class V>
    static V FromWord(intptr_t word)
    {
        if constexpr (std::is_reference_v<V>)
            return *reinterpret_cast<std::remove_reference_t<V>*>(word);
        else if constexpr (std::is_pointer_v<V>)
            return reinterpret_cast<V>(word);
        else if constexpr (std::is_same_v<V, float>)
            return std::bit_cast<float>(static_cast<uint32_t>(word));
        else if constexpr (std::is_same_v<V, bool>)
            return word != 0;
        else
            return static_cast<V>(word);
    }

private:

    template <class T, class F, class R, class... Args>
    void BindMember(T* object, F function)
    {
        static_assert(sizeof(F) == sizeof(mTarget), "member pointers are two words");
        static_assert(sizeof...(Args) <= 2, "a delegate passes at most two arguments");
        Clear();
        std::memcpy(mTarget, &function, sizeof(F));
        mObject = object;
        mCaller = &CallMember<T, F, R, Args...>;
    }

    template <class R, class... Args, class Call, size_t... I>
    static intptr_t Apply(Call&& call, const intptr_t (&words)[2], std::index_sequence<I...>)
    {
        if constexpr (std::is_void_v<R>)
        {
            call(FromWord<Args>(words[I])...);
            return 0;
        }
        else
            return ToWord(call(FromWord<Args>(words[I])...));
    }

    // Kept out of line: the call goes through the caller pointer anyway, and
    // inlining it makes the compiler warn about the member pointer's unused
    // virtual-call branch.
    template <class T, class F, class R, class... Args>
    [[gnu::noinline]] static intptr_t CallMember(const cDelegate& delegate, intptr_t a, intptr_t b)
    {
        F function;
        std::memcpy(&function, delegate.mTarget, sizeof(F));
        T* object = static_cast<T*>(delegate.mObject);
        const intptr_t words[2] = {a, b};
        return Apply<R, Args...>([&](auto&&... args) { return (object->*function)(args...); }, words,
                                 std::index_sequence_for<Args...>());
    }

    template <class R, class... Args>
    static intptr_t CallFunction(const cDelegate& delegate, intptr_t a, intptr_t b)
    {
        auto function = reinterpret_cast<R (*)(Args...)>(delegate.mTarget[0]);
        const intptr_t words[2] = {a, b};
        return Apply<R, Args...>([&](auto&&... args) { return function(args...); }, words,
                                 std::index_sequence_for<Args...>());
    }

    // The function word and the member pointer's this-adjustment.
    intptr_t mTarget[2] = {0, 0};
    void* mObject = nullptr;
    tCaller mCaller = nullptr;
};
