#include "LineStarts.h"

#include <algorithm>
#include <bit>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace viewer {

static_assert(std::endian::native == std::endian::little,
              "the newline search reads the bytes as little-endian words");

namespace {

// A word's lanes (code units) and the lane values of LF and CR, repeated in every lane.
struct Lanes {
    std::uint64_t high;  // the top bit of every lane
    std::uint64_t low;   // the other bits
    std::uint64_t lf;
    std::uint64_t cr;
    unsigned bits;  // a lane's bits
};

constexpr Lanes kByteLanes{0x8080808080808080, 0x7F7F7F7F7F7F7F7F, 0x0A0A0A0A0A0A0A0A,
                           0x0D0D0D0D0D0D0D0D, 8};
constexpr Lanes kUtf16LeLanes{0x8000800080008000, 0x7FFF7FFF7FFF7FFF, 0x000A000A000A000A,
                              0x000D000D000D000D, 16};
constexpr Lanes kUtf16BeLanes{0x8000800080008000, 0x7FFF7FFF7FFF7FFF, 0x0A000A000A000A00,
                              0x0D000D000D000D00, 16};

const Lanes& LanesOf(Units units) {
    return units == Units::Bytes     ? kByteLanes
           : units == Units::Utf16Le ? kUtf16LeLanes
                                     : kUtf16BeLanes;
}

// The lanes of `word` that equal the lanes of `pattern`, each flagged by its top bit. Exact: the
// addition sets a lane's top bit when its low bits are not all clear, and never carries further.
std::uint64_t Matches(std::uint64_t word, std::uint64_t pattern, const Lanes& lanes) {
    const std::uint64_t x = word ^ pattern;
    return ~(((x & lanes.low) + lanes.low) | x) & lanes.high;
}

// The eight bytes at `at`, those at `end` and after as zeros (which are neither LF nor CR).
std::uint64_t Word(std::string_view bytes, std::size_t at, std::size_t end) {
    std::uint64_t word = 0;
    if (at + 8 <= end) {
        std::memcpy(&word, bytes.data() + at, 8);
    } else {
        std::memcpy(&word, bytes.data() + at, end - at);
    }
    return word;
}

// How many lanes are flagged (std::popcount is a library call where the processor's own count
// may not be assumed).
std::size_t Count(std::uint64_t flags, const Lanes& lanes) {
    const std::uint64_t ones = flags >> (lanes.bits - 1);  // one bit at the bottom of each lane
    return static_cast<std::size_t>(lanes.bits == 8 ? (ones * 0x0101010101010101) >> 56
                                                    : (ones * 0x0001000100010001) >> 48);
}

// Counts the newlines of `bytes` up to `end`, and those with a CR before them, noting the count
// before each block in `before`. The lanes are known when compiled: this is the pass over the
// whole file.
template <const Lanes& kLanes>
void CountNewlines(std::string_view bytes, std::size_t end, std::size_t block,
                   std::vector<std::uint32_t>& before, std::size_t& newlines, std::size_t& crlfs) {
    const std::uint64_t topCr = kLanes.cr >> (64 - kLanes.bits);
    std::uint64_t carry = 0;  // a CR in the last lane of the word before, flagged as lane 0
    for (std::size_t start = 0; start < end; start += block) {
        before.push_back(static_cast<std::uint32_t>(newlines));
        const std::size_t stop = std::min(end, start + block);
        for (std::size_t at = start; at < stop; at += 8) {
            const std::uint64_t word = Word(bytes, at, stop);
            if (word == kLanes.lf) {  // empty lines only, the first after a CR of the word before
                newlines += 64 / kLanes.bits;
                crlfs += carry != 0;
                carry = 0;
                continue;
            }
            const std::uint64_t lf = Matches(word, kLanes.lf, kLanes);
            if (lf != 0) {
                const std::uint64_t cr = Matches(word, kLanes.cr, kLanes);
                newlines += Count(lf, kLanes);
                crlfs += Count(((cr << kLanes.bits) | carry) & lf, kLanes);
            }
            carry =
                (word >> (64 - kLanes.bits)) == topCr ? std::uint64_t{1} << (kLanes.bits - 1) : 0;
        }
    }
    before.push_back(static_cast<std::uint32_t>(newlines));
}

#ifdef __SSE2__
// CountNewlines for bytes, sixteen at a step: each step adds one to a byte's counter where it is
// LF, and to another where it is an LF after a CR (the byte before read with it, unaligned). A
// block's 64 steps stay within a byte's count; the counters are added up once a block.
void CountByteNewlines(std::string_view bytes, std::size_t end, std::size_t block,
                       std::vector<std::uint32_t>& before, std::size_t& newlines,
                       std::size_t& crlfs) {
    const char* data = bytes.data();
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i zero = _mm_setzero_si128();
    const auto sum = [&zero](__m128i counts) {
        const __m128i halves = _mm_sad_epu8(counts, zero);
        return static_cast<std::size_t>(_mm_cvtsi128_si32(halves)) +
               static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(halves, 8)));
    };
    for (std::size_t start = 0; start < end; start += block) {
        before.push_back(static_cast<std::uint32_t>(newlines));
        const std::size_t stop = std::min(end, start + block);
        std::size_t at = start;
        if (at == 0) {  // the file's first byte has none before it
            newlines += data[0] == '\n';
            at = 1;
        }
        __m128i lfs = zero, pairs = zero;
        for (; at + 16 <= stop; at += 16) {
            const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
            const __m128i prior = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at - 1));
            const __m128i isLf = _mm_cmpeq_epi8(here, lf);
            lfs = _mm_sub_epi8(lfs, isLf);  // a match is -1
            pairs = _mm_sub_epi8(pairs, _mm_and_si128(isLf, _mm_cmpeq_epi8(prior, cr)));
        }
        newlines += sum(lfs);
        crlfs += sum(pairs);
        for (; at < stop; ++at) {
            if (data[at] != '\n') continue;
            ++newlines;
            crlfs += data[at - 1] == '\r';
        }
    }
    before.push_back(static_cast<std::uint32_t>(newlines));
}
#endif

}  // namespace

LineStarts::LineStarts(std::string_view bytes, Units units) : units_(units) {
    const std::size_t end = bytes.size() / unit() * unit();  // an odd byte of UTF-16 is no unit
    before_.reserve(end / kBlock + 2);
    switch (units) {
        case Units::Bytes:
#ifdef __SSE2__
            static_assert(kBlock / 16 <= 255, "a block's steps must stay within a byte's count");
            CountByteNewlines(bytes, end, kBlock, before_, newlines_, crlfs_);
#else
            CountNewlines<kByteLanes>(bytes, end, kBlock, before_, newlines_, crlfs_);
#endif
            break;
        case Units::Utf16Le:
            CountNewlines<kUtf16LeLanes>(bytes, end, kBlock, before_, newlines_, crlfs_);
            break;
        case Units::Utf16Be:
            CountNewlines<kUtf16BeLanes>(bytes, end, kBlock, before_, newlines_, crlfs_);
            break;
    }
}

std::size_t LineStarts::Newline(std::string_view bytes, std::size_t count) const {
    const Lanes& lanes = LanesOf(units_);
    // The first block with `count` newlines before it comes after the one that holds it.
    const auto after = std::upper_bound(before_.begin(), before_.end(), count - 1);
    const auto block = static_cast<std::size_t>(after - before_.begin()) - 1;
    std::size_t left = count - before_[block];
    const std::size_t end = bytes.size() / unit() * unit();
    for (std::size_t at = block * kBlock; at < end; at += 8) {
        std::uint64_t lf = Matches(Word(bytes, at, end), lanes.lf, lanes);
        const std::size_t here = Count(lf, lanes);
        if (here < left) {
            left -= here;
            continue;
        }
        while (--left > 0) lf &= lf - 1;
        return at + static_cast<std::size_t>(std::countr_zero(lf)) / lanes.bits * unit();
    }
    return bytes.size();
}

std::size_t LineStarts::NewlinesBefore(std::string_view bytes, std::size_t offset) const {
    const Lanes& lanes = LanesOf(units_);
    const std::size_t limit = std::min(offset, bytes.size()) / unit() * unit();
    const std::size_t block = limit / kBlock;
    std::size_t count = before_[block];
    for (std::size_t at = block * kBlock; at < limit; at += 8) {
        count += Count(Matches(Word(bytes, at, limit), lanes.lf, lanes), lanes);
    }
    return count;
}

std::size_t LineStarts::NextNewline(std::string_view bytes, std::size_t from) const {
    if (units_ == Units::Bytes) {
        const void* found = std::memchr(bytes.data() + from, '\n', bytes.size() - from);
        return found == nullptr ? bytes.size() : static_cast<const char*>(found) - bytes.data();
    }
    const Lanes& lanes = LanesOf(units_);
    const std::size_t end = bytes.size() / 2 * 2;
    for (std::size_t at = from; at < end; at += 8) {
        const std::uint64_t lf = Matches(Word(bytes, at, end), lanes.lf, lanes);
        if (lf != 0) return at + static_cast<std::size_t>(std::countr_zero(lf)) / 16 * 2;
    }
    return bytes.size();
}

bool LineStarts::UnitIs(std::string_view bytes, std::size_t at, char c) const {
    switch (units_) {
        case Units::Bytes:
            return bytes[at] == c;
        case Units::Utf16Le:
            return bytes[at] == c && bytes[at + 1] == 0;
        case Units::Utf16Be:
            break;
    }
    return bytes[at] == 0 && bytes[at + 1] == c;
}

}  // namespace viewer
