#include "Cp932.h"

#include <QSysInfo>
#include <cerrno>
#include <iconv.h>

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

}  // namespace

std::optional<QString> DecodeCp932(QByteArrayView bytes) {
    const char* utf16 = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";
    Converter converter(utf16, "CP932");
    if (!converter.valid()) return std::nullopt;

    // Every CP932 character, one byte or two, is a single UTF-16 unit, so the output never
    // needs more units than the input has bytes.
    QString text(bytes.size(), Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.data());  // iconv's signature; the input is not written
    size_t inLeft = static_cast<size_t>(bytes.size());
    char* out = reinterpret_cast<char*>(text.data());
    size_t outLeft = static_cast<size_t>(text.size()) * sizeof(char16_t);
    while (inLeft > 0) {
        if (iconv(converter.get(), &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1)) {
            continue;
        }
        // EILSEQ: not CP932; EINVAL: a lead byte cut off at the end; E2BIG cannot happen.
        return std::nullopt;
    }
    const auto written = static_cast<qsizetype>(out - reinterpret_cast<char*>(text.data()));
    text.truncate(written / static_cast<qsizetype>(sizeof(char16_t)));
    return text;
}

}  // namespace viewer
