// The command-line split, over arbitrary wide text: what it keeps and what it skips.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "require.h"

#include "text/command_line.h"

namespace {

std::wstring WideFrom(FuzzedDataProvider& data, std::size_t maxLength)
{
    std::wstring text;
    const std::size_t length = data.ConsumeIntegralInRange<std::size_t>(0, maxLength);
    for (std::size_t i = 0; i < length && data.remaining_bytes() >= 2; ++i)
        text += static_cast<wchar_t>(data.ConsumeIntegral<std::uint16_t>());
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    const std::wstring name = WideFrom(data, 40);
    const std::wstring text = WideFrom(data, 200);
    const std::size_t blanks = data.ConsumeIntegralInRange<std::size_t>(1, 4);

    // Any line at all: the text is a tail of it, never begins with the separating
    // blanks, and is blank only when nothing is left.
    const std::wstring line = name + text;
    const std::wstring_view any = tarnvale::TargetTextView(line);
    Require(any.size() <= line.size());
    Require(line.compare(line.size() - any.size(), any.size(), any) == 0);
    Require(any.empty() || any.front() != L' ');
    Require(!tarnvale::IsBlank(any) || any.empty());

    // A program name as Windows writes it, then blanks, then a text: the text comes back
    // whole, quotes, tabs and trailing blanks included.
    if (text.empty() || text.front() == L' ')
        return 0;
    std::wstring bare;
    std::wstring spaced;
    for (const wchar_t c : name) {
        if (c != L'"' && c != L' ' && c != L'\t' && c != 0)
            bare += c;
        if (c != L'"' && c != 0)
            spaced += c;
    }
    const std::wstring gap(blanks, L' ');
    if (!bare.empty())
        Require(tarnvale::TargetTextView(bare + gap + text) == text);
    Require(tarnvale::TargetTextView(L"\"" + spaced + L"\"" + gap + text) == text);
    return 0;
}
