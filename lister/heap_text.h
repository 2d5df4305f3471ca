#pragma once

// Room for a text as long as a command line, from the process heap: too large for the
// stack, and the lister allocates nothing that could throw. Empty when the heap refused.
#include <windows.h>

#include <cstddef>
#include <span>

namespace tarnvale::lister {

class HeapText {
public:
    explicit HeapText(std::size_t units)
        : units_(static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, units * sizeof(wchar_t)))),
          size_(units_ ? units : 0)
    {
    }
    ~HeapText()
    {
        if (units_)
            HeapFree(GetProcessHeap(), 0, units_);
    }
    HeapText(const HeapText&) = delete;
    HeapText& operator=(const HeapText&) = delete;

    explicit operator bool() const { return units_ != nullptr; }
    wchar_t* data() { return units_; }
    std::size_t size() const { return size_; }
    std::span<wchar_t> span() { return {units_, size_}; }

private:
    wchar_t* units_;
    std::size_t size_;
};

}  // namespace tarnvale::lister
