// A write of the settings file interrupted at every step, by SIGKILL or by a failing system
// call: the file is always the old one or the new one, whole, and the result tells which.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "Children.h"
#include "SyscallTracer.h"
#include "support/TempDir.h"

namespace {

using testsupport::ReadBytes;
using testsupport::WriteBytes;

const std::string kOld =
    "[WINDIFF]\r\nExePath=/usr/bin/old-tool\r\n[DiffPath]\r\nLIST1=/home/a\r\nLIST2=/home/b\r\n";
// Long enough that the new file is many times the old one.
const std::string kNewValue = "/home/" + std::string(200000, 'n');
const std::string kNew =
    "[WINDIFF]\r\nExePath=/usr/bin/old-tool\r\n[DiffPath]\r\nLIST1=" + kNewValue +
    "\r\nLIST2=/home/b\r\n";

// The names in the folder, sorted.
std::vector<std::string> Names(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Files beside the settings file other than itself: temporaries a write left behind.
int StrayFiles(const std::filesystem::path& dir) {
    int count = 0;
    for (const std::string& name : Names(dir)) count += name != "Zarvo.ini";
    return count;
}

class InterruptedWriteTest : public ::testing::Test {
protected:
    std::string File() const { return (dir / "Zarvo.ini").string(); }
    std::function<int()> Writer() const {
        return
            [file = File()] { return faults::WriteResult("DiffPath", "LIST1", kNewValue, file); };
    }
    testsupport::TempDir dir;
};

#ifdef ZARVO_HAVE_SYSCALL_TRACER

// Kills a writer at its first system call, then at its second, and so on until a write gets to
// its end; each time the file must be the old one or the new one, whole, and the folder must
// hold nothing else once the next write has run. Returns how many kills left a temporary file
// until then.
int KillAtEveryStep(const std::string& file, const std::string& before, bool noUnnamedFiles) {
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    const auto writer = [file] {
        return faults::WriteResult("DiffPath", "LIST1", kNewValue, file);
    };
    const std::string created = "[DiffPath]\r\nLIST1=" + kNewValue + "\r\n";
    const std::string after = before.empty() ? created : kNew;
    int litter = 0;
    bool sawNew = false;
    for (int at = 0; at < 1000; ++at) {
        std::filesystem::remove(file);
        if (!before.empty()) WriteBytes(file, before);
        const auto outcome = faults::Trace(writer, faults::Fault::Kill, at, 0, noUnnamedFiles);
        SCOPED_TRACE("killed at call " + std::to_string(at) + " (system call " +
                     std::to_string(outcome.faultedCall) + ")");
        const bool exists = std::filesystem::exists(file);
        const std::string bytes = exists ? ReadBytes(file) : "<none>";
        EXPECT_TRUE(bytes == (before.empty() ? "<none>" : before) || bytes == after)
            << "a mix of " << bytes.size() << " bytes";
        // Once the new file is in place, a later death cannot bring the old one back.
        if (sawNew) {
            EXPECT_EQ(bytes, after) << "the old file came back after the new one";
        }
        sawNew = sawNew || bytes == after;
        litter += StrayFiles(folder) > 0;
        if (outcome.faultedCall < 0) {
            EXPECT_GT(at, 5);
            EXPECT_TRUE(outcome.ending.ExitedWith(faults::kWriteSucceeded));
            EXPECT_EQ(bytes, after);
            EXPECT_EQ(Names(folder), std::vector<std::string>{"Zarvo.ini"});
            std::printf("%s file, %s: %d of %d kills left a temporary file for the next write\n",
                        before.empty() ? "no" : "an old", noUnnamedFiles ? "named" : "unnamed",
                        litter, at);
            return litter;
        }
        EXPECT_EQ(outcome.ending.signal, SIGKILL);
        // The next write clears what the killed one left.
        EXPECT_EQ(faults::WriteResult("WINDIFF", "ExePath", "/usr/bin/next", file),
                  faults::kWriteSucceeded);
        EXPECT_EQ(Names(folder), std::vector<std::string>{"Zarvo.ini"});
    }
    ADD_FAILURE() << "the write never got to its end";
    return litter;
}

TEST_F(InterruptedWriteTest, KilledAtEveryStepLeavesOldOrNewFileAndNoTemporaryFile) {
    // Unnamed files: the new contents have a name only between the two calls that link the file
    // and rename it over the old one, and a new settings file is linked in under its own name.
    EXPECT_LE(KillAtEveryStep(File(), kOld, false), 1);
    EXPECT_EQ(KillAtEveryStep(File(), "", false), 0);
    // A file system without them: a named temporary file, which the next write removes.
    EXPECT_GT(KillAtEveryStep(File(), kOld, true), 1);
    EXPECT_GT(KillAtEveryStep(File(), "", true), 1);
}

TEST_F(InterruptedWriteTest, FailingSystemCallIsReportedAndLeavesOldFileWholeAndNoLitter) {
    for (const bool noUnnamedFiles : {false, true}) {
        WriteBytes(File(), kOld);
        const int calls = faults::Trace(Writer(), faults::Fault::None, -1, 0, noUnnamedFiles).calls;
        for (const int error : {EIO, ENOSPC, EINTR, EACCES}) {
            int successes = 0, failures = 0;
            for (int at = 0; at < calls; ++at) {
                WriteBytes(File(), kOld);
                const auto outcome =
                    faults::Trace(Writer(), faults::Fault::Fail, at, error, noUnnamedFiles);
                SCOPED_TRACE("errno " + std::to_string(error) + " at call " + std::to_string(at) +
                             " (system call " + std::to_string(outcome.faultedCall) +
                             (noUnnamedFiles ? "), no unnamed files" : ")"));
                ASSERT_TRUE(outcome.ending.exited) << "died of signal " << outcome.ending.signal;
                const std::string bytes = ReadBytes(File());
                // Success means the new file; failure means the old one. Nothing in between.
                if (outcome.ending.code == faults::kWriteSucceeded) {
                    EXPECT_TRUE(bytes == kNew)
                        << "success reported, but the file holds " << bytes.size() << " bytes";
                    ++successes;
                } else {
                    EXPECT_TRUE(bytes == kOld)
                        << "failure reported, but the file holds " << bytes.size() << " bytes";
                    ++failures;
                }
                // (Unless the removal of the temporary file was the call that failed.)
                if (outcome.faultedCall != SYS_unlinkat) {
                    EXPECT_EQ(StrayFiles(dir.path()), 0);
                }
                for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
                    if (entry.path().filename() != "Zarvo.ini")
                        std::filesystem::remove(entry.path());
                }
            }
            // Both kinds of outcome were met: failures early in the write, success once done.
            EXPECT_GT(failures, 0) << "errno " << error;
            EXPECT_GT(successes, 0) << "errno " << error;
        }
    }
}

#endif

// Without a tracer: a writer rewriting the file in a loop, killed after a random number of
// reads by a second process, which checks every file it sees on the way.
std::string Versioned(int n) {
    return "/home/" + std::to_string(n) + ":" +
           std::string(1000 + (n * 7919) % 20000, 'a' + n % 26);
}
std::string VersionedFile(int n) {
    return "[WINDIFF]\r\nExePath=/usr/bin/old-tool\r\n[DiffPath]\r\nLIST1=" + Versioned(n) +
           "\r\nLIST2=/home/b\r\n";
}
// The version a whole file holds, or -1 when the bytes are no file a write produced.
int VersionOf(const std::string& bytes) {
    const std::string lead = "[WINDIFF]\r\nExePath=/usr/bin/old-tool\r\n[DiffPath]\r\nLIST1=/home/";
    if (bytes.compare(0, lead.size(), lead) != 0) return -1;
    const size_t colon = bytes.find(':', lead.size());
    if (colon == std::string::npos || colon - lead.size() > 9) return -1;
    const int n = std::stoi(bytes.substr(lead.size(), colon - lead.size()));
    return bytes == VersionedFile(n) ? n : -1;
}

TEST_F(InterruptedWriteTest, WriterKilledAtRandomPointsNeverLeavesAMix) {
    std::mt19937 random(20261207);
    int lastVersion = 0;
    for (int round = 0; round < 25; ++round) {
        WriteBytes(File(), VersionedFile(lastVersion));
        const int start = lastVersion + 1;
        const pid_t writer = faults::Spawn([file = File(), start] {
            for (int n = start;; ++n) {
                if (faults::WriteResult("DiffPath", "LIST1", Versioned(n), file) != 0) return 1;
            }
        });
        const int reads = std::uniform_int_distribution<int>(1, 150)(random);
        int seen = lastVersion;
        // Each round reads on until a write has landed, however fast this process reads (an
        // optimised build under load could otherwise kill every writer before its first write).
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        for (int i = 0; i < reads || seen == lastVersion; ++i) {
            const int version = VersionOf(ReadBytes(File()));
            ASSERT_GE(version, seen) << "round " << round << ", read " << i;
            seen = version;
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "round " << round;
        }
        kill(writer, SIGKILL);
        const auto ending = faults::Wait(writer);
        EXPECT_EQ(ending.signal, SIGKILL) << "the writer stopped by itself";
        const int version = VersionOf(ReadBytes(File()));
        ASSERT_GE(version, seen) << "round " << round << " after the kill";
        lastVersion = version;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            if (entry.path().filename() != "Zarvo.ini") std::filesystem::remove(entry.path());
        }
    }
    EXPECT_GT(lastVersion, 0);
}

}  // namespace
