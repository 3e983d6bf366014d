#include "Quoted.h"

namespace {

/// The length of the UTF-8 sequence at the start of `text`, or 0 when it is not one.
std::size_t Utf8Length(std::string_view text)
{
    const auto byte = [&](std::size_t n) { return static_cast<unsigned char>(text[n]); };
    const unsigned char lead = byte(0);
    std::size_t length = lead < 0x80                    ? 1
                         : lead >= 0xC2 && lead <= 0xDF ? 2
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                        : 0;
    if (length == 0 || length > text.size())
        return 0;
    for (std::size_t n = 1; n < length; ++n)
        if ((byte(n) & 0xC0) != 0x80)
            return 0;
    // Overlong forms, surrogates and values past U+10FFFF.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) > 0x9F) || (lead == 0xF0 && byte(1) < 0x90) ||
        (lead == 0xF4 && byte(1) > 0x8F))
        return 0;
    return length;
}

/// `token` with every byte that is not printable UTF-8 as \xNN, cut to
/// `most` characters and "..." when longer.
std::string Escaped(std::string_view token, std::size_t most)
{
    std::string quoted;
    std::size_t characters = 0;
    for (std::size_t at = 0; at < token.size(); ++characters) {
        if (characters == most)
            return quoted + "...";
        const unsigned char c = static_cast<unsigned char>(token[at]);
        const std::size_t length = Utf8Length(token.substr(at));
        if (length == 0 || c < 0x20 || c == 0x7F) {
            static constexpr char Hex[] = "0123456789abcdef";
            quoted += {'\\', 'x', Hex[c >> 4], Hex[c & 15]};
            ++at;
        } else {
            quoted.append(token.substr(at, length));
            at += length;
        }
    }
    return quoted;
}

} // namespace

std::string Quoted(std::string_view token) { return Escaped(token, 60); }

std::string QuotedPath(std::string_view path) { return Escaped(path, std::string_view::npos); }

std::string GotText(std::string_view value) { return value.empty() ? "got nothing" : "got " + Quoted(value); }
