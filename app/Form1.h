// The program's one window: its controls, its variables and every procedure it runs.
#pragma once

#include <set>
#include <string>

#include "../platform/Controls.h"
#include "../platform/OpenFileDialog.h"

class Form1 {
public:
    Form1();

    // The window and its controls.
    platform::Window window;
    platform::Label Guide;
    platform::TextBox path1;
    platform::ComboBox path2;
    platform::TextBox ExePath;
    platform::Button btnGo;
    platform::Button btnReffer;
    platform::OpenFileDialog dlgOpen;

    // The window's variables.
    std::wstring IniPath;
    bool FirstPathReady = false;
    bool SecondPathReady = false;
    std::wstring ChosenExePath;
    // History entries the settings file cannot keep that the user has been told of.
    std::set<std::wstring> UnstorableTold;
    // Whether the user has been told that the settings file cannot be written.
    bool UnwritableTold = false;

    // Settings file (SettingsFile.cpp).
    std::wstring ReadIni(const std::wstring& section, const std::wstring& key,
                         const std::wstring& defaultValue);
    void ZeroTrim(std::wstring& text);
    void WriteIni(const std::wstring& section, const std::wstring& key, const std::wstring* value);

    // Second-path history (History.cpp).
    void LoadHistory();
    void PushHistory(const std::wstring& path);
    void SaveHistory();

    // Start-up and file pairing (StartUp.cpp).
    void Form_Load();
    void AcceptFile(const std::wstring& path);

    // File drops (Drops.cpp).
    void HandleDrop(const platform::DropData& Data);
    void Form_OLEDragDrop(const platform::DropData& Data);
    void Guide_OLEDragDrop(const platform::DropData& Data);
    void path1_OLEDragDrop(const platform::DropData& Data);

    // The window's keys (Keyboard.cpp): a file from the Open dialog or from the clipboard.
    void Form_KeyOpen();
    void Form_KeyPaste(const platform::DropData& Data);

    // Launching the comparison (Launch.cpp).
    void btnGo_Click();

    // Choosing the comparison tool (ToolChoice.cpp).
    void btnReffer_Click();
};
