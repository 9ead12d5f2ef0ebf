// The history of second paths: the item list of path2, newest first, kept in the settings file.
#include <string>

#include "../platform/Profile.h"
#include "../platform/Text.h"
#include "Form1.h"
#include "texts.h"

namespace {

std::wstring HistoryKey(int number) { return texts::kHistoryKeyPrefix + std::to_wstring(number); }

}  // namespace

void Form1::LoadHistory() {
    for (int n = texts::kHistoryMax; n >= 1; --n) {
        const std::wstring value = ReadIni(texts::kHistorySection, HistoryKey(n), L"");
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

void Form1::SaveHistory() {
    const int count = path2.ListCount();
    const std::string section = platform::ToAnsi(texts::kHistorySection);
    const std::string file = platform::ToAnsi(IniPath);
    for (int i = 0; i < count; ++i) {
        WritePrivateProfileStringA(section.c_str(), platform::ToAnsi(HistoryKey(i + 1)).c_str(),
                                   platform::ToAnsi(path2.List(i)).c_str(), file.c_str());
    }
}
