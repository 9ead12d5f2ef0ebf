// Tools that are no program file themselves: a shortcut is started as what it points to, a batch
// file through the command processor; either way the tool gets exactly the two paths, whatever
// characters they hold.
#include <algorithm>

#include <shlobj.h>

#include "behaviour/FormFixture.h"
#include "support/Launches.h"

namespace {

using Args = std::vector<std::string>;

// A shortcut at link to target, written through the shell's own interface, as Explorer makes one.
void MakeShortcut(const std::filesystem::path& link, const std::filesystem::path& target,
                  const std::wstring& arguments = L"") {
    IShellLinkW* shell = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                               reinterpret_cast<void**>(&shell)),
              S_OK);
    shell->SetPath(target.c_str());
    shell->SetArguments(arguments.c_str());
    IPersistFile* file = nullptr;
    ASSERT_EQ(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
    EXPECT_EQ(file->Save(link.c_str(), TRUE), S_OK);
    file->Release();
    shell->Release();
}

class ToolKindsTest : public FormTest {
protected:
    // Records land in a folder of their own, so that a batch file beside them cannot be mistaken.
    std::filesystem::path records = dir.path() / "records";
    std::filesystem::path recorder =
        (std::filesystem::create_directory(records), testsupport::InstallRecordTool(records));
};

TEST_F(ToolKindsTest, ShortcutAndBatchFileToolsGetExactlyTheTwoPaths) {
    // Characters the command processor would act on, in the tools' folder and in both paths.
    // (Wine's command processor expands % again in what it has expanded, which the Windows one
    // never does: the batch file's paths hold none here.)
    const std::filesystem::path odd = dir.path() / L"a & b ^ !x! (1)";
    std::filesystem::create_directory(odd);
    const std::wstring first = (odd / L"x y.txt").wstring();
    const Args viaShortcut = {platform::ToUtf8(first), "C:\\100% & more\\"};
    const Args viaBatch = {platform::ToUtf8(first), "C:\\100 & more\\"};

    const std::filesystem::path batch = odd / L"tool.cmd";
    testsupport::WriteBytes(batch, "@\"" + recorder.string() + "\" %*\r\n");
    const std::filesystem::path link = odd / L"tool.lnk";
    MakeShortcut(link, recorder);
    // A shortcut to the batch file, with an argument of its own before the paths.
    const std::filesystem::path batchLink = dir.path() / L"batch.lnk";
    MakeShortcut(batchLink, batch, L"--own");

    auto form = Start(L"C:\\100% & more\\");
    platform::testing::DropFiles(form->window, {first});
    platform::testing::Type(form->ExePath, link.wstring());
    platform::testing::Click(form->btnGo);
    platform::testing::Type(form->path2, L"C:\\100 & more\\");
    for (const auto& tool : {batch, batchLink}) {
        platform::testing::Type(form->ExePath, tool.wstring());
        platform::testing::Click(form->btnGo);
    }
    // The three tools run side by side, so their records may land in any order.
    auto launches = testsupport::WaitForLaunches(records, 3, std::chrono::seconds(60));
    std::sort(launches.begin(), launches.end());
    std::vector<Args> expected{viaShortcut, viaBatch, {"--own", viaBatch[0], viaBatch[1]}};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(launches, expected);
}

TEST_F(ToolKindsTest, AShortcutThatPointsNowhereGetsTheFailedStartMessage) {
    const std::filesystem::path gone = dir.path() / "gone.exe";
    std::filesystem::copy_file(recorder, gone);
    const std::filesystem::path link = dir.path() / "gone.lnk";
    MakeShortcut(link, gone);
    std::filesystem::remove(gone);

    auto form = Start(L"C:\\a.txt");
    form->AcceptFile(L"C:\\b.txt");
    platform::testing::Type(form->ExePath, link.wstring());
    platform::testing::AnswerNextMessageBox(false);
    platform::testing::Click(form->btnGo);
    EXPECT_EQ(platform::testing::LastMessage(),
              L"比較ツールを起動できませんでした。\n\nツール: " + link.wstring() +
                  L"\n理由: ショートカットのリンク先が見つかりません: " + gone.wstring() +
                  L"\n\n別の比較ツールを選びますか?");
    EXPECT_FALSE(std::filesystem::exists(IniFile()));
}

}  // namespace
