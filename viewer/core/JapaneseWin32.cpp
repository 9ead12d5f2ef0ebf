// Japanese decoding (and CP932 encoding) on Windows, through the system's own code page tables
// (932: CP932, 20932: EUC-JP), which reject every sequence they do not hold when asked to.
#include <windows.h>

#include <algorithm>
#include <climits>

#include "Japanese.h"

namespace viewer {

namespace {

bool DecodeCodePage(UINT codePage, std::string_view bytes, std::u16string* out) {
    if (out != nullptr) out->clear();
    if (bytes.empty()) return true;
    if (bytes.size() > INT_MAX) return false;
    const int size = static_cast<int>(bytes.size());
    const int length =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) return false;
    if (out == nullptr) return true;
    out->resize(static_cast<std::size_t>(length));
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size,
                        reinterpret_cast<wchar_t*>(out->data()), length);
    return true;
}

}  // namespace

bool DecodeCp932(std::string_view bytes, std::u16string* out) {
    return DecodeCodePage(932, bytes, out);
}

bool DecodeEucJp(std::string_view bytes, std::u16string* out) {
    // Code page 20932 has no JIS X 0212: it would take 0x8F for the control character U+008F and
    // read the two bytes after it as another character. Those, and the bytes no EUC-JP character
    // starts with, are refused here, so that they show as the bytes they are, as with iconv.
    const bool foreign = std::any_of(bytes.begin(), bytes.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x80 && byte != 0x8E && (byte < 0xA1 || byte == 0xFF);
    });
    if (foreign) {
        if (out != nullptr) out->clear();
        return false;
    }
    return DecodeCodePage(20932, bytes, out);
}

namespace {

bool EncodeCodePage(UINT codePage, std::u16string_view text, std::string* out) {
    out->clear();
    if (text.empty()) return true;
    if (text.size() > INT_MAX / 2) return false;
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    BOOL replaced = FALSE;
    const int length = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0,
                                           nullptr, &replaced);
    if (length <= 0 || replaced) return false;
    out->resize(static_cast<std::size_t>(length));
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, size, out->data(), length, nullptr,
                        nullptr);
    return true;
}

}  // namespace

bool EncodeCp932(std::u16string_view text, std::string* out) {
    return EncodeCodePage(932, text, out);
}

bool EncodeEucJp(std::u16string_view text, std::string* out) {
    return EncodeCodePage(20932, text, out);
}

}  // namespace viewer
