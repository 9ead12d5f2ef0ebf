#include "Cp932Check.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <string>

#include "AsciiRun.h"
#include "Japanese.h"

namespace viewer {

namespace {

enum class Start : std::uint8_t { None, Single, Lead };

struct Cp932Table {
    std::array<Start, 256> starts{};
    std::bitset<65536> pairs;  // lead << 8 | trail, for the pairs that are a character
    bool asciiAlone = true;    // every byte under 0x80 is a character of its own
};

Cp932Table Make() {
    Cp932Table table;
    std::string one(1, '\0'), two(2, '\0');
    for (int byte = 0; byte < 256; ++byte) {
        one[0] = static_cast<char>(byte);
        if (DecodeCp932(one, nullptr)) {
            table.starts[byte] = Start::Single;
            continue;
        }
        two[0] = static_cast<char>(byte);
        for (int trail = 0; trail < 256; ++trail) {
            two[1] = static_cast<char>(trail);
            if (DecodeCp932(two, nullptr)) {
                table.pairs.set(static_cast<std::size_t>(byte << 8 | trail));
                table.starts[byte] = Start::Lead;
            }
        }
        if (byte < 0x80) table.asciiAlone = false;
    }
    return table;
}

}  // namespace

bool IsCp932(std::string_view bytes) {
    static const Cp932Table table = Make();
    // Not so on any system known; the decoder then answers itself.
    if (!table.asciiAlone) return DecodeCp932(bytes, nullptr);
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = at + bytes.size();
    while ((at = SkipAscii(at, end)) != end) {
        // A run of characters outside ASCII; a pair's second byte may be ASCII.
        do {
            switch (table.starts[*at]) {
                case Start::Single:
                    ++at;
                    break;
                case Start::Lead:
                    if (end - at < 2 || !table.pairs[static_cast<std::size_t>(at[0] << 8 | at[1])])
                        return false;
                    at += 2;
                    break;
                case Start::None:
                    return false;
            }
        } while (at != end && *at >= 0x80);
    }
    return true;
}

}  // namespace viewer
