// The viewer's save under the same faults as the settings file's write: two files compared, a
// change taken into the second, and the save's outcome carried out of a child as its exit code.
#pragma once

#include <filesystem>
#include <string>

#include "EditedComparison.h"
#include "Wording.h"
#include "support/TempDir.h"

namespace faults {

// The second file before and after the save; the first holds the lines it takes.
const std::string kBefore = "a\nold\nz\n";
const std::string kAfter = "a\n" + std::string(20000, 'n') + "\nz\n";

// The comparison of `first` with `second` (both written here), the change taken into `second`.
inline viewer::EditedComparison TakenIntoSecond(const std::filesystem::path& first,
                                                const std::filesystem::path& second) {
    testsupport::WriteBytes(first, kAfter);
    testsupport::WriteBytes(second, kBefore);
    viewer::EditedComparison editing(viewer::Compare(first, second));
    editing.Take(viewer::Side::First, 1, 1);
    return editing;
}

// Exit codes for a save's outcome.
constexpr int kSaved = 0;
constexpr int kDiskFull = 10;     // failed, and said the disk is full
constexpr int kRefused = 11;      // failed, and said the write was refused
constexpr int kFailed = 12;       // failed for another reason
constexpr int kChanged = 13;      // the file changed on disk
constexpr int kNotRestored = 14;  // failed, and said the old bytes could not be put back

inline int SaveOutcome(viewer::EditedComparison& editing) {
    const viewer::SaveResult result = editing.Save(viewer::Side::Second);
    switch (result.status) {
        case viewer::SaveStatus::Saved:
            return kSaved;
        case viewer::SaveStatus::ChangedOnDisk:
            return kChanged;
        default:
            break;
    }
    if (result.written.status == viewer::WriteStatus::DiskFull) return kDiskFull;
    if (result.written.status == viewer::WriteStatus::Refused) return kRefused;
    if (result.written.status == viewer::WriteStatus::NotRestored) return kNotRestored;
    return kFailed;
}

}  // namespace faults
