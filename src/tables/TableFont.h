#pragma once
// The table font: a FreeType face found through fontconfig by its family name, sized in points
// at 96 dots per inch, with its glyphs cached. FontCache keeps every face it has opened, so
// repeated tables neither search nor load again.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "tables/TableCanvas.h"
#include "tables/TextMetrics.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;
struct _FcConfig;

namespace tables {

// A rectangle [X0, X1) x [Y0, Y1) in picture coordinates.
struct ClipRect {
  int64_t X0, Y0, X1, Y1;
};

class TableFont : public TextMetrics {
 public:
  ~TableFont() override;
  TableFont(const TableFont&) = delete;
  TableFont& operator=(const TableFont&) = delete;

  int64_t TextWidth(std::u32string_view line) const override;
  int TextHeight() const override { return ascent_ + descent_; }
  int Ascent() const { return ascent_; }
  // The file the face was loaded from, for diagnostics.
  const std::string& FilePath() const { return path_; }

  // Prints one line with the top of its line box at (x, top), antialiased, inside `clip`.
  void DrawLine(Canvas& canvas, int64_t x, int64_t top, std::u32string_view line, Rgb colour,
                const ClipRect& clip) const;

 private:
  friend class FontCache;
  struct Glyph {
    bool Loaded = false;    // Advance known
    bool Rendered = false;  // Coverage known
    int Advance = 0;
    int Left = 0, Top = 0, Width = 0, Rows = 0;
    std::vector<uint8_t> Coverage;  // Width * Rows, 0-255
  };
  TableFont(FT_FaceRec_* face, std::string path);
  const Glyph& GlyphOf(char32_t c, bool rendered) const;
  int AdvanceOf(char32_t c) const;

  FT_FaceRec_* face_;
  std::string path_;
  int ascent_ = 0;
  int descent_ = 0;
  static constexpr char32_t kFastAdvances = 0x500;  // Latin, Greek, Cyrillic
  mutable std::vector<int> advances_;               // -1 until measured
  mutable std::unordered_map<char32_t, Glyph> glyphs_;
};

class FontCache {
 public:
  FontCache();
  ~FontCache();
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;

  // The face fontconfig matches for the family name (UTF-8) in regular style, at `points`
  // (clamped to 1-500). Falls back to DejaVu Sans; throws TableError when no face loads.
  const TableFont& Get(std::string_view familyUtf8, int points);

 private:
  std::unique_ptr<TableFont> Open(const std::string& family, int points);
  std::unique_ptr<TableFont> OpenFile(const std::string& path, int index, int points);

  FT_LibraryRec_* library_ = nullptr;
  _FcConfig* config_ = nullptr;
  std::map<std::pair<std::string, int>, std::unique_ptr<TableFont>> fonts_;
};

}  // namespace tables
