// The program as the front end starts it: what it tells its caller through exit code and stderr.
#include <gtest/gtest.h>

#include <QProcess>

#include "support/TempDir.h"

namespace {

using testsupport::TempDir;
using testsupport::WriteBytes;

QString Path(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// The hidden benchmark option ends the program once its window is painted.
QProcess& RunUntilShown(QProcess& process, const QStringList& files) {
    process.start(QStringLiteral(ZARVO_VIEWER_PROGRAM),
                  QStringList{QStringLiteral("--exit-when-shown")} + files);
    EXPECT_TRUE(process.waitForFinished(30000));
    return process;
}

TEST(Program, ShowsTwoReadableFilesAndExitsCleanly) {
    TempDir dir;
    WriteBytes(dir / "a.txt", "a\n");
    WriteBytes(dir / "b.txt", "b\n");
    QProcess process;
    RunUntilShown(process, {Path(dir / "a.txt"), Path(dir / "b.txt")});
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    // The viewer writes nothing beside the files it reads.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);
}

TEST(Program, MissingFileFailsAndIsNamedOnStandardError) {
    TempDir dir;
    WriteBytes(dir / "a.txt", "a\n");
    QProcess process;
    RunUntilShown(process, {Path(dir / "a.txt"), Path(dir / "missing.txt")});
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(process.exitCode(), 0);
    EXPECT_TRUE(
        QString::fromUtf8(process.readAllStandardError()).contains(Path(dir / "missing.txt")));
}

}  // namespace
