// Unicode character classes and the text operations built on them. Every
// property question is answered by ICU.
#pragma once

#include <string>
#include <string_view>

namespace zevo::text {

bool is_white_space(char32_t c);   // White_Space property
bool is_alphabetic(char32_t c);    // Alphabetic property
bool is_numeric(char32_t c);       // general category Nd, Nl or No

// ASCII letter or digit, "_", Alphabetic, or Nd/Nl/No (the Turkish letters are Alphabetic).
bool is_identifier_char(char32_t c);

// What may begin an identifier: ASCII letter, "_" or Alphabetic (no numeric character).
bool is_identifier_start(char32_t c);

// Removing White_Space characters from both ends, the start or the end.
std::string_view trim(std::string_view s);
std::string_view trim_start(std::string_view s);
std::string_view trim_end(std::string_view s);

// The characters before the first White_Space character: all of `s` when it
// has none, nothing when it begins with one.
std::string_view first_word(std::string_view s);

// Full, language-neutral lower-casing: "I" -> "i", "İ" -> "i" U+0307, a final
// capital sigma -> "ς". The result may be longer than the input.
std::string to_lower(std::string_view s);
// The same into `out`, whose room is kept for the next text.
void to_lower_into(std::string_view s, std::string& out);
// The same when every character of `s` is well-formed and lower-cases to one
// character of its own byte length, so that each offset in `s` is the same
// offset in `out`; false otherwise, with `out` unfinished.
bool to_lower_same_offsets(std::string_view s, std::string& out);

}  // namespace zevo::text
