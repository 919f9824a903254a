// UTF-8, the encoding of every text the program holds.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// The characters of `utf8`; a byte that does not start a valid UTF-8 sequence counts as the
// Latin-1 character of its code.
std::u32string DecodeUtf8(std::string_view utf8);
void AppendUtf8(std::string& out, char32_t c);

}  // namespace quorvel
