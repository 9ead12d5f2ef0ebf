// Two folders compared: one list of the relative paths found under either, in the order of a
// tree (a folder, then what it holds, names in the order the system matches them), each with its
// state. Contents decide: files are compared by their bytes, the cheap answers first (sizes that
// differ, one file given twice), in blocks, so that memory grows with the entries and never with
// the files. Links are compared by their targets and never followed; FIFOs, devices and sockets
// are listed and never opened.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "FolderList.h"

namespace viewer {

enum class FolderState : std::uint8_t {
    Same,         // a folder: everything under it is the same
    Different,    // a folder: something under it differs
    OnlyFirst,    // in the first folder only
    OnlySecond,   // in the second folder only
    KindsDiffer,  // a file against a folder, a link against a file, ...
    Unreadable,   // one side or both could not be read; `errors` says why
};

struct FolderEntry {
    std::filesystem::path relative;  // from the first folder (from the second if only there)
    std::filesystem::path
        relative2;             // from the second folder; differs from `relative` in case only
    std::u16string name;       // the last part, to show
    std::u16string name2;      // the second's name when it differs from the first's in case only
    std::int32_t parent = -1;  // the folder entry that holds this one; -1 at the top
    std::int32_t depth = 0;    // 0 at the top
    EntryKind kind1 = EntryKind::None;
    EntryKind kind2 = EntryKind::None;
    FolderState state = FolderState::Same;
    std::int64_t size1 = -1;  // a file's size as listed; -1 where there is none
    std::int64_t size2 = -1;
    SideErrors errors;  // why it could not be read, by side
};

struct FolderProgress {
    std::int64_t entries = 0;        // listed so far
    std::int64_t filesCompared = 0;  // file pairs whose contents were compared
    std::int64_t bytesCompared = 0;  // read from both sides
};

// What a comparison tells as it goes, on its own thread when it runs on one.
class FolderSink {
public:
    virtual ~FolderSink() = default;
    // A new entry; its index is the number of entries told before it.
    virtual void Added(const FolderEntry& entry) = 0;
    // A folder entry found to hold a difference (from Same to Different).
    virtual void Changed(std::int32_t index, FolderState state) = 0;
    virtual void Progress(const FolderProgress& progress) = 0;
};

enum class FolderEnd : std::uint8_t {
    Done,
    Cancelled,   // stopped before the end; the entries told until then stand
    Unreadable,  // a folder given could not be read; nothing was told
};

// Compares `first` and `second` (two folders) on the caller's thread, telling `sink` each entry
// as soon as its state is known. On Unreadable, `error` says which folder and why.
FolderEnd CompareFolders(const std::filesystem::path& first, const std::filesystem::path& second,
                         FolderSink& sink, std::stop_token stop, SideErrors& error);

// A pair of files (either may be missing) compared again, as after a save in its file view made
// or changed one: the entry's kinds, sizes and state anew. False, the entry as it was, when a side
// is now something other than a file or nothing (a comparison of the folders tells it then).
bool CompareFilesAgain(const std::filesystem::path& first, const std::filesystem::path& second,
                       FolderEntry& entry);

// What a header or a status bar counts: the entries that differ, by how. A folder only on one
// side counts once, as diff tells it, not once more for each entry in it; a folder that differs
// because of what it holds does not count itself.
struct FolderCounts {
    std::int64_t different = 0;
    std::int64_t onlyFirst = 0;
    std::int64_t onlySecond = 0;
    std::int64_t kindsDiffer = 0;
    std::int64_t unreadable = 0;
    bool operator==(const FolderCounts&) const = default;
};
FolderCounts CountFolderStates(const std::vector<FolderEntry>& entries);

// "FILE FOLDER" (or "FOLDER FILE") as diff takes it: the file of the same name in the folder.
// Returns the pair to compare, unchanged when neither or both are folders.
std::pair<std::filesystem::path, std::filesystem::path> ResolveFileAndFolder(
    const std::filesystem::path& first, const std::filesystem::path& second);

// A comparison on a thread of its own, for a window: it polls what is new, and cancelling (or
// destroying the object) stops the work at once.
class FolderComparison {
public:
    struct News {
        std::vector<FolderEntry> added;  // in order, following what earlier polls gave
        std::vector<std::pair<std::int32_t, FolderState>> changed;
        FolderProgress progress;
        bool finished = false;  // nothing more will come; `end` says how it ended
        FolderEnd end = FolderEnd::Done;
        SideErrors error;  // when a folder given could not be read
    };

    // `wake`, when given, is called on the comparison's thread whenever there is news (a front
    // posts itself a message there); it must not call back into this object.
    FolderComparison(std::filesystem::path first, std::filesystem::path second,
                     std::function<void()> wake = {});
    ~FolderComparison();
    FolderComparison(const FolderComparison&) = delete;
    FolderComparison& operator=(const FolderComparison&) = delete;

    void Cancel();
    News Poll();
    void Wait();  // until the comparison ends (for tests and the command line)

private:
    class Queue;
    std::unique_ptr<Queue> queue_;
    std::jthread thread_;
};

}  // namespace viewer
