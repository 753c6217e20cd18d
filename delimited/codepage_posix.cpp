#include "delimited/codepage.h"

#include <iconv.h>

#include <cerrno>

namespace korvanta::delimited {

// UTF-8 takes at most 1.5 times the bytes of UTF-16 or GB18030, so the
// output is made once at that size.
Converted EncodingToUtf8(std::string_view bytes, const char* encoding)
{
    struct Closer {
        iconv_t cd;
        ~Closer() { iconv_close(cd); }
    };
    Converted converted;
    const iconv_t cd = iconv_open("UTF-8", encoding);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        converted.end = ConversionEnd::NoConverter;
        return converted;
    }
    const Closer closer{cd};
    std::string& out = converted.text;
    out.assign(bytes.size() + bytes.size() / 2 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::size_t written = 0;
    while (inLeft > 0) {
        char* to = out.data() + written;
        std::size_t outLeft = out.size() - written;
        const std::size_t done = iconv(cd, &in, &inLeft, &to, &outLeft);
        written = out.size() - outLeft;
        if (done != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        converted.end = errno == EINVAL ? ConversionEnd::CutCharacter : ConversionEnd::BadCharacter;
        break;
    }
    out.resize(written);
    return converted;
}

} // namespace korvanta::delimited
