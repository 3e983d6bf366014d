#include "JsonRecord.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

std::string JsonNumber(double value)
{
    if (!std::isfinite(value))
        return "null";
    // The page's C library (Emscripten's musl) writes and reads a decimal
    // point in every locale, and the page never sets one.
    char text[32];
    for (const int digits : {15, 16, 17}) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        if (std::strtod(text, nullptr) == value)
            break;
    }
    return text;
}

std::string JsonWords(std::string_view value)
{
    std::string text = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\')
            text += '\\', text += c;
        else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(static_cast<unsigned char>(c)));
            text += escaped;
        } else
            text += c;
    }
    return text + "\"";
}

JsonRecord& JsonRecord::Raw(std::string_view name, std::string_view json)
{
    if (Text.size() > 1)
        Text += ',';
    Text += JsonWords(name);
    Text += ':';
    Text += json;
    return *this;
}

JsonRecord& JsonRecord::Number(std::string_view name, double value) { return Raw(name, JsonNumber(value)); }
JsonRecord& JsonRecord::Words(std::string_view name, std::string_view value) { return Raw(name, JsonWords(value)); }
JsonRecord& JsonRecord::Flag(std::string_view name, bool value) { return Raw(name, value ? "true" : "false"); }
