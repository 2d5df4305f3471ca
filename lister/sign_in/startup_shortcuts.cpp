#include "lister/sign_in/startup_shortcuts.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "lister/programs/paths.h"
#include "platform/win32_heap_buffer.h"

namespace tarnvale::lister {

namespace {

constexpr std::wstring_view kExtension = L".lnk";
// Added to a new shortcut's name while it is written and checked: no longer ".lnk", it is
// taken for a shortcut neither by the listing nor by a sign-in.
constexpr std::wstring_view kUnfinished = L".new";
constexpr wchar_t kDescription[] = L"Keeps a window on the desktop with Tarnvale";
// Another text whose title gives the same name gets " (2)", " (3)" and so on.
constexpr unsigned kMostCopies = 100;

class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    // Another apartment of this thread serves as well.
    HRESULT result() const { return result_ == RPC_E_CHANGED_MODE ? S_OK : result_; }

private:
    HRESULT result_;
};

template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr()
    {
        if (pointer_)
            pointer_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    Interface* operator->() const { return pointer_; }
    void** Out() { return reinterpret_cast<void**>(&pointer_); }

private:
    Interface* pointer_ = nullptr;
};

// A shortcut in the making or read from its file.
struct Link {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;

    HRESULT Create()
    {
        HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IShellLinkW, link.Out());
        if (SUCCEEDED(result))
            result = link->QueryInterface(IID_IPersistFile, file.Out());
        return result;
    }
};

// A path of up to kMaxPath units, NUL-terminated for the calls that take one.
struct Path {
    wchar_t text[kMaxPath] = {};
    std::size_t length = 0;

    bool Append(std::wstring_view part)
    {
        if (length + part.size() >= kMaxPath)
            return false;
        for (const wchar_t c : part)
            text[length++] = c;
        text[length] = L'\0';
        return true;
    }
    std::wstring_view View() const { return {text, length}; }
};

void CopyPath(std::wstring_view from, wchar_t (&to)[kMaxPath], std::size_t& length)
{
    length = 0;
    for (const wchar_t c : from)
        if (length + 1 < kMaxPath)
            to[length++] = c;
}

HRESULT FindStartupFolder(Path& folder)
{
    wchar_t* found = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_Startup, KF_FLAG_CREATE, nullptr, &found);
    const bool fits = SUCCEEDED(result) && folder.Append(found) && folder.Append(L"\\");
    CoTaskMemFree(found);
    return FAILED(result) ? result : fits ? S_OK : HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
}

// The arguments of the shortcut at `path` into `arguments`: their length, 0 when it cannot
// be read.
std::size_t ReadShortcutArguments(const wchar_t* path, HeapText& arguments)
{
    Link shortcut;
    if (!arguments || FAILED(shortcut.Create()) || FAILED(shortcut.file->Load(path, STGM_READ)) ||
        FAILED(shortcut.link->GetArguments(arguments.data(), static_cast<int>(arguments.size()))))
        return 0;
    std::size_t length = 0;
    while (length < arguments.size() && arguments.data()[length] != L'\0')
        ++length;
    return length;
}

bool ReadShortcutsIn(const Path& folder, ShortcutVisitor visit, void* context)
{
    Path pattern = folder;
    if (!pattern.Append(L"*") || !pattern.Append(kExtension))
        return false;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(pattern.text, &found);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    HeapText arguments(kMaxCommandLineLength + 1);
    do {
        Path path = folder;
        const std::wstring_view file = found.cFileName;
        const std::size_t nameLength =
            file.size() > kExtension.size() ? file.size() - kExtension.size() : 0;
        // The pattern matches short names too: "x.lnkx" has one that ends in ".LNK".
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            !SamePath({file.data() + nameLength, file.size() - nameLength}, kExtension) ||
            !path.Append(file))
            continue;
        const std::size_t length = ReadShortcutArguments(path.text, arguments);
        ShortcutFields fields;
        if (length > 0 && DecodeArguments({arguments.data(), length}, fields))
            visit(context, {path.View(), {file.data(), nameLength}, fields});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

HRESULT Write(const wchar_t* path, std::wstring_view arguments, const OwnPath& own)
{
    // The folder as Windows shows one, without the last backslash but of a drive's root.
    std::wstring_view start = own.Folder();
    if (start.size() > 3)
        start.remove_suffix(1);
    Path folder;
    Path tarnvale;
    if (!folder.Append(start) || !tarnvale.Append(own.Folder()) ||
        !tarnvale.Append(kTarnvaleProgram))
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    HeapText terminated(arguments.size() + 1);
    if (!terminated)
        return E_OUTOFMEMORY;
    CopyMemory(terminated.data(), arguments.data(), arguments.size() * sizeof(wchar_t));
    terminated.data()[arguments.size()] = L'\0';
    Link shortcut;
    HRESULT result = shortcut.Create();
    if (SUCCEEDED(result))
        result = shortcut.link->SetPath(own.path);
    if (SUCCEEDED(result))
        result = shortcut.link->SetArguments(terminated.data());
    if (SUCCEEDED(result))
        result = shortcut.link->SetWorkingDirectory(folder.text);
    // Minimized and not in the way: the run lets go of its console at once.
    if (SUCCEEDED(result))
        result = shortcut.link->SetShowCmd(SW_SHOWMINNOACTIVE);
    if (SUCCEEDED(result))
        result = shortcut.link->SetDescription(kDescription);
    if (SUCCEEDED(result))
        result = shortcut.link->SetIconLocation(tarnvale.text, 0);
    if (SUCCEEDED(result))
        result = shortcut.file->Save(path, TRUE);
    return result;
}

}  // namespace

bool ForEachShortcut(ShortcutVisitor visit, void* context)
{
    const ComApartment com;
    Path folder;
    return SUCCEEDED(com.result()) && SUCCEEDED(FindStartupFolder(folder)) &&
           ReadShortcutsIn(folder, visit, context);
}

SavedShortcut SaveShortcut(const ShortcutFields& fields, std::wstring_view title)
{
    SavedShortcut saved;
    const ComApartment com;
    Path folder;
    OwnPath own;
    if (FAILED(saved.error = com.result()) || FAILED(saved.error = FindStartupFolder(folder)))
        return saved;
    if (!ReadOwnPath(own)) {
        saved.error = HRESULT_FROM_WIN32(GetLastError());
        return saved;
    }
    // The shortcut that keeps the same text now: replaced, or told unchanged.
    Path previous;
    ForEachShortcut([&](const KeptShortcut& kept) {
        if (previous.length == 0 && kept.fields.text == fields.text)
            previous.Append(kept.path);
    });
    CopyPath(previous.View(), saved.previous, saved.previousLength);
    const std::size_t length = EncodedLength(fields);
    // CreateProcess takes the program's quoted path, a blank and the arguments.
    if (length == 0 || own.length + 3 + length > kMaxCommandLineLength) {
        saved.tooLong = true;
        return saved;
    }
    HeapText arguments(length);
    if (!arguments) {
        saved.error = E_OUTOFMEMORY;
        return saved;
    }
    EncodeArguments(fields, arguments.span());

    Path path;
    for (unsigned copy = 1;; ++copy) {
        path = folder;
        if (copy > kMostCopies || !path.Append(NameShortcut(title, copy).View()) ||
            !path.Append(kExtension)) {
            saved.error = HRESULT_FROM_WIN32(ERROR_FILE_EXISTS);
            return saved;
        }
        // Another text's shortcut keeps its name.
        if (SamePath(path.View(), previous.View()) ||
            GetFileAttributesW(path.text) == INVALID_FILE_ATTRIBUTES)
            break;
    }
    Path unfinished = path;
    if (!unfinished.Append(kUnfinished)) {
        saved.error = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
        return saved;
    }
    DeleteFileW(unfinished.text);  // left by a run that was ended halfway
    saved.error = Write(unfinished.text, {arguments.data(), length}, own);
    if (SUCCEEDED(saved.error)) {
        // What the shell will read back: the whole of what was written, or nothing.
        HeapText back(kMaxCommandLineLength + 1);
        saved.tooLong =
            ReadShortcutArguments(unfinished.text, back) != length ||
            std::wstring_view(back.data(), length) != std::wstring_view(arguments.data(), length);
    }
    // One step from the old shortcut to the new one, which is whole.
    if (SUCCEEDED(saved.error) && !saved.tooLong &&
        !MoveFileExW(unfinished.text, path.text, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        saved.error = HRESULT_FROM_WIN32(GetLastError());
    if (FAILED(saved.error) || saved.tooLong) {
        DeleteFileW(unfinished.text);
        return saved;
    }
    CopyPath(path.View(), saved.path, saved.length);
    saved.replaced = previous.length > 0;
    saved.previousLength = 0;
    // Any other shortcut of the text goes too: each would start a Tarnvale at sign-in.
    ForEachShortcut([&](const KeptShortcut& kept) {
        if (kept.fields.text != fields.text || SamePath(kept.path, path.View()))
            return;
        const DWORD error = DeleteShortcut(kept.path);
        if (error != ERROR_SUCCESS && saved.previousError == ERROR_SUCCESS) {
            saved.previousError = error;
            CopyPath(kept.path, saved.previous, saved.previousLength);
        }
    });
    return saved;
}

DWORD DeleteShortcut(std::wstring_view path)
{
    Path terminated;
    if (!terminated.Append(path))
        return ERROR_FILENAME_EXCED_RANGE;
    return DeleteFileW(terminated.text) ? ERROR_SUCCESS : GetLastError();
}

}  // namespace tarnvale::lister
