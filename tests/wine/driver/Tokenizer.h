// Splits one driver command line into words: blanks separate words, double quotes group a word
// with blanks in it, and inside quotes \" \\ \n \t stand for themselves. A line whose first word
// starts with '#' is a comment.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zdrv {

// False, with error set, on an unterminated quote or a dangling backslash.
bool Tokenize(std::wstring_view line, std::vector<std::wstring>& words, std::wstring& error);

// Sets error to why and gives back false, for a failure's one-line return.
inline bool Fail(std::wstring& error, std::wstring why) {
  error = std::move(why);
  return false;
}

// The reverse for output: quotes a value and escapes what Tokenize would read back as itself.
std::wstring Quote(std::wstring_view value);

}  // namespace zdrv
