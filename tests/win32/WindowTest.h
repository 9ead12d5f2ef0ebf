// What the Win32 windows' tests do as the window's program and its user would: run its messages
// (its keys first), press keys and type where the focus is, and read the list, the texts and what
// a screen reader hears.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
// (after windows.h)
#include <commctrl.h>

#include <memory>
#include <string>

#include "support/TempDir.h"

namespace testsupport {

// What a screen reader hears of a window (CHILDID_SELF) or of one of its items.
std::wstring AccessibleName(HWND window, LONG child = CHILDID_SELF);

// A window's text, whole.
std::wstring TextOf(HWND window);

// The fixture of a window's tests: `Window` has hwnd(), list(), status() and
// TranslateKeys(MSG&).
template <typename Window>
class WindowTest : public ::testing::Test {
protected:
    // Runs the window's messages as its program does, keys first.
    void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (window_ != nullptr && IsWindow(window_->hwnd()) && window_->TranslateKeys(msg)) {
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // Runs messages until `done` holds, waiting for each next one; false after 20 s without.
    template <typename Condition>
    bool PumpUntil(Condition done) {
        const ULONGLONG deadline = GetTickCount64() + 20000;
        for (Pump(); !done(); Pump()) {
            if (GetTickCount64() > deadline) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 200, QS_ALLINPUT);
        }
        return true;
    }
    // A key pressed where the focus is (the list unless said), with Shift or Ctrl held.
    void Press(UINT key, UINT modifier = 0, HWND to = nullptr) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        if (modifier != 0) state[modifier] = 0x80;
        SetKeyboardState(state);
        if (to == nullptr) to = GetFocus() != nullptr ? GetFocus() : window_->list();
        PostMessageW(to, WM_KEYDOWN, key, 1);
        PostMessageW(to, WM_KEYUP, key, 0xC0000001);
        Pump();
        if (modifier != 0) state[modifier] = 0;
        SetKeyboardState(state);
    }
    // Alt with a key, as the system sends it: Alt down, the key down, Alt let go before the key
    // (as many press it).
    void PressAlt(UINT key) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[VK_MENU] = 0x80;
        SetKeyboardState(state);
        HWND to = GetFocus() != nullptr ? GetFocus() : window_->list();
        PostMessageW(to, WM_SYSKEYDOWN, VK_MENU, 0x20000001);
        PostMessageW(to, WM_SYSKEYDOWN, key, 0x20000001);
        Pump();
        state[VK_MENU] = 0;
        SetKeyboardState(state);
        PostMessageW(to, WM_SYSKEYUP, VK_MENU, 0xC0000001);
        PostMessageW(to, WM_KEYUP, key, 0xC0000001);
        Pump();
    }
    // Characters typed where the focus is, one key at a time.
    void Type(const std::wstring& text) {
        for (const wchar_t c : text) {
            PostMessageW(GetFocus(), WM_CHAR, c, 1);
            Pump();
        }
    }

    int CurrentRow() const { return ListView_GetNextItem(window_->list(), -1, LVNI_FOCUSED); }
    std::wstring Cell(int row, int column) const {
        wchar_t text[4096] = {};
        ListView_GetItemText(window_->list(), row, column, text, 4096);
        return text;
    }
    // A part of the status bar.
    std::wstring Status(int part) const {
        wchar_t text[1024] = {};
        SendMessageW(window_->status(), SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
        return text;
    }

    TempDir dir_;
    std::unique_ptr<Window> window_;
};

}  // namespace testsupport
