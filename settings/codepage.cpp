#include "settings/codepage.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace settings {

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
#endif

void CodePage::MarkLeadBytes(unsigned char first, unsigned char last) {
  for (unsigned b = first; b <= last; ++b) lead_[b] = true;
}

std::size_t CodePage::CharLength(std::string_view text, std::size_t pos) const {
  const auto byte = static_cast<unsigned char>(text[pos]);
  std::size_t length = 1;
  if (id_ == 65001) {
    if (byte >= 0xF0) length = 4;
    else if (byte >= 0xE0) length = 3;
    else if (byte >= 0xC0) length = 2;
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

}  // namespace settings
