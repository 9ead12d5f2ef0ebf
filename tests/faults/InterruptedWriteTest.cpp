// A write of the settings file interrupted at every step, by SIGKILL or by a failing system
// call: the file is always the old one or the new one, whole, and the result tells which.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

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

// Files beside the settings file other than itself: temporaries a write left behind.
int StrayFiles(const std::filesystem::path& dir) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().filename() != "Zarvo.ini") ++count;
    }
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

TEST_F(InterruptedWriteTest, KilledAtEverySystemCallLeavesOldOrNewFile) {
    bool sawNew = false;
    // Kill at the first call, then the second, and so on, until the write gets to its end.
    for (int at = 0; at < 1000; ++at) {
        WriteBytes(File(), kOld);
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            if (entry.path().filename() != "Zarvo.ini") std::filesystem::remove(entry.path());
        }
        const auto outcome = faults::Trace(Writer(), faults::Fault::Kill, at);
        const std::string bytes = ReadBytes(File());
        SCOPED_TRACE("killed at call " + std::to_string(at) + " (system call " +
                     std::to_string(outcome.faultedCall) + ")");
        ASSERT_TRUE(bytes == kOld || bytes == kNew) << "a mix of " << bytes.size() << " bytes";
        // Once the new file is in place, a later death cannot bring the old one back.
        if (sawNew) {
            EXPECT_TRUE(bytes == kNew) << "the old file came back after the new one";
        }
        sawNew = sawNew || bytes == kNew;
        if (outcome.faultedCall < 0) {
            EXPECT_GT(at, 5);
            EXPECT_TRUE(outcome.ending.ExitedWith(faults::kWriteSucceeded));
            EXPECT_TRUE(bytes == kNew);
            return;
        }
        EXPECT_EQ(outcome.ending.signal, SIGKILL);
    }
    FAIL() << "the write never got to its end";
}

TEST_F(InterruptedWriteTest, FailingSystemCallIsReportedAndLeavesOldFileWholeAndNoLitter) {
    WriteBytes(File(), kOld);
    const int calls = faults::Trace(Writer(), faults::Fault::None, -1, 0).calls;
    for (const int error : {EIO, ENOSPC, EINTR, EACCES}) {
        int successes = 0, failures = 0;
        for (int at = 0; at < calls; ++at) {
            WriteBytes(File(), kOld);
            const auto outcome = faults::Trace(Writer(), faults::Fault::Fail, at, error);
            SCOPED_TRACE("errno " + std::to_string(error) + " at call " + std::to_string(at) +
                         " (system call " + std::to_string(outcome.faultedCall) + ")");
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
            if (outcome.faultedCall != SYS_unlink) {
                EXPECT_EQ(StrayFiles(dir.path()), 0);
            }
            for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
                if (entry.path().filename() != "Zarvo.ini") std::filesystem::remove(entry.path());
            }
        }
        // Both kinds of outcome were met: failures early in the write, success once it is done.
        EXPECT_GT(failures, 0) << "errno " << error;
        EXPECT_GT(successes, 0) << "errno " << error;
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
        for (int i = 0; i < reads; ++i) {
            const int version = VersionOf(ReadBytes(File()));
            ASSERT_GE(version, seen) << "round " << round << ", read " << i;
            seen = version;
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
