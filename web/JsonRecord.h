#pragma once
// Named records for the page's script: a JSON object built field by field,
// numbers as the shortest text that reads back to them, in every locale.

#include <string>
#include <string_view>

struct JsonRecord {
    std::string Text = "{";

    JsonRecord& Number(std::string_view name, double value);
    JsonRecord& Words(std::string_view name, std::string_view value);
    JsonRecord& Flag(std::string_view name, bool value);
    /// A field whose value is JSON already (a record, a list).
    JsonRecord& Raw(std::string_view name, std::string_view json);
    /// The record, closed.
    std::string Done() const { return Text + "}"; }
};

/// A number as JSON: the shortest text that reads back to it; null when not finite.
std::string JsonNumber(double value);

/// A text as a JSON string, quoted and escaped.
std::string JsonWords(std::string_view value);
