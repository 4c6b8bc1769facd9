// The system's ANSI (multibyte) code page, in which the registry's names and strings and the
// handler's server path are written: which bytes lead a double-byte character, the largest
// character size, how many UTF-16 units a byte string takes, and (Windows) a text's exact bytes.
// A value type, so code page 932 can be tested on any build.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace base {

class CodePage {
public:
  static CodePage SingleByte();  // 1252 and the like
  static CodePage ShiftJis();    // 932
  static CodePage Utf8();        // 65001
#ifdef _WIN32
  static CodePage Ansi();  // the running system's CP_ACP
#endif

  unsigned Id() const { return id_; }
  unsigned MaxCharSize() const { return maxCharSize_; }
  bool IsLeadByte(unsigned char byte) const { return lead_[byte]; }

  // Length of the next character at text[pos] in bytes (at least 1, never past the end).
  std::size_t CharLength(std::string_view text, std::size_t pos) const;
  // Number of UTF-16 units the text takes once converted.
  std::size_t Utf16Length(std::string_view text) const;
#ifdef _WIN32
  // The text in this code page when every character has an exact form in it: no best-fit
  // character, no default character, and the bytes convert back to the same text. nullopt
  // otherwise.
  std::optional<std::string> ExactBytes(std::wstring_view text) const;
#endif

private:
  CodePage(unsigned id, unsigned maxCharSize) : id_(id), maxCharSize_(maxCharSize) {}
  void MarkLeadBytes(unsigned char first, unsigned char last);

  unsigned id_;
  unsigned maxCharSize_;
  std::array<bool, 256> lead_{};
};

}  // namespace base
