#include "holdings.h"

#include <psapi.h>

#include <algorithm>
#include <vector>

#include "harness/harness.h"

namespace bench {

namespace {

// The system's table of open handles, read through ntdll as Windows and Wine both keep
// it; GetProcessHandleCount gives nothing for another process under Wine.
struct SystemHandleEntry {
    USHORT processId;
    USHORT creatorBackTraceIndex;
    UCHAR objectTypeIndex;
    UCHAR handleAttributes;
    USHORT handleValue;
    PVOID object;
    ULONG grantedAccess;
};
struct SystemHandleTable {
    ULONG count;
    SystemHandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

std::optional<DWORD> HandlesOf(DWORD processId)
{
    const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return std::nullopt;
    std::vector<unsigned char> buffer(1 << 16);
    LONG status = kInfoLengthMismatch;
    while (status == kInfoLengthMismatch && buffer.size() < (1u << 28)) {
        ULONG needed = 0;
        status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                       &needed);
        if (status == kInfoLengthMismatch)
            buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
    }
    if (status < 0)
        return std::nullopt;
    const auto& table = *reinterpret_cast<const SystemHandleTable*>(buffer.data());
    DWORD count = 0;
    for (ULONG i = 0; i < table.count; ++i)
        count += table.entries[i].processId == static_cast<USHORT>(processId);
    return count > 0 ? std::optional<DWORD>(count) : std::nullopt;
}

std::string Figure(const auto& value)
{
    return value ? std::to_string(*value) : std::string("none");
}

}  // namespace

Holdings HoldingsOf(DWORD processId)
{
    Holdings holdings;
    const HANDLE process =
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (process) {
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        if (GetProcessMemoryInfo(process, &memory, sizeof memory))
            holdings.workingSet = memory.WorkingSetSize;
        // Zero is Wine giving no figure: a GUI process always holds some.
        if (const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS))
            holdings.gdi = gdi;
        if (const DWORD user = GetGuiResources(process, GR_USEROBJECTS))
            holdings.user = user;
        CloseHandle(process);
    }
    holdings.handles = HandlesOf(processId);
    holdings.windows = e2e::TopLevelWindowsOf(processId).size();
    return holdings;
}

std::string Describe(const Holdings& holdings)
{
    return "working_set=" + Figure(holdings.workingSet) + " handles=" + Figure(holdings.handles) +
           " gdi=" + Figure(holdings.gdi) + " user=" + Figure(holdings.user) +
           " windows=" + std::to_string(holdings.windows);
}

}  // namespace bench
