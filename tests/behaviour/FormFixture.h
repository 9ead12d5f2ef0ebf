// Starts Form1 as the program does, in a folder of its own, and reads what it left in the
// settings file through the same profile function the program uses.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "platform/Process.h"
#include "platform/Profile.h"
#include "platform/Testing.h"
#include "platform/Text.h"
#include "support/TempDir.h"

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::testing::OverrideExecutableDirectory(dir.path().wstring());
        platform::testing::OverrideArgumentText(L"");
    }
    void TearDown() override { platform::testing::OverrideExecutableDirectory(L""); }

    std::filesystem::path IniFile() const { return dir / "Zarvo.ini"; }

    // Creates the window with the given argument text and runs its load event.
    std::unique_ptr<Form1> Start(const std::wstring& argumentText = L"") {
        platform::testing::OverrideArgumentText(argumentText);
        auto form = std::make_unique<Form1>();
        form->window.Show();
        return form;
    }

    // Creates the window as a real start with this command line (after the program's name on
    // Windows, the arguments joined by blanks elsewhere) would, and runs its load event.
    std::unique_ptr<Form1> StartWithCommandLine(const std::wstring& commandLine) {
        platform::testing::OverrideCommandLine(commandLine);
        auto form = std::make_unique<Form1>();
        form->window.Show();
        return form;
    }

    // Writes the settings file; lines given with "\n" are stored with CR LF.
    void WriteIni(const std::string& lines) {
        std::string bytes;
        for (char c : lines) bytes += c == '\n' ? std::string("\r\n") : std::string(1, c);
        testsupport::WriteBytes(IniFile(), bytes);
    }

    std::wstring IniValue(const std::wstring& section, const std::wstring& key) {
        char buffer[4096];
        GetPrivateProfileStringA(platform::ToAnsi(section).c_str(), platform::ToAnsi(key).c_str(),
                                 "<missing>", buffer, sizeof buffer,
                                 platform::ToAnsi(IniFile().wstring()).c_str());
        return platform::FromAnsi(buffer);
    }

    static std::vector<std::wstring> History(Form1& form) {
        std::vector<std::wstring> items;
        for (int i = 0; i < form.path2.ListCount(); ++i) items.push_back(form.path2.List(i));
        return items;
    }

    testsupport::TempDir dir;
};
