// The history of second paths: the item list of path2, newest first, kept in the settings file.
#include <string>

#include "../platform/MessageBox.h"
#include "../platform/Profile.h"
#include "Form1.h"
#include "texts.h"

namespace {

std::wstring HistoryKey(int number) { return texts::kHistoryKeyPrefix + std::to_wstring(number); }

}  // namespace

void Form1::LoadHistory() {
    for (int n = texts::kHistoryMax; n >= 1; --n) {
        const std::wstring value = platform::PathFromStore(
            ReadIni(texts::kHistorySection, HistoryKey(n), L""), platform::StoredPath::File);
        if (!value.empty()) path2.AddItem(value, 0);
    }
    if (path2.ListCount() > 0) {
        path2.SetText(path2.List(0));
        SecondPathReady = true;
    } else {
        SecondPathReady = false;
    }
}

void Form1::PushHistory(const std::wstring& path) {
    path2.AddItem(path, 0);
    path2.SetText(path);
    if (path2.ListCount() > texts::kHistoryMax) path2.RemoveItem(texts::kHistoryMax);
    SecondPathReady = true;
}

// A name the file cannot hold (a line break, or characters its code page lacks in a file with no
// short name) is left out and the entries after it move up; the keys the list no longer fills
// are removed, so no older value stands in for a missing one. The user is told once a session
// which files the history will not keep.
void Form1::SaveHistory() {
    const int count = path2.ListCount();
    int stored = 0;
    std::wstring untold;
    for (int i = 0; i < count; ++i) {
        const std::wstring item = path2.List(i);
        if (!platform::CanStoreProfileValue(item)) continue;
        const std::wstring name = platform::PathToStore(item, platform::StoredPath::File);
        if (name.empty()) {
            if (UnstorableTold.insert(item).second) untold += item + L"\n";
            continue;
        }
        ++stored;
        WriteIni(texts::kHistorySection, HistoryKey(stored), &name);
    }
    for (int n = stored + 1; n <= count; ++n)
        WriteIni(texts::kHistorySection, HistoryKey(n), nullptr);
    if (!untold.empty()) {
        untold.pop_back();
        platform::ShowWarning(
            window, texts::kUnstorableTitle,
            texts::kUnstorableHistoryLead + untold + texts::kUnstorableHistoryEnd);
    }
}
