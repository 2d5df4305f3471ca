#pragma once

// A call back into an object: a plain function and the object it runs on. Two words,
// copied as they are, so that it needs no heap and nothing that throws: the program is
// built without exceptions, and their runtime is kept out of it.
namespace tarnvale {

struct Callback {
    void (*function)(void* context) = nullptr;
    void* context = nullptr;

    explicit operator bool() const { return function != nullptr; }

    // An unset callback does nothing.
    void operator()() const
    {
        if (function)
            function(context);
    }
};

// A callback that calls (object.*Member)(); the object must outlive it.
template <auto Member, typename Object>
Callback MemberCallback(Object& object)
{
    return {[](void* context) { (static_cast<Object*>(context)->*Member)(); }, &object};
}

}  // namespace tarnvale
