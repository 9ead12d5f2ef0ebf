// Strict UTF-8 checked sixteen bytes at a step with the processor's vector instructions, where
// it has them (SSSE3 on x86): the check of a whole file's encoding, text outside ASCII included.
#pragma once

namespace viewer {

// What the bytes checked hold besides characters: a byte outside ASCII, a NUL byte (UTF-16 or
// binary data), an escape byte (ISO-2022-JP).
struct BlockSigns {
    bool notAscii = false;
    bool nul = false;
    bool escape = false;
};

// Checks the bytes [begin, end) block by block and returns where a plain check must go on: at
// the start of the character the blocks end in (its bytes may run past them), or at `begin`
// where the processor has no vector instructions for it; nullptr where the bytes are not UTF-8
// (an overlong form, a surrogate, a code point past U+10FFFF, a byte out of place). `signs`
// tell what the bytes checked hold.
const unsigned char* CheckUtf8Blocks(const unsigned char* begin, const unsigned char* end,
                                     BlockSigns& signs);

}  // namespace viewer
