// The vector check of UTF-8 is Keiser and Lemire's ("Validating UTF-8 In Less Than One
// Instruction Per Byte", 2021): each byte is looked at with the one before it, through three
// tables of sixteen entries, and the few pairs that cannot follow each other found at once.
#include "Utf8Vector.h"

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define ZARVO_UTF8_VECTOR 1
#endif

namespace viewer {

#ifdef ZARVO_UTF8_VECTOR

namespace {

// What a pair of bytes (the one before, the one at) is not allowed to be. Each table says which
// of these a half of a byte may take part in; a bit set in all three is a fault.
constexpr unsigned kTooShort = 1 << 0;          // a lead byte, then no continuation byte
constexpr unsigned kTooLong = 1 << 1;           // ASCII, then a continuation byte
constexpr unsigned kOverlong3 = 1 << 2;         // E0 80..9F
constexpr unsigned kTooLarge = 1 << 3;          // F4 90..BF, F5..FF 90..BF
constexpr unsigned kSurrogate = 1 << 4;         // ED A0..BF
constexpr unsigned kOverlong2 = 1 << 5;         // C0, C1
constexpr unsigned kTooLarge1000 = 1 << 6;      // F5..FF 80..8F
constexpr unsigned kOverlong4 = 1 << 6;         // F0 80..8F
constexpr unsigned kTwoContinuations = 1 << 7;  // wrong unless the third or fourth of a lead
constexpr unsigned kAny = kTooShort | kTooLong | kTwoContinuations;

template <typename... Entries>
__attribute__((target("ssse3"))) __m128i Table(Entries... entries) {
    static_assert(sizeof...(entries) == 16);
    return _mm_setr_epi8(static_cast<char>(entries)...);
}

__attribute__((target("ssse3"))) __m128i HighHalves(__m128i bytes) {
    return _mm_and_si128(_mm_srli_epi16(bytes, 4), _mm_set1_epi8(0x0F));
}

__attribute__((target("ssse3"))) const unsigned char* CheckWithSsse3(const unsigned char* begin,
                                                                     const unsigned char* end,
                                                                     BlockSigns& signs) {
    // By the high half of the byte before: ASCII, continuation, leads of two, three, four.
    const __m128i before =
        Table(kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong,
              kTwoContinuations, kTwoContinuations, kTwoContinuations, kTwoContinuations,
              kTooShort | kOverlong2, kTooShort, kTooShort | kOverlong3 | kSurrogate,
              kTooShort | kTooLarge | kTooLarge1000 | kOverlong4);
    // By the low half of the byte before.
    const __m128i beforeLow =
        Table(kAny | kOverlong3 | kOverlong2 | kOverlong4, kAny | kOverlong2, kAny, kAny,
              kAny | kTooLarge, kAny | kTooLarge | kTooLarge1000, kAny | kTooLarge | kTooLarge1000,
              kAny | kTooLarge | kTooLarge1000, kAny | kTooLarge | kTooLarge1000,
              kAny | kTooLarge | kTooLarge1000, kAny | kTooLarge | kTooLarge1000,
              kAny | kTooLarge | kTooLarge1000, kAny | kTooLarge | kTooLarge1000,
              kAny | kTooLarge | kTooLarge1000 | kSurrogate, kAny | kTooLarge | kTooLarge1000,
              kAny | kTooLarge | kTooLarge1000);
    // By the high half of the byte itself: ASCII, continuations 80..8F, 90..9F, A0..BF, leads.
    constexpr unsigned kContinuation = kTooLong | kOverlong2 | kTwoContinuations;
    const __m128i at =
        Table(kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort,
              kTooShort, kContinuation | kOverlong3 | kTooLarge1000 | kOverlong4,
              kContinuation | kOverlong3 | kTooLarge, kContinuation | kSurrogate | kTooLarge,
              kContinuation | kSurrogate | kTooLarge, kTooShort, kTooShort, kTooShort, kTooShort);
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i zero = _mm_setzero_si128();
    // Subtracted from a block's last three bytes: more than nothing left where a character
    // begun there wants bytes of the next block.
    const __m128i wantsMore = _mm_setr_epi8(
        -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, static_cast<char>(0xF0 - 1),
        static_cast<char>(0xE0 - 1), static_cast<char>(0xC0 - 1));
    __m128i previous = zero;
    __m128i unfinished = zero;
    __m128i nul = zero;
    __m128i escape = zero;
    const unsigned char* block = begin;
    for (; end - block >= 16; block += 16) {
        const __m128i input = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
        nul = _mm_or_si128(nul, _mm_cmpeq_epi8(input, zero));
        escape = _mm_or_si128(escape, _mm_cmpeq_epi8(input, _mm_set1_epi8(0x1B)));
        __m128i fault;
        if (_mm_movemask_epi8(input) == 0) {
            fault = unfinished;  // ASCII where a character wanted its next byte
            unfinished = zero;
        } else {
            signs.notAscii = true;
            const __m128i previous1 = _mm_alignr_epi8(input, previous, 15);
            const __m128i pairs = _mm_and_si128(
                _mm_and_si128(_mm_shuffle_epi8(before, HighHalves(previous1)),
                              _mm_shuffle_epi8(beforeLow, _mm_and_si128(previous1, nibble))),
                _mm_shuffle_epi8(at, HighHalves(input)));
            // A continuation after a continuation is right where it is the third or fourth
            // byte of a character: two bytes after a lead of three or four, three after one of
            // four.
            const __m128i third =
                _mm_subs_epu8(_mm_alignr_epi8(input, previous, 14), _mm_set1_epi8(0x60));
            const __m128i fourth = _mm_subs_epu8(_mm_alignr_epi8(input, previous, 13),
                                                 _mm_set1_epi8(static_cast<char>(0x70)));
            const __m128i wanted =
                _mm_and_si128(_mm_or_si128(third, fourth), _mm_set1_epi8(static_cast<char>(0x80)));
            fault = _mm_xor_si128(pairs, wanted);
            unfinished = _mm_subs_epu8(input, wantsMore);
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(fault, zero)) != 0xFFFF) return nullptr;
        previous = input;
    }
    signs.nul = signs.nul || _mm_movemask_epi8(nul) != 0;
    signs.escape = signs.escape || _mm_movemask_epi8(escape) != 0;
    // The character the blocks end in, which may go on past them: back to its lead byte.
    const unsigned char* from = block;
    while (from > begin && block - from < 3 && (from[-1] & 0xC0) == 0x80) --from;
    if (from > begin && from[-1] >= 0xC0) --from;
    return from;
}

}  // namespace

const unsigned char* CheckUtf8Blocks(const unsigned char* begin, const unsigned char* end,
                                     BlockSigns& signs) {
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    return ssse3 ? CheckWithSsse3(begin, end, signs) : begin;
}

#else

const unsigned char* CheckUtf8Blocks(const unsigned char* begin, const unsigned char*,
                                     BlockSigns&) {
    return begin;
}

#endif

}  // namespace viewer
