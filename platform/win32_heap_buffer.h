#pragma once

// Room for a text as long as a command line, from the process heap: too large for the
// stack, and neither program allocates anything that could throw. Empty when the heap
// refused.
#include <windows.h>

#include <cstddef>
#include <span>

namespace tarnvale {

template <typename Unit>
class HeapBuffer {
public:
    explicit HeapBuffer(std::size_t units)
        : units_(static_cast<Unit*>(HeapAlloc(GetProcessHeap(), 0, units * sizeof(Unit)))),
          size_(units_ ? units : 0)
    {
    }
    ~HeapBuffer()
    {
        if (units_)
            HeapFree(GetProcessHeap(), 0, units_);
    }
    HeapBuffer(const HeapBuffer&) = delete;
    HeapBuffer& operator=(const HeapBuffer&) = delete;

    explicit operator bool() const { return units_ != nullptr; }
    Unit* data() { return units_; }
    const Unit* data() const { return units_; }
    std::size_t size() const { return size_; }
    std::span<Unit> span() { return {units_, size_}; }

private:
    Unit* units_;
    std::size_t size_;
};

// A text as long as a command line, as both programs keep one.
using HeapText = HeapBuffer<wchar_t>;

}  // namespace tarnvale
