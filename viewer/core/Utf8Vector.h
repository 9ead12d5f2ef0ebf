// Strict UTF-8 checked sixteen bytes at a step with the processor's vector instructions, where
// it has them (SSSE3 on x86): the check of a whole file's encoding, text outside ASCII included.
#pragma once

namespace viewer {

// Checks the bytes [begin, end) block by block and returns where a plain check must go on: at
// the start of the character the blocks end in (its bytes may run past them), or at `begin`
// where the processor has no vector instructions for it; nullptr where the bytes are not UTF-8
// (an overlong form, a surrogate, a code point past U+10FFFF, a byte out of place). `ascii`
// stays true only while every byte checked is ASCII.
const unsigned char* CheckUtf8Blocks(const unsigned char* begin, const unsigned char* end,
                                     bool& ascii);

}  // namespace viewer
