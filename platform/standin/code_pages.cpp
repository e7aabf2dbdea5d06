// The stand-in's ANSI code pages: 1252 and the double-byte pages 932, 936,
// 949 and 950, with their lead-byte ranges, conversion from UTF-16 and
// upper-casing. The conversion uses the C library's iconv.
#include <iconv.h>

#include <atomic>
#include <clocale>
#include <cwctype>
#include <locale.h>
#include <map>
#include <stdexcept>
#include <string>

#include "platform/platform.h"
#include "platform/standin/control.h"

namespace quorvel::standin {

namespace {

std::atomic<unsigned> g_codePage{1252};

const char* IconvName(unsigned codePage)
{
    switch (codePage) {
    case 1252: return "CP1252";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "BIG5";
    default: throw std::invalid_argument("unsupported code page");
    }
}

// One conversion descriptor per thread and direction, since iconv keeps
// state; closed when the thread ends.
class Converters {
public:
    ~Converters()
    {
        for (const auto& entry : converters_)
            iconv_close(entry.second);
    }

    iconv_t Get(const char* to, const char* from)
    {
        const std::string key = std::string(to) + "<" + from;
        auto found = converters_.find(key);
        if (found == converters_.end()) {
            const iconv_t opened = iconv_open(to, from);
            if (opened == reinterpret_cast<iconv_t>(-1))
                throw std::runtime_error("iconv cannot convert " + key);
            found = converters_.emplace(key, opened).first;
        }
        return found->second;
    }

private:
    std::map<std::string, iconv_t> converters_;
};

iconv_t Converter(const char* to, const char* from)
{
    thread_local Converters converters;
    return converters.Get(to, from);
}

// Converts a whole sequence, or returns false when a character has no form.
bool Convert(const char* to, const char* from, const std::string& in, std::string* out)
{
    iconv_t converter = Converter(to, from);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    std::string result(in.size() * 4 + 8, '\0');
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char* outPtr = result.data();
    std::size_t outLeft = result.size();
    if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
        return false;
    result.resize(result.size() - outLeft);
    *out = result;
    return true;
}

std::string Utf16Bytes(char16_t unit)
{
    return std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
}

}  // namespace

void SetCodePage(unsigned codePage)
{
    IconvName(codePage);  // rejects pages the stand-in does not know
    g_codePage = codePage;
}

unsigned CodePage() { return g_codePage; }

std::string ConvertToCodePage(const std::u16string& text)
{
    // Character by character, so that one the code page lacks becomes "?",
    // as the system's conversion makes it.
    const char* target = IconvName(g_codePage);
    std::string out;
    for (char16_t unit : text) {
        std::string converted;
        out += Convert(target, "UTF-16LE", Utf16Bytes(unit), &converted) ? converted : "?";
    }
    return out;
}

}  // namespace quorvel::standin

namespace quorvel::platform {

bool IsLeadByte(unsigned char byte)
{
    switch (standin::CodePage()) {
    case 932: return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950: return byte >= 0x81 && byte <= 0xFE;
    default: return false;
    }
}

bool UpperCaseCharacters(const char* text, std::size_t length, char* upper)
{
    // Through Unicode: decode, map each code point with the C library's case
    // table, encode.
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    const char* codePage = standin::IconvName(standin::CodePage());
    std::string wide;
    if (!standin::Convert("UTF-32LE", codePage, std::string(text, length), &wide))
        return false;
    for (std::size_t i = 0; i + 4 <= wide.size(); i += 4) {
        char32_t point = 0;
        for (int byte = 3; byte >= 0; --byte)
            point = point << 8 | static_cast<unsigned char>(wide[i + byte]);
        point = static_cast<char32_t>(towupper_l(static_cast<wint_t>(point), unicode));
        for (int byte = 0; byte < 4; ++byte)
            wide[i + byte] = static_cast<char>((point >> (8 * byte)) & 0xFF);
    }
    std::string converted;
    if (!standin::Convert(codePage, "UTF-32LE", wide, &converted) || converted.size() != length)
        return false;
    converted.copy(upper, length);
    return true;
}

}  // namespace quorvel::platform
