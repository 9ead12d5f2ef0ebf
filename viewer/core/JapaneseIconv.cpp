// Japanese decoding (and CP932 encoding) off Windows, through glibc's iconv (which knows
// Microsoft's extensions to Shift_JIS and, unlike a lenient decoder, reports every sequence it
// rejects).
#include <iconv.h>

#include <bit>
#include <cerrno>

#include "Japanese.h"

namespace viewer {

namespace {

// Frees the conversion descriptor on every way out.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Converts `bytes` with `converter`, a piece at a time, so that checking a large file costs no
// more than the piece.
bool Convert(const Converter& converter, std::string_view bytes, std::u16string* out) {
    if (out != nullptr) out->clear();
    if (!converter.valid()) return false;
    iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);  // a fresh start
    char16_t piece[16384];
    char* in = const_cast<char*>(bytes.data());  // iconv's signature; the input is not written
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* at = reinterpret_cast<char*>(piece);
        size_t outLeft = sizeof piece;
        const size_t done = iconv(converter.get(), &in, &inLeft, &at, &outLeft);
        if (out != nullptr) {
            out->append(piece, static_cast<size_t>(at - reinterpret_cast<char*>(piece)) / 2);
        }
        // EILSEQ: not in the encoding; EINVAL: a sequence cut off at the end. E2BIG: the piece
        // is full.
        if (done == static_cast<size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
}

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

}  // namespace

// Each converter is opened once a thread: the viewer decodes a line at a time, and opening costs
// more than a line.
bool DecodeCp932(std::string_view bytes, std::u16string* out) {
    static thread_local Converter converter(kUtf16, "CP932");
    return Convert(converter, bytes, out);
}

bool DecodeEucJp(std::string_view bytes, std::u16string* out) {
    static thread_local Converter converter(kUtf16, "EUC-JP");
    return Convert(converter, bytes, out);
}

namespace {

bool Encode(const Converter& converter, std::u16string_view text, std::string* out) {
    if (!converter.valid()) return false;
    iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    out->clear();
    char piece[16384];
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
    size_t inLeft = text.size() * sizeof(char16_t);
    while (inLeft > 0) {
        char* at = piece;
        size_t outLeft = sizeof piece;
        const size_t done = iconv(converter.get(), &in, &inLeft, &at, &outLeft);
        out->append(piece, static_cast<size_t>(at - piece));
        if (done == static_cast<size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
}

}  // namespace

bool EncodeCp932(std::u16string_view text, std::string* out) {
    static thread_local Converter converter("CP932", kUtf16);
    return Encode(converter, text, out);
}

bool EncodeEucJp(std::u16string_view text, std::string* out) {
    static thread_local Converter converter("EUC-JP", kUtf16);
    return Encode(converter, text, out);
}

}  // namespace viewer
