#include "FloatText.h"

#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

/// A decimal read as the "C" locale reads it, whatever locale the process is
/// in (Qt sets the user's): the script language is not localised.
float ReadDecimal(const char* text)
{
    static const locale_t C = ::newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return ::strtof_l(text, nullptr, C);
}

/// Whether `text` (NUL-terminated, as printf wrote it) reads back to `value`.
bool ReadsBack(const char* text, float value) { return ReadDecimal(text) == value; }

/// The significant digits, and their decimal exponent, of a decimal of
/// `precision` + 1 digits that reads back to `value` (positive and finite):
/// value ~ d.ddd x 10^exponent; empty where none does. printf rounds correctly;
/// where the float's rounding interval is lopsided (at a power of two) the
/// nearest candidate may miss it while the one on the other side hits it, so
/// that one is tried too.
std::string DigitsThatReadBack(float value, int precision, int& exponent)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*e", precision, double(value));
    const char* e = std::strchr(text, 'e');
    exponent = std::atoi(e + 1);
    std::string digits; // whatever the locale's decimal point, only the digits are taken
    for (const char* c = text; c < e; ++c)
        if (*c >= '0' && *c <= '9')
            digits += *c;
    char nearest[48];
    std::snprintf(nearest, sizeof nearest, "%se%d", digits.c_str(), exponent - precision);
    if (ReadsBack(nearest, value))
        return digits;
    // The neighbour on the far side of the value from the nearest candidate.
    const long long nearestDigits = std::atoll(digits.c_str());
    const double scale = std::pow(10.0, exponent - precision);
    const long long other = double(nearestDigits) * scale < double(value) ? nearestDigits + 1 : nearestDigits - 1;
    const std::string otherDigits = std::to_string(other);
    if (otherDigits.size() != digits.size())
        return {}; // a carry or a borrow changed the length: another length's candidate
    char candidate[48];
    std::snprintf(candidate, sizeof candidate, "%se%d", otherDigits.c_str(), exponent - precision);
    return ReadsBack(candidate, value) ? otherDigits : std::string();
}

/// The significant digits and the decimal exponent of the shortest decimal
/// that reads back to `value` (positive and finite). A length that reads back
/// is followed by longer ones that do, so the shortest is found by halving the
/// lengths (a few reads, not up to nine: the web build reads in software).
std::string ShortestDigits(float value, int& exponent)
{
    int shortest = 8; // nine digits always read back
    std::string digits = DigitsThatReadBack(value, shortest, exponent);
    for (int low = 0; low < shortest;) {
        const int middle = (low + shortest) / 2;
        int middleExponent = 0;
        std::string middleDigits = DigitsThatReadBack(value, middle, middleExponent);
        if (middleDigits.empty()) {
            low = middle + 1;
        } else {
            shortest = middle, digits = std::move(middleDigits), exponent = middleExponent;
        }
    }
    return digits;
}

} // namespace

void AppendFloatPortably(std::string& out, float value)
{
    if (std::signbit(value))
        out += '-';
    value = std::fabs(value);
    if (value == 0) {
        out += '0';
        return;
    }
    int exponent = 0;
    std::string digits = ShortestDigits(value, exponent);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int count = int(digits.size());

    std::string scientific = digits.substr(0, 1);
    if (count > 1)
        scientific.append(".").append(digits, 1);
    char power[16];
    std::snprintf(power, sizeof power, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    scientific += power;

    std::string fixed;
    if (exponent >= count - 1) {
        // A whole number: of the fixed texts that read back, the exact value is
        // the closest (6528615424, not 6528615400), as to_chars picks it.
        char whole[48];
        std::snprintf(whole, sizeof whole, "%.0f", double(value));
        fixed = whole;
    } else if (exponent >= 0) {
        fixed = digits.substr(0, std::size_t(exponent + 1)) + "." + digits.substr(std::size_t(exponent + 1));
    } else {
        fixed = "0." + std::string(std::size_t(-exponent - 1), '0') + digits;
    }
    out += fixed.size() <= scientific.size() ? fixed : scientific;
}

void AppendFloat(std::string& out, float value)
{
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
#else
    AppendFloatPortably(out, value);
#endif
}

void AppendFixed(std::string& out, double value, int digits)
{
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
    char text[400]; // any double, fixed
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, digits);
    out.append(text, result.ptr);
#else
    // No floating to_chars here (the web build), whose C library knows the "C" locale alone.
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    out += text;
#endif
}

bool ParseFiniteFloat(std::string_view text, float& value)
{
    // The syntax first, since strtof would take more (a '+', hexadecimal,
    // "inf", leading blanks); then strtof in the "C" locale, which rounds once.
    std::size_t at = text.substr(0, 1) == "-" ? 1 : 0;
    const auto digits = [&] {
        const std::size_t from = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9')
            ++at;
        return at - from;
    };
    std::size_t mantissa = digits();
    if (at < text.size() && text[at] == '.') {
        ++at;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        if (digits() == 0)
            return false;
    }
    if (at != text.size())
        return false;
    const std::string terminated(text);
    value = ReadDecimal(terminated.c_str());
    return std::isfinite(value);
}

std::string FloatText(float value)
{
    std::string text;
    AppendFloat(text, value);
    return text;
}
