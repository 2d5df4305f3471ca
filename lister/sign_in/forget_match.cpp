#include "lister/sign_in/forget_match.h"

#include "lister/sign_in/shortcut_fields.h"

namespace tarnvale::lister {

namespace {

// The N of a name that ends in " (N)", as NameShortcut writes it: 2 or more, no leading
// zero; 0 for any other name.
unsigned CopyNumber(std::wstring_view name)
{
    constexpr std::size_t kMostDigits = 9;
    if (!name.ends_with(L')'))
        return 0;
    const std::size_t open = name.rfind(L" (");
    if (open == std::wstring_view::npos)
        return 0;
    const std::wstring_view digits(name.data() + open + 2, name.size() - open - 3);
    if (digits.empty() || digits.size() > kMostDigits || digits[0] == L'0')
        return 0;
    unsigned number = 0;
    for (const wchar_t c : digits) {
        if (c < L'0' || c > L'9')
            return 0;
        number = number * 10 + static_cast<unsigned>(c - L'0');
    }
    return number >= 2 ? number : 0;
}

}  // namespace

bool NamedAfterTitle(std::wstring_view name, std::wstring_view title)
{
    if (title.empty())
        return false;
    if (NameShortcut(title, 1).View() == name)
        return true;
    // A title may end in " (2)" itself: then it is tried as the first of its name above.
    const unsigned copy = CopyNumber(name);
    return copy > 0 && NameShortcut(title, copy).View() == name;
}

}  // namespace tarnvale::lister
