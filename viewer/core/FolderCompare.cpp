// The folder walk: both folders listed level by level, names matched as the system matches
// them, each pair given its state before the next is looked at.
#include "FolderCompare.h"

#include <algorithm>
#include <memory>

#include "FileRead.h"

namespace viewer {

namespace {

namespace fs = std::filesystem;

// Small enough to stay out of the allocator's mapped blocks, large enough for few reads.
constexpr std::int64_t kBlockBytes = 64 * 1024;

// Fills `buffer` but at the end of the file; -1 on a read error.
std::int64_t ReadBlock(InputFile& file, char* buffer) {
    std::int64_t filled = 0;
    while (filled < kBlockBytes) {
        const std::int64_t got = file.Read(buffer + filled, kBlockBytes - filled);
        if (got < 0) return -1;
        if (got == 0) break;
        filled += got;
    }
    return filled;
}

class Walker {
public:
    Walker(const fs::path& first, const fs::path& second, FolderSink& sink, std::stop_token stop)
        : first_(first),
          second_(second),
          sink_(sink),
          stop_(std::move(stop)),
          block1_(std::make_unique<char[]>(kBlockBytes)),
          block2_(std::make_unique<char[]>(kBlockBytes)) {}

    bool Stopped() const { return stop_.stop_requested(); }

    // Tells the entries under a folder pair (either side may be absent), whose own entry is
    // `parent`, then goes down into the folders among them.
    void Walk(const fs::path& relative1, const fs::path& relative2, std::vector<FolderItem>* items1,
              std::vector<FolderItem>* items2, std::int32_t parent, std::int32_t depth) {
        const auto byName = [](const FolderItem& a, const FolderItem& b) {
            return CompareNames(a.name, b.name) < 0;
        };
        std::vector<FolderItem> none;
        std::vector<FolderItem>& list1 = items1 != nullptr ? *items1 : none;
        std::vector<FolderItem>& list2 = items2 != nullptr ? *items2 : none;
        std::sort(list1.begin(), list1.end(), byName);
        std::sort(list2.begin(), list2.end(), byName);
        std::size_t at1 = 0, at2 = 0;
        while ((at1 < list1.size() || at2 < list2.size()) && !Stopped()) {
            int order = 0;
            if (at1 == list1.size()) {
                order = 1;
            } else if (at2 == list2.size()) {
                order = -1;
            } else {
                order = CompareNames(list1[at1].name, list2[at2].name);
            }
            const FolderItem* item1 = order <= 0 ? &list1[at1++] : nullptr;
            const FolderItem* item2 = order >= 0 ? &list2[at2++] : nullptr;
            Pair(relative1, relative2, item1, item2, parent, depth);
        }
    }

private:
    void Pair(const fs::path& relative1, const fs::path& relative2, const FolderItem* item1,
              const FolderItem* item2, std::int32_t parent, std::int32_t depth) {
        FolderEntry entry;
        entry.parent = parent;
        entry.depth = depth;
        if (item1 != nullptr) {
            entry.relative = relative1 / item1->name;
            entry.name = DisplayName(item1->name);
            entry.kind1 = item1->kind;
            if (item1->kind == EntryKind::File) entry.size1 = item1->size;
        }
        if (item2 != nullptr) {
            entry.relative2 = relative2 / item2->name;
            if (item1 == nullptr) {
                entry.relative = entry.relative2;
                entry.name = DisplayName(item2->name);
            } else if (item1->name != item2->name) {
                entry.name2 = DisplayName(item2->name);
            }
            entry.kind2 = item2->kind;
            if (item2->kind == EntryKind::File) entry.size2 = item2->size;
        }

        // A folder on one side only, or on both: listed before its entry is told, so that a
        // folder that cannot be read is told as such.
        const bool folder1 = entry.kind1 == EntryKind::Folder;
        const bool folder2 = entry.kind2 == EntryKind::Folder;
        if ((folder1 || folder2) &&
            (entry.kind1 == entry.kind2 || item1 == nullptr || item2 == nullptr)) {
            std::vector<FolderItem> list1, list2;
            SideErrors& errors = entry.errors;
            const bool read1 = !folder1 || ListFolder(first_ / entry.relative, list1, errors.first);
            const bool read2 =
                !folder2 || ListFolder(second_ / entry.relative2, list2, errors.second);
            if (!read1 || !read2) {
                entry.state = FolderState::Unreadable;
                Tell(std::move(entry));
                return;
            }
            entry.state = folder1 && folder2 ? FolderState::Same
                          : folder1          ? FolderState::OnlyFirst
                                             : FolderState::OnlySecond;
            const fs::path here1 = entry.relative;
            const fs::path here2 = entry.relative2;
            const bool differs = entry.state != FolderState::Same;
            const std::int32_t index = Tell(std::move(entry));
            // A folder on one side only has its state already; the folders above know.
            folders_.push_back({index, differs});
            Walk(here1, here2, folder1 ? &list1 : nullptr, folder2 ? &list2 : nullptr, index,
                 depth + 1);
            folders_.pop_back();
            return;
        }

        if (item1 == nullptr) {
            entry.state = FolderState::OnlySecond;
        } else if (item2 == nullptr) {
            entry.state = FolderState::OnlyFirst;
        } else if (item1->kind != item2->kind) {
            entry.state = FolderState::KindsDiffer;
        } else {
            entry.state = Contents(entry, *item1, *item2);
        }
        Tell(std::move(entry));
    }

    // Two entries of one kind, neither a folder.
    FolderState Contents(FolderEntry& entry, const FolderItem& item1, const FolderItem& item2) {
        switch (item1.kind) {
            case EntryKind::File:
                return Files(entry, item1, item2);
            case EntryKind::Link: {
                std::string target1, target2;
                const bool read1 = ReadLink(first_ / entry.relative, target1, entry.errors.first);
                const bool read2 =
                    ReadLink(second_ / entry.relative2, target2, entry.errors.second);
                if (!read1 || !read2) return FolderState::Unreadable;
                return target1 == target2 ? FolderState::Same : FolderState::Different;
            }
            case EntryKind::Device:
                return item1.special == item2.special ? FolderState::Same : FolderState::Different;
            case EntryKind::Fifo:
            case EntryKind::Socket:
                return FolderState::Same;  // nothing in them to compare
            default: {
                // Listed but not described: why, or at least that its kind is not known.
                const auto why = [](const FolderItem& item, const fs::path& path) {
                    return item.error.failed() ? item.error
                                               : FileError{FileProblem::UnknownKind, 0, path};
                };
                entry.errors = {why(item1, first_ / entry.relative),
                                why(item2, second_ / entry.relative2)};
                return FolderState::Unreadable;
            }
        }
    }

    FolderState Files(FolderEntry& entry, const FolderItem& item1, const FolderItem& item2) {
        if (item1.size != item2.size) return FolderState::Different;
        const fs::path path1 = first_ / entry.relative;
        const fs::path path2 = second_ / entry.relative2;
        if (SameFile(path1, item1, path2, item2)) return FolderState::Same;
        InputFile file1(path1);
        InputFile file2(path2);
        if (!file1.ok() || !file2.ok()) {
            entry.errors = {file1.error(), file2.error()};
            return FolderState::Unreadable;
        }
        // Sizes may have changed since the listing.
        if (file1.size() != file2.size()) return FolderState::Different;
        ++progress_.filesCompared;
        for (;;) {
            if (Stopped()) return FolderState::Same;  // not told: the walk ends here
            const std::int64_t got1 = ReadBlock(file1, block1_.get());
            const std::int64_t got2 = ReadBlock(file2, block2_.get());
            if (got1 < 0 || got2 < 0) {
                entry.errors = {got1 < 0 ? file1.error() : FileError{},
                                got2 < 0 ? file2.error() : FileError{}};
                return FolderState::Unreadable;
            }
            progress_.bytesCompared += got1 + got2;
            if (got1 != got2 || !std::equal(block1_.get(), block1_.get() + got1, block2_.get())) {
                return FolderState::Different;
            }
            if (got1 == 0) return FolderState::Same;
            if (progress_.bytesCompared - reported_ >= (64 << 20)) {
                reported_ = progress_.bytesCompared;
                sink_.Progress(progress_);
            }
        }
    }

    std::int32_t Tell(FolderEntry entry) {
        if (Stopped()) return -1;
        const bool differs = entry.state != FolderState::Same;
        sink_.Added(entry);
        const std::int32_t index = static_cast<std::int32_t>(progress_.entries++);
        // Every folder above a difference holds one: marked as soon as it is known.
        if (differs) {
            for (auto folder = folders_.rbegin(); folder != folders_.rend() && !folder->second;
                 ++folder) {
                folder->second = true;
                sink_.Changed(folder->first, FolderState::Different);
            }
        }
        sink_.Progress(progress_);
        return index;
    }

    const fs::path& first_;
    const fs::path& second_;
    FolderSink& sink_;
    std::stop_token stop_;
    std::unique_ptr<char[]> block1_;
    std::unique_ptr<char[]> block2_;
    FolderProgress progress_;
    std::int64_t reported_ = 0;
    // The folders being walked, innermost last, each with whether it is known to differ.
    std::vector<std::pair<std::int32_t, bool>> folders_;
};

}  // namespace

FolderEnd CompareFolders(const fs::path& first, const fs::path& second, FolderSink& sink,
                         std::stop_token stop, SideErrors& error) {
    std::vector<FolderItem> items1, items2;
    error = {};
    const bool read1 = ListFolder(first, items1, error.first);
    const bool read2 = ListFolder(second, items2, error.second);
    if (!read1 || !read2) return FolderEnd::Unreadable;
    Walker walker(first, second, sink, stop);
    walker.Walk({}, {}, &items1, &items2, -1, 0);
    return walker.Stopped() ? FolderEnd::Cancelled : FolderEnd::Done;
}

bool CompareFilesAgain(const fs::path& first, const fs::path& second, FolderEntry& entry) {
    const fs::path path1 = first / entry.relative;
    const fs::path path2 =
        second / (entry.kind2 == EntryKind::None ? entry.relative : entry.relative2);
    const auto kindOf = [](const fs::path& path, EntryKind& kind, std::int64_t& size) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(path, error);
        kind = status.type() == fs::file_type::regular ? EntryKind::File : EntryKind::None;
        size = kind == EntryKind::File ? static_cast<std::int64_t>(fs::file_size(path, error)) : -1;
        return status.type() == fs::file_type::regular || status.type() == fs::file_type::not_found;
    };
    FolderEntry again = entry;
    if (!kindOf(path1, again.kind1, again.size1) || !kindOf(path2, again.kind2, again.size2) ||
        (again.kind1 == EntryKind::None && again.kind2 == EntryKind::None)) {
        return false;
    }
    again.errors = {};
    if (again.kind2 == EntryKind::None) {
        again.state = FolderState::OnlyFirst;
    } else if (again.kind1 == EntryKind::None) {
        again.state = FolderState::OnlySecond;
    } else {
        again.relative2 = path2.lexically_relative(second);
        InputFile file1(path1);
        InputFile file2(path2);
        const StreamComparison blocks =
            file1.ok() && file2.ok() ? CompareInBlocks(file1, file2) : StreamComparison{};
        if (!blocks.ok) {
            again.state = FolderState::Unreadable;
            again.errors = !file1.ok() || !file2.ok() ? SideErrors{file1.error(), file2.error()}
                                                      : blocks.errors;
        } else {
            again.state = blocks.firstDifference < 0 ? FolderState::Same : FolderState::Different;
        }
    }
    entry = std::move(again);
    return true;
}

FolderCounts CountFolderStates(const std::vector<FolderEntry>& entries) {
    std::int64_t counts[6] = {};
    for (const FolderEntry& entry : entries) {
        const bool aggregate = entry.state == FolderState::Different &&
                               entry.kind1 == EntryKind::Folder && entry.kind2 == EntryKind::Folder;
        const bool inherited = entry.parent >= 0 &&
                               static_cast<std::size_t>(entry.parent) < entries.size() &&
                               entries[static_cast<std::size_t>(entry.parent)].state == entry.state;
        if (!aggregate && !(inherited && entry.state != FolderState::Different)) {
            ++counts[static_cast<int>(entry.state)];
        }
    }
    return {counts[static_cast<int>(FolderState::Different)],
            counts[static_cast<int>(FolderState::OnlyFirst)],
            counts[static_cast<int>(FolderState::OnlySecond)],
            counts[static_cast<int>(FolderState::KindsDiffer)],
            counts[static_cast<int>(FolderState::Unreadable)]};
}

std::pair<fs::path, fs::path> ResolveFileAndFolder(const fs::path& first, const fs::path& second) {
    // Only a name that is there and is no folder is looked for in the other: a folder against a
    // name that is not there stays as it is, to be told as such.
    std::error_code error;
    const fs::file_status status1 = fs::status(first, error);
    const fs::file_status status2 = fs::status(second, error);
    const bool folder1 = fs::is_directory(status1);
    const bool folder2 = fs::is_directory(status2);
    if (folder1 && !folder2 && fs::exists(status2) && second.has_filename()) {
        return {first / second.filename(), second};
    }
    if (folder2 && !folder1 && fs::exists(status1) && first.has_filename()) {
        return {first, second / first.filename()};
    }
    return {first, second};
}

}  // namespace viewer
