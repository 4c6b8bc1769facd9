#include "base/codepage.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace base {

CodePage CodePage::SingleByte() { return CodePage(1252, 1); }

CodePage CodePage::ShiftJis() {
  CodePage cp(932, 2);
  cp.MarkLeadBytes(0x81, 0x9F);
  cp.MarkLeadBytes(0xE0, 0xFC);
  return cp;
}

CodePage CodePage::Utf8() { return CodePage(65001, 4); }

#ifdef _WIN32
CodePage CodePage::Ansi() {
  const UINT acp = GetACP();
  CPINFO info{};
  if (!GetCPInfo(CP_ACP, &info)) return acp == 65001 ? Utf8() : SingleByte();
  if (acp == 65001) return Utf8();
  CodePage cp(acp, info.MaxCharSize);
  // LeadByte holds up to five ranges, ended by a pair of zeros.
  for (std::size_t i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
    cp.MarkLeadBytes(info.LeadByte[i], info.LeadByte[i + 1]);
  return cp;
}

std::optional<std::string> CodePage::ExactBytes(std::wstring_view text) const {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  // UTF-8 takes neither the best-fit flag nor the used-default flag; it refuses lone surrogates.
  const bool utf8 = id_ == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
  const int size = WideCharToMultiByte(id_, flags, text.data(), length, nullptr, 0, nullptr, usedDefaultOut);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(id_, flags, text.data(), length, bytes.data(), size, nullptr, usedDefaultOut) != size ||
      usedDefault)
    return std::nullopt;
  std::wstring back(text.size(), L'\0');
  const int backLength = MultiByteToWideChar(id_, MB_ERR_INVALID_CHARS, bytes.data(), size, back.data(), length);
  if (backLength != length || back != text) return std::nullopt;
  return bytes;
}
#endif

void CodePage::MarkLeadBytes(unsigned char first, unsigned char last) {
  for (unsigned b = first; b <= last; ++b) lead_[b] = true;
}

std::size_t CodePage::CharLength(std::string_view text, std::size_t pos) const {
  const auto byte = static_cast<unsigned char>(text[pos]);
  std::size_t length = 1;
  if (id_ == 65001) {
    if (byte >= 0xF0)
      length = 4;
    else if (byte >= 0xE0)
      length = 3;
    else if (byte >= 0xC0)
      length = 2;
  } else if (lead_[byte]) {
    length = 2;
  }
  return pos + length <= text.size() ? length : text.size() - pos;
}

std::size_t CodePage::Utf16Length(std::string_view text) const {
  std::size_t units = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = CharLength(text, pos);
    units += (id_ == 65001 && length == 4) ? 2 : 1;  // a UTF-8 four-byte character is a surrogate pair
    pos += length;
  }
  return units;
}

}  // namespace base
