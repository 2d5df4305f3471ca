#include "lister/sign_in_fields.h"

#include "lister/text_rules.h"

namespace tarnvale::lister {

namespace {

constexpr std::wstring_view kEnd = L"--end";
constexpr wchar_t kHex[] = L"0123456789ABCDEF";
constexpr std::wstring_view kNotInFileNames = L"\\/:*?\"<>|";

bool IsLiteral(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') ||
           c == L'.';
}

// Units that one unit of a field takes written; 0 for a value that is no UTF-16 unit.
std::size_t EncodedSize(wchar_t c)
{
    const auto value = static_cast<unsigned long>(c);
    if (IsLiteral(c))
        return 1;
    if (value <= 0xFF)
        return 3;
    return value <= 0xFFFF ? 5 : 0;
}

std::size_t FieldLength(std::wstring_view field)
{
    std::size_t length = 0;
    for (const wchar_t c : field) {
        const std::size_t size = EncodedSize(c);
        if (size == 0)
            return 0;
        length += size;
    }
    return length;
}

class Writer {
public:
    explicit Writer(std::span<wchar_t> out) : out_(out) {}

    void Put(std::wstring_view text)
    {
        for (const wchar_t c : text)
            out_[size_++] = c;
    }

    void PutField(std::wstring_view field)
    {
        Put(L" ");
        for (const wchar_t c : field) {
            const auto value = static_cast<unsigned long>(c);
            if (IsLiteral(c)) {
                out_[size_++] = c;
                continue;
            }
            const int digits = value <= 0xFF ? 2 : 4;
            out_[size_++] = digits == 2 ? L'_' : L'-';
            for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
                out_[size_++] = kHex[(value >> shift) & 0xF];
        }
    }

    std::size_t size() const { return size_; }

private:
    std::span<wchar_t> out_;
    std::size_t size_ = 0;
};

int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// Decodes the field at `from`, `length` units long, to the front of the same units; its
// decoded length, or -1 when it is not a field as written.
std::ptrdiff_t DecodeInPlace(wchar_t* from, std::size_t length)
{
    std::size_t read = 0;
    std::size_t written = 0;
    while (read < length) {
        const wchar_t c = from[read++];
        if (IsLiteral(c)) {
            from[written++] = c;
            continue;
        }
        const std::size_t digits = c == L'_' ? 2 : c == L'-' ? 4 : 0;
        if (digits == 0 || length - read < digits)
            return -1;
        unsigned long value = 0;
        for (std::size_t i = 0; i < digits; ++i) {
            const int digit = HexValue(from[read++]);
            if (digit < 0)
                return -1;
            value = value * 16 + static_cast<unsigned long>(digit);
        }
        // Each unit has one form: a literal or a byte-sized value written long is not ours.
        if ((digits == 4 && value <= 0xFF) || IsLiteral(static_cast<wchar_t>(value)))
            return -1;
        from[written++] = static_cast<wchar_t>(value);
    }
    return static_cast<std::ptrdiff_t>(written);
}

bool IsWritable(const SignInFields& fields)
{
    return !fields.text.empty() && fields.program.empty() == fields.commandLine.empty();
}

}  // namespace

std::size_t ArgumentsLength(const SignInFields& fields)
{
    if (!IsWritable(fields))
        return 0;
    std::size_t length = kSignedInOption.size() + 1 + kEnd.size();
    for (const std::wstring_view field : {fields.text, fields.program, fields.commandLine}) {
        if (field.empty())
            continue;
        const std::size_t size = FieldLength(field);
        if (size == 0)
            return 0;
        length += 1 + size;
    }
    return length;
}

std::size_t WriteArguments(const SignInFields& fields, std::span<wchar_t> out)
{
    const std::size_t length = ArgumentsLength(fields);
    if (length == 0 || length > out.size())
        return 0;
    Writer writer(out);
    writer.Put(kSignedInOption);
    for (const std::wstring_view field : {fields.text, fields.program, fields.commandLine})
        if (!field.empty())
            writer.PutField(field);
    writer.Put(L" ");
    writer.Put(kEnd);
    return writer.size();
}

bool ReadArguments(std::span<wchar_t> arguments, SignInFields& fields)
{
    constexpr std::size_t kMostWords = 5;  // the option, three fields, the end
    wchar_t* words[kMostWords] = {};
    std::size_t lengths[kMostWords] = {};
    std::size_t count = 0;
    for (std::size_t at = 0; at < arguments.size();) {
        if (arguments[at] == L' ') {
            ++at;
            continue;
        }
        if (count == kMostWords)
            return false;
        std::size_t end = at;
        while (end < arguments.size() && arguments[end] != L' ')
            ++end;
        words[count] = arguments.data() + at;
        lengths[count++] = end - at;
        at = end;
    }
    const auto word = [&](std::size_t i) { return std::wstring_view(words[i], lengths[i]); };
    if ((count != 3 && count != 5) || word(0) != kSignedInOption || word(count - 1) != kEnd)
        return false;
    std::wstring_view decoded[3];
    for (std::size_t i = 1; i + 1 < count; ++i) {
        const std::ptrdiff_t length = DecodeInPlace(words[i], lengths[i]);
        if (length <= 0)
            return false;
        decoded[i - 1] = {words[i], static_cast<std::size_t>(length)};
    }
    fields = {decoded[0], decoded[1], decoded[2]};
    return true;
}

ShortcutName NameShortcut(std::wstring_view title, unsigned copy)
{
    ShortcutName name;
    const auto put = [&](wchar_t c) { name.text[name.length++] = c; };
    for (const wchar_t c : kShortcutPrefix)
        put(c);
    const std::size_t start = name.length;
    for (std::size_t at = 0; at < title.size();) {
        const ShownCharacter shown = ShowCharacter({title.data() + at, title.size() - at});
        if (name.length - start + shown.used > kMaxNamedTitle)
            break;  // never half a pair
        const bool refused =
            shown.hidden || kNotInFileNames.find(title[at]) != std::wstring_view::npos;
        for (std::size_t i = 0; i < shown.used; ++i)
            put(refused ? L'_' : title[at + i]);
        at += shown.used;
    }
    // Windows drops blanks and dots at the end of a name: what is kept is what is shown.
    while (name.length > start && (name.text[name.length - 1] == L' ' ||
                                   name.text[name.length - 1] == L'.'))
        --name.length;
    if (name.length == start)
        for (const wchar_t c : std::wstring_view(L"window"))
            put(c);
    if (copy > 1) {
        wchar_t digits[10];
        std::size_t count = 0;
        for (; copy != 0; copy /= 10)
            digits[count++] = static_cast<wchar_t>(L'0' + copy % 10);
        put(L' ');
        put(L'(');
        while (count > 0)
            put(digits[--count]);
        put(L')');
    }
    return name;
}

}  // namespace tarnvale::lister
