// UTF-16 text (wchar_t: UTF-16 on Windows, UTF-32 elsewhere) and the byte strings of a code
// page. UTF-8 is the program's own text (what it shows). Narrow turns UTF-16 into UTF-8 on every
// build, with the same result, so texts made of paths can be tested anywhere; every other
// conversion goes through the system's tables on Windows.
#pragma once

#include <string>
#include <string_view>

namespace base {

inline constexpr unsigned kUtf8 = 65001;  // CP_UTF8

// A lone surrogate becomes U+FFFD in UTF-8. Another code page (Windows only; elsewhere
// std::invalid_argument) writes its default character for what it cannot hold.
std::string Narrow(std::wstring_view text, unsigned codePage = kUtf8);
#ifdef _WIN32
// A malformed sequence becomes U+FFFD.
std::wstring Widen(std::string_view bytes, unsigned codePage = kUtf8);
#endif

}  // namespace base
