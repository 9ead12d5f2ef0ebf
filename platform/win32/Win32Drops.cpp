// Win32 backend: OLE drop targets on the window, the guide label and the first-path box. Each
// drop reaches its control's onDrop, with the files of the CF_HDROP list when there are any.
#include "ComObject.h"
#include "Win32Internal.h"

#include <shellapi.h>

#include <map>

namespace platform::win32 {

namespace {

std::map<HWND, IDropTarget*>& Registry() {
    static std::map<HWND, IDropTarget*> targets;
    return targets;
}

// What the drag proposes, as a copy where it may: the program only reads the dropped names.
DWORD PreferredEffect(DWORD allowed) {
    if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
    if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
    return allowed & DROPEFFECT_MOVE;
}

bool OffersFiles(IDataObject* data) {
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data != nullptr && data->QueryGetData(&format) == S_OK;
}

}  // namespace

class DropTarget final : public ComObject<IDropTarget, IID_IDropTarget> {
public:
    explicit DropTarget(std::function<void(const DropData&)>& onDrop) : onDrop_(onDrop) {}

    // Only files can be dropped: anything else shows the no-drop cursor and never arrives.
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        offersFiles_ = OffersFiles(data);
        if (effect != nullptr) *effect = offersFiles_ ? PreferredEffect(*effect) : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        if (effect != nullptr) *effect = offersFiles_ ? PreferredEffect(*effect) : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        if (effect != nullptr) *effect = PreferredEffect(*effect);
        // The application decides what a drop means, even one without files; the control's own
        // handling (an edit box would insert dropped text) never sees it.
        if (onDrop_) onDrop_(ToDropData(data));
        return S_OK;
    }

private:
    ~DropTarget() override = default;

    std::function<void(const DropData&)>& onDrop_;
    bool offersFiles_ = false;  // by the drag under way, as DragEnter found it
};

DropRegistration::DropRegistration(HWND window, std::function<void(const DropData&)>& onDrop)
    : window_(window), target_(new DropTarget(onDrop)) {
    // Fails only without OLE on this thread; the window then simply takes no drops.
    if (FAILED(RegisterDragDrop(window_, target_))) return;
    Registry()[window_] = target_;
}

DropRegistration::~DropRegistration() {
    if (Registry().erase(window_) > 0) RevokeDragDrop(window_);
    target_->Release();
}

IDropTarget* RegisteredDropTarget(HWND window) {
    const auto found = Registry().find(window);
    return found == Registry().end() ? nullptr : found->second;
}

DropData ToDropData(IDataObject* data) {
    if (!OffersFiles(data)) return DropData();
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&format, &medium))) return DropData();
    std::vector<std::wstring> files;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal != nullptr) {
        auto* drop = static_cast<HDROP>(medium.hGlobal);
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            const UINT length = DragQueryFileW(drop, i, nullptr, 0);
            std::wstring file(length + 1, L'\0');
            const UINT copied = DragQueryFileW(drop, i, file.data(), length + 1);
            file.resize(copied);
            files.push_back(std::move(file));
        }
    }
    ReleaseStgMedium(&medium);
    return DropData(std::move(files));
}

}  // namespace platform::win32
