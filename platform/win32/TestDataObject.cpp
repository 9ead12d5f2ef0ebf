// Win32 test support: an IDataObject holding one format in global memory, handed out as a copy
// on each GetData, as the system's own data objects do.
#include "TestDataObject.h"

#include "ComObject.h"

#include <shlobj.h>

#include <cstring>

namespace platform::win32 {

namespace {

HGLOBAL CopyToGlobal(const void* bytes, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory == nullptr) return nullptr;
    std::memcpy(GlobalLock(memory), bytes, size);
    GlobalUnlock(memory);
    return memory;
}

class SingleFormatData final : public ComObject<IDataObject, IID_IDataObject> {
public:
    SingleFormatData(CLIPFORMAT format, std::vector<char> bytes)
        : format_{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, bytes_(std::move(bytes)) {}

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (format == nullptr || medium == nullptr) return E_INVALIDARG;
        const HRESULT offered = QueryGetData(format);
        if (offered != S_OK) return offered;
        medium->tymed = TYMED_HGLOBAL;
        medium->pUnkForRelease = nullptr;
        medium->hGlobal = CopyToGlobal(bytes_.data(), bytes_.size());
        return medium->hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        if (format == nullptr) return E_INVALIDARG;
        if (format->cfFormat != format_.cfFormat) return DV_E_FORMATETC;
        if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
        if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out != nullptr) out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
        if (direction != DATADIR_GET) return E_NOTIMPL;
        return SHCreateStdEnumFmtEtc(1, &format_, formats);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    ~SingleFormatData() override = default;

    FORMATETC format_;
    std::vector<char> bytes_;
};

template <typename T>
void Append(std::vector<char>& bytes, const T* data, size_t size) {
    const auto* raw = reinterpret_cast<const char*>(data);
    bytes.insert(bytes.end(), raw, raw + size);
}

}  // namespace

IDataObject* MakeFileListData(const std::vector<std::wstring>& files) {
    // DROPFILES, then the names, each NUL-terminated, and one more NUL to end the list.
    DROPFILES header{};
    header.pFiles = sizeof header;
    header.fWide = TRUE;
    std::vector<char> bytes;
    Append(bytes, &header, sizeof header);
    for (const std::wstring& file : files) {
        Append(bytes, file.c_str(), (file.size() + 1) * sizeof(wchar_t));
    }
    const wchar_t end = L'\0';
    Append(bytes, &end, sizeof end);
    return new SingleFormatData(CF_HDROP, std::move(bytes));
}

IDataObject* MakeTextData(const std::wstring& text) {
    std::vector<char> bytes;
    Append(bytes, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    return new SingleFormatData(CF_UNICODETEXT, std::move(bytes));
}

}  // namespace platform::win32
