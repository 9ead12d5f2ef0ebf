// Win32 backend: a shortcut (.lnk) read through the shell's own IShellLinkW, as Explorer starts it.
#include <shlobj.h>

#include "../Error.h"
#include "Win32Internal.h"

namespace platform::win32 {

namespace {

// COM on this thread for the life of the object, where it was not on already.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

template <typename T>
class Released {
public:
    Released() = default;
    ~Released() {
        if (object_ != nullptr) object_->Release();
    }
    Released(const Released&) = delete;
    Released& operator=(const Released&) = delete;
    T** Out() { return &object_; }
    T* operator->() const { return object_; }

private:
    T* object_ = nullptr;
};

std::wstring Expanded(const std::wstring& text) {
    const DWORD length = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (length == 0) return text;
    std::wstring out(length, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(text.c_str(), out.data(), length);
    if (written == 0 || written > length) return text;
    out.resize(written - 1);
    return out;
}

[[noreturn]] void Fail(DWORD error, const std::wstring& shortcut) {
    throw Error(SystemMessage(error, shortcut));
}

void Check(HRESULT result, const std::wstring& shortcut) {
    if (FAILED(result))
        Fail(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result)
                                                        : static_cast<DWORD>(result),
             shortcut);
}

}  // namespace

ShortcutTarget ResolveShortcut(const std::wstring& shortcut) {
    if (GetFileAttributesW(shortcut.c_str()) == INVALID_FILE_ATTRIBUTES) {
        Fail(GetLastError(), shortcut);
    }
    ComScope com;
    Released<IShellLinkW> link;
    Check(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                           reinterpret_cast<void**>(link.Out())),
          shortcut);
    Released<IPersistFile> file;
    Check(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out())), shortcut);
    Check(file->Load(shortcut.c_str(), STGM_READ), shortcut);
    // Follows a target that moved, without a dialog and within three seconds; the shortcut itself
    // is left as it is.
    link->Resolve(nullptr, SLR_NO_UI | SLR_NOUPDATE | (3000u << 16));

    std::wstring buffer(32768, L'\0');
    ShortcutTarget target;
    if (SUCCEEDED(link->GetPath(buffer.data(), static_cast<int>(buffer.size()), nullptr, 0))) {
        target.path = Expanded(buffer.c_str());
    }
    if (target.path.empty()) throw Error(L"ショートカットがファイルを指していません。");
    const DWORD attributes = GetFileAttributesW(target.path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw Error(L"ショートカットのリンク先が見つかりません: " + target.path);
    }
    buffer.assign(buffer.size(), L'\0');
    if (SUCCEEDED(link->GetArguments(buffer.data(), static_cast<int>(buffer.size())))) {
        target.arguments = buffer.c_str();
    }
    buffer.assign(buffer.size(), L'\0');
    if (SUCCEEDED(link->GetWorkingDirectory(buffer.data(), static_cast<int>(buffer.size())))) {
        target.folder = Expanded(buffer.c_str());
    }
    return target;
}

}  // namespace platform::win32
