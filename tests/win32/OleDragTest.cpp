// A drop through the system's own drag loop: DoDragDrop finds the drop target that the window
// registered under the cursor, as a drag from a file manager would.
#include "behaviour/FormFixture.h"
#include "platform/win32/TestDataObject.h"

namespace {

// A drag source whose button is already released: the drag ends with a drop where it started.
class ReleasedButtonSource final : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
            *object = static_cast<IDropSource*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape) return DRAGDROP_S_CANCEL;
        return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

class OleDragTest : public FormTest {
protected:
    DWORD DragOnto(HWND target, IDataObject* data) {
        RECT rect;
        GetWindowRect(target, &rect);
        SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        ReleasedButtonSource source;
        DWORD effect = DROPEFFECT_NONE;
        const HRESULT result =
            DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect);
        data->Release();
        EXPECT_EQ(result, DRAGDROP_S_DROP);
        return effect;
    }
};

TEST_F(OleDragTest, FileDraggedOntoTheFirstPathBoxIsTakenAndTextIsNot) {
    auto form = Start();
    HWND window = FindWindowW(L"DiffZarvoForm", L"Diff-Zarvo");
    // The first box in the window's keyboard order is the first-path box.
    HWND box = FindWindowExW(window, nullptr, L"Edit", nullptr);
    HWND guide = FindWindowExW(window, nullptr, L"Static", nullptr);
    ASSERT_NE(box, nullptr);
    ASSERT_NE(guide, nullptr);
    EXPECT_EQ(DragOnto(box, platform::win32::MakeFileListData({L"C:\\dragged.txt"})),
              static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(form->path1.Text(), L"C:\\dragged.txt");
    // Text dragged onto any drop target shows the no-drop cursor and changes nothing: the box
    // does not insert it itself.
    for (HWND target : {box, guide, window}) {
        EXPECT_EQ(DragOnto(target, platform::win32::MakeTextData(L"some text")),
                  static_cast<DWORD>(DROPEFFECT_NONE));
    }
    EXPECT_EQ(form->path1.Text(), L"C:\\dragged.txt");
    EXPECT_EQ(DragOnto(guide, platform::win32::MakeFileListData({L"C:\\second.txt"})),
              static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(form->path1.Text(), L"C:\\second.txt");
}

}  // namespace
