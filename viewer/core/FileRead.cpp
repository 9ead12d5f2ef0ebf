// What reading the files needs beyond the platform's calls: reading a file whole, and comparing
// two files block by block. The calls themselves are in FileReadPosix.cpp (or its Windows twin).
#include "FileRead.h"

#include <algorithm>
#include <memory>

namespace viewer {

namespace {

constexpr std::int64_t kBlockBytes = 1 << 20;

}  // namespace

void ReserveForFile(std::string& bytes, std::size_t size) {
    if (size <= bytes.capacity()) return;
    bytes.reserve(size);
    constexpr std::size_t kLarge = std::size_t{4} << 20;
    if (size >= kLarge) AdviseLargePages(bytes.data() + bytes.size(), size - bytes.size());
}

bool InputFile::ReadAll(std::string& out) {
    // Read straight into memory reserved for the file's size; the size is only a hint, though,
    // since the file may grow or shrink while it is read. The string grows a block at a time, so
    // that the zeros it is filled with are still in the cache when the read writes over them.
    ReserveForFile(out, std::max<std::size_t>(static_cast<std::size_t>(identity_.size) + 1, 4096));
    std::size_t filled = 0;
    for (;;) {
        // Up to the memory reserved, and past it (the file grew) a block at a time.
        const std::size_t room = out.capacity() - filled;
        const std::size_t step = room > 0 ? std::min<std::size_t>(room, kBlockBytes) : kBlockBytes;
        out.resize(filled + step);
        const std::int64_t got = Read(out.data() + filled, static_cast<std::int64_t>(step));
        if (got < 0) return false;
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    out.resize(filled);
    return true;
}

StreamComparison CompareInBlocks(InputFile& first, InputFile& second) {
    StreamComparison result;
    result.size1 = first.size();
    result.size2 = second.size();
    const auto block1 = std::make_unique<char[]>(kBlockBytes);
    const auto block2 = std::make_unique<char[]>(kBlockBytes);
    char* start1 = block1.get();
    char* start2 = block2.get();
    std::int64_t have1 = 0, have2 = 0;  // bytes read but not yet compared, from start1 and start2
    std::int64_t offset = 0;            // bytes compared and found equal
    for (;;) {
        if (have1 == 0) {
            start1 = block1.get();
            have1 = first.Read(start1, kBlockBytes);
            if (have1 < 0) {
                result.errors.first = first.error();
                return result;
            }
        }
        if (have2 == 0) {
            start2 = block2.get();
            have2 = second.Read(start2, kBlockBytes);
            if (have2 < 0) {
                result.errors.second = second.error();
                return result;
            }
        }
        if (have1 == 0 || have2 == 0) {
            // One file or both ended: equal so far, they differ only if one goes on.
            if (have1 == 0) result.size1 = offset;
            if (have2 == 0) result.size2 = offset;
            if (have1 != have2) result.firstDifference = offset;
            break;
        }
        const std::int64_t both = std::min(have1, have2);
        const char* differs = std::mismatch(start1, start1 + both, start2).first;
        if (differs != start1 + both) {
            result.firstDifference = offset + (differs - start1);
            break;
        }
        start1 += both;
        start2 += both;
        have1 -= both;
        have2 -= both;
        offset += both;
    }
    result.ok = true;
    return result;
}

}  // namespace viewer
