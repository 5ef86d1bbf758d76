#include "tables/TableFont.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

#include "tables/TableError.h"

namespace tables {

namespace {

constexpr const char* kFallbackFamily = "DejaVu Sans";
constexpr const char* kFallbackFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

int PixelsUp(FT_Pos v) {
  return static_cast<int>((v + 63) >> 6);
}

}  // namespace

TableFont::TableFont(FT_FaceRec_* face, std::string path)
    : face_(face), path_(std::move(path)), advances_(kFastAdvances, -1) {
  ascent_ = std::max(0, PixelsUp(face_->size->metrics.ascender));
  descent_ = std::max(0, PixelsUp(-face_->size->metrics.descender));
  if (ascent_ + descent_ == 0) ascent_ = PixelsUp(face_->size->metrics.height);
}

TableFont::~TableFont() {
  FT_Done_Face(face_);
}

const TableFont::Glyph& TableFont::GlyphOf(char32_t c, bool rendered) const {
  Glyph& g = glyphs_[c];
  if (g.Rendered || (!rendered && g.Loaded)) return g;
  const FT_UInt index = FT_Get_Char_Index(face_, c);
  g.Loaded = true;
  if (FT_Load_Glyph(face_, index, FT_LOAD_DEFAULT) != 0) {
    g.Rendered = true;
    return g;
  }
  FT_GlyphSlot slot = face_->glyph;
  g.Advance = static_cast<int>((slot->advance.x + 32) >> 6);
  if (!rendered) return g;
  g.Rendered = true;
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return g;
  const FT_Bitmap& bm = slot->bitmap;
  g.Left = slot->bitmap_left;
  g.Top = slot->bitmap_top;
  g.Width = static_cast<int>(bm.width);
  g.Rows = static_cast<int>(bm.rows);
  g.Coverage.assign(static_cast<size_t>(g.Width) * g.Rows, 0);
  for (int y = 0; y < g.Rows; ++y) {
    const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
    for (int x = 0; x < g.Width; ++x) {
      uint8_t v;
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
        v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY && bm.num_grays > 1) {
        v = static_cast<uint8_t>(row[x] * 255 / (bm.num_grays - 1));
      } else {
        v = 0;
      }
      g.Coverage[static_cast<size_t>(y) * g.Width + x] = v;
    }
  }
  return g;
}

int TableFont::AdvanceOf(char32_t c) const {
  if (c < 32) return 0;
  if (c < kFastAdvances) {
    int& a = advances_[c];
    if (a < 0) a = GlyphOf(c, false).Advance;
    return a;
  }
  return GlyphOf(c, false).Advance;
}

int64_t TableFont::TextWidth(std::u32string_view line) const {
  int64_t width = 0;
  for (char32_t c : line) width += AdvanceOf(c);
  return width;
}

void TableFont::DrawLine(Canvas& canvas, int64_t x, int64_t top, std::u32string_view line,
                         Rgb colour, const ClipRect& clip) const {
  const int64_t y0 = std::max({clip.Y0, top, canvas.Top()});
  const int64_t y1 = std::min({clip.Y1, top + TextHeight(), canvas.Bottom()});
  if (y0 >= y1) return;
  const int64_t baseline = top + ascent_;
  int64_t pen = x;
  for (char32_t c : line) {
    if (c < 32) continue;
    if (pen >= clip.X1) break;
    const Glyph& g = GlyphOf(c, true);
    const int64_t gx = pen + g.Left;
    const int64_t gy = baseline - g.Top;
    if (gx + g.Width > clip.X0) {
      for (int row = 0; row < g.Rows; ++row) {
        const int64_t py = gy + row;
        if (py < y0 || py >= y1) continue;
        const uint8_t* cov = &g.Coverage[static_cast<size_t>(row) * g.Width];
        for (int col = 0; col < g.Width; ++col) {
          const int64_t px = gx + col;
          if (px < clip.X0 || px >= clip.X1) continue;
          canvas.Blend(px, py, colour, cov[col]);
        }
      }
    }
    pen += g.Advance;
  }
}

FontCache::FontCache() {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) throw TableError("cannot start the font engine");
  library_ = library;
  config_ = FcInitLoadConfigAndFonts();
}

FontCache::~FontCache() {
  fonts_.clear();
  if (config_) FcConfigDestroy(config_);
  FT_Done_FreeType(library_);
}

const TableFont& FontCache::Get(std::string_view familyUtf8, int points) {
  points = std::clamp(points, 1, 500);
  auto key = std::make_pair(std::string(familyUtf8), points);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return *it->second;
  std::unique_ptr<TableFont> font = Open(key.first, points);
  if (!font) font = Open(kFallbackFamily, points);
  if (!font) font = OpenFile(kFallbackFile, 0, points);
  if (!font) throw TableError("no font to draw the table with");
  return *fonts_.emplace(std::move(key), std::move(font)).first->second;
}

std::unique_ptr<TableFont> FontCache::Open(const std::string& family, int points) {
  if (!config_) return nullptr;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return nullptr;
  if (!family.empty()) {
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  }
  FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config_, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config_, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return nullptr;
  std::unique_ptr<TableFont> font;
  FcChar8* file = nullptr;
  int index = 0;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    font = OpenFile(reinterpret_cast<const char*>(file), index, points);
  }
  FcPatternDestroy(match);
  return font;
}

std::unique_ptr<TableFont> FontCache::OpenFile(const std::string& path, int index, int points) {
  FT_Face face = nullptr;
  if (FT_New_Face(library_, path.c_str(), index, &face) != 0) return nullptr;
  if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 ||
      FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(points) * 64, 96, 96) != 0) {
    FT_Done_Face(face);
    return nullptr;
  }
  return std::unique_ptr<TableFont>(new TableFont(face, path));
}

}  // namespace tables
