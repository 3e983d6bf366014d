#pragma once
// Text from a script or the command line as one-line messages show it.

#include <string>
#include <string_view>

/// A token as an error line quotes it: at most 60 characters, then "...";
/// control bytes and bytes that are not UTF-8 written as \xNN.
std::string Quoted(std::string_view token);

/// A path the user gave, as a message shows it: whole, so the user sees which
/// folder is wrong, with control bytes and bytes that are not UTF-8 as \xNN.
std::string QuotedPath(std::string_view path);

/// How a message ends that names the value an option was given: "got X",
/// or "got nothing" where there was none (or an empty one).
std::string GotText(std::string_view value);
