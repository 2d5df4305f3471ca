#pragma once

// A call back into an object: a plain function and the object it runs on. What
// std::function did here, without its heap and the exceptions that come with it.
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
