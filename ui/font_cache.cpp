#include "ui/font_cache.h"

#include <stdexcept>
#include <string>

namespace ui {

HFONT FontCache::Get(const FontSpec& def) {
  for (const auto& [known, handle] : fonts_)
    if (known == def) return handle.get();
  LOGFONTW lf{};
  lf.lfHeight = -def.height;  // character height, internal leading excluded
  lf.lfWeight = def.bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = static_cast<BYTE>(def.charset);
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  const std::wstring face = Widen(def.face);
  face.copy(lf.lfFaceName, LF_FACESIZE - 1);
  FontHandle font(CreateFontIndirectW(&lf));
  if (!font) throw std::runtime_error("cannot create font " + def.face);
  HFONT result = font.get();
  fonts_.emplace_back(def, std::move(font));
  return result;
}

}  // namespace ui
