#pragma once

// The lister's texts as long as a command line, from the process heap.
#include "platform/win32_heap_buffer.h"

namespace tarnvale::lister {

using HeapText = HeapBuffer<wchar_t>;

}  // namespace tarnvale::lister
