#include "lister/sign_in/shortcut_fields.h"

#include "lister/console/text_rules.h"

namespace tarnvale::lister {

namespace {

constexpr std::wstring_view kEnd = L"--end";
constexpr std::wstring_view kPlaceOption = L"--place";
constexpr std::wstring_view kMaximized = L".max";
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

bool IsWritable(const ShortcutFields& fields)
{
    return !fields.text.empty() && fields.program.empty() == fields.commandLine.empty() &&
           (fields.folder.empty() || !fields.program.empty()) &&
           (!fields.place.known || IsPlausible(fields.place));
}

// A number of the place word: an optional '-', then up to seven digits.
constexpr std::size_t kMostNumberUnits = 8;

std::size_t NumberLength(long value)
{
    std::size_t length = value < 0 ? 2 : 1;
    for (unsigned long rest = static_cast<unsigned long>(value < 0 ? -value : value); rest >= 10;
         rest /= 10)
        ++length;
    return length;
}

std::size_t PlaceLength(const WindowPlace& place)
{
    if (!place.known)
        return 0;
    const ScreenRect& r = place.rect;
    return kPlaceOption.size() + 4 + NumberLength(r.left) + NumberLength(r.top) +
           NumberLength(r.Width()) + NumberLength(r.Height()) +
           (place.maximized ? kMaximized.size() : 0);
}

void PutNumber(Writer& writer, long value)
{
    wchar_t digits[kMostNumberUnits];
    std::size_t count = 0;
    for (unsigned long rest = static_cast<unsigned long>(value < 0 ? -value : value);;
         rest /= 10) {
        digits[count++] = static_cast<wchar_t>(L'0' + rest % 10);
        if (rest < 10)
            break;
    }
    if (value < 0)
        digits[count++] = L'-';
    while (count > 0)
        writer.Put({&digits[--count], 1});
}

bool ReadNumber(std::wstring_view& word, long& value)
{
    const bool negative = !word.empty() && word[0] == L'-';
    std::size_t at = negative ? 1 : 0;
    const std::size_t first = at;
    unsigned long magnitude = 0;
    while (at < word.size() && word[at] >= L'0' && word[at] <= L'9' &&
           at - first < kMostNumberUnits - 1)
        magnitude = magnitude * 10 + static_cast<unsigned long>(word[at++] - L'0');
    if (at == first || (at < word.size() && word[at] != L'.'))
        return false;
    value = negative ? -static_cast<long>(magnitude) : static_cast<long>(magnitude);
    word.remove_prefix(at);
    return true;
}

// "--place.X.Y.W.H" and ".max" for a maximized window; false for anything else.
bool ReadPlace(std::wstring_view word, WindowPlace& place)
{
    if (!word.starts_with(kPlaceOption))
        return false;
    word.remove_prefix(kPlaceOption.size());
    long numbers[4] = {};
    for (long& number : numbers) {
        if (word.empty() || word[0] != L'.')
            return false;
        word.remove_prefix(1);
        if (!ReadNumber(word, number))
            return false;
    }
    place.known = true;
    place.rect = {numbers[0], numbers[1], numbers[0] + numbers[2], numbers[1] + numbers[3]};
    place.maximized = word == kMaximized;
    return (word.empty() || place.maximized) && numbers[2] > 0 && numbers[3] > 0 &&
           IsPlausible(place);
}

}  // namespace

std::size_t EncodedLength(const ShortcutFields& fields)
{
    if (!IsWritable(fields))
        return 0;
    std::size_t length = kSignedInOption.size() + 1 + kEnd.size();
    for (const std::wstring_view field :
         {fields.text, fields.program, fields.commandLine, fields.folder}) {
        if (field.empty())
            continue;
        const std::size_t size = FieldLength(field);
        if (size == 0)
            return 0;
        length += 1 + size;
    }
    if (fields.place.known)
        length += 1 + PlaceLength(fields.place);
    return length;
}

std::size_t EncodeArguments(const ShortcutFields& fields, std::span<wchar_t> out)
{
    const std::size_t length = EncodedLength(fields);
    if (length == 0 || length > out.size())
        return 0;
    Writer writer(out);
    writer.Put(kSignedInOption);
    for (const std::wstring_view field :
         {fields.text, fields.program, fields.commandLine, fields.folder})
        if (!field.empty())
            writer.PutField(field);
    if (fields.place.known) {
        const ScreenRect& r = fields.place.rect;
        writer.Put(L" ");
        writer.Put(kPlaceOption);
        for (const long number : {r.left, r.top, r.Width(), r.Height()}) {
            writer.Put(L".");
            PutNumber(writer, number);
        }
        if (fields.place.maximized)
            writer.Put(kMaximized);
    }
    writer.Put(L" ");
    writer.Put(kEnd);
    return writer.size();
}

bool DecodeArguments(std::span<wchar_t> arguments, ShortcutFields& fields)
{
    constexpr std::size_t kMostWords = 7;  // the option, four fields, the place, the end
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
    if (count < 3 || word(0) != kSignedInOption || word(count - 1) != kEnd)
        return false;
    WindowPlace place;
    std::size_t fieldsEnd = count - 1;
    if (word(fieldsEnd - 1).starts_with(kPlaceOption)) {
        if (!ReadPlace(word(fieldsEnd - 1), place))
            return false;
        --fieldsEnd;
    }
    // The text alone; with the program and its command line; and with its folder.
    const std::size_t fieldCount = fieldsEnd - 1;
    if (fieldCount != 1 && fieldCount != 3 && fieldCount != 4)
        return false;
    std::wstring_view decoded[4];
    for (std::size_t i = 1; i < fieldsEnd; ++i) {
        const std::ptrdiff_t length = DecodeInPlace(words[i], lengths[i]);
        if (length <= 0)
            return false;
        decoded[i - 1] = {words[i], static_cast<std::size_t>(length)};
    }
    fields = {decoded[0], decoded[1], decoded[2], decoded[3], place};
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
