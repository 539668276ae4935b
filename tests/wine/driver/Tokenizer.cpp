#include "Tokenizer.h"

namespace zdrv {

bool Tokenize(std::wstring_view line, std::vector<std::wstring>& words, std::wstring& error) {
  words.clear();
  size_t i = 0;
  const size_t n = line.size();
  while (true) {
    while (i < n && (line[i] == L' ' || line[i] == L'\t' || line[i] == L'\r' || line[i] == L'\n')) ++i;
    if (i >= n) break;
    if (words.empty() && line[i] == L'#') break;
    std::wstring word;
    bool quoted = false;
    while (i < n) {
      const wchar_t c = line[i];
      if (!quoted && (c == L' ' || c == L'\t' || c == L'\r' || c == L'\n')) break;
      if (c == L'"') {
        quoted = !quoted;
        ++i;
        continue;
      }
      if (c == L'\\' && quoted) {
        if (i + 1 >= n) return Fail(error, L"backslash at the end of the line");
        const wchar_t e = line[i + 1];
        word += e == L'n' ? L'\n' : e == L't' ? L'\t' : e;
        i += 2;
        continue;
      }
      word += c;
      ++i;
    }
    if (quoted) return Fail(error, L"unterminated quote");
    words.push_back(std::move(word));
  }
  return true;
}

std::wstring Quote(std::wstring_view value) {
  std::wstring out = L"\"";
  for (wchar_t c : value) {
    switch (c) {
      case L'"': out += L"\\\""; break;
      case L'\\': out += L"\\\\"; break;
      case L'\n': out += L"\\n"; break;
      case L'\t': out += L"\\t"; break;
      case L'\r': out += L"\\r"; break;
      default: out += c;
    }
  }
  out += L'"';
  return out;
}

}  // namespace zdrv
