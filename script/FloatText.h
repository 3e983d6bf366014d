#pragma once
// Floats as text, the same on every C++ library: the shortest decimal that
// reads back to the same 32-bit float, and decimals read back rounded once.

#include <string>
#include <string_view>

/// Appends the shortest decimal that reads back to `value`, written as
/// std::to_chars writes it: fixed or scientific, whichever is shorter.
void AppendFloat(std::string& out, float value);

/// `value` with `digits` digits after the point (as printf's "%.2f" writes
/// it, correctly rounded), the same in every locale: a library's caller may
/// have set one with a decimal comma.
void AppendFixed(std::string& out, double value, int digits);

/// The same text as a string of its own.
std::string FloatText(float value);

/// The same text made without std::to_chars, for C++ libraries that have no
/// floating-point to_chars (the web build's); `AppendFloat` uses it there.
void AppendFloatPortably(std::string& out, float value);

/// Reads a decimal as std::from_chars would accept it (an optional '-',
/// digits with an optional point, an optional exponent), rounded once to the
/// nearest float; one too small for a float gives a subnormal or zero.
/// False when the text is not such a decimal or the value is not finite.
bool ParseFiniteFloat(std::string_view text, float& value);
