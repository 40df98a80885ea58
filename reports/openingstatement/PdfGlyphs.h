#pragma once

#include <cairo.h>
#include <pango/pangocairo.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace ledgerlift {

struct GObjectFree {
    void operator()(void* object) const { g_object_unref(object); }
};

// One glyph of a text, as pango shapes its character alone.
struct ShapedGlyph {
    unsigned long index = 0;
    double advance = 0;  // points
    PangoFont* font = nullptr;
    int bytes = 0;  // of its character in UTF-8
};

// The glyphs of one font's characters, each shaped once by pango (through a
// layout of the font, so that a character the font lacks comes from the
// font pango falls back to) and kept. A statement's tens of thousands of
// cells are mostly codes, names and figures in Latin letters, digits and
// punctuation, whose glyphs do not change with their neighbours: they are
// set from the kept glyphs, which costs a lookup a character instead of a
// layout a cell. Any other character (a script that joins or reorders its
// letters, a combining mark, one no font has) is not kept, and its text is
// left to a layout of its own. Kerning between letters is not applied.
class GlyphFont {
  public:
    GlyphFont(PangoContext* context, const PangoFontDescription* font);

    // The glyphs of text and their width, when every character is kept;
    // false otherwise.
    bool Shape(const std::string& text, std::vector<ShapedGlyph>& glyphs, double& width);
    // Shortens shaped text (and its glyphs) to fit width with "…" at its end.
    void Ellipsize(std::string& text, std::vector<ShapedGlyph>& glyphs, double& width, double fit);
    // From the top of a line to its baseline.
    double Baseline() const { return baseline_; }

  private:
    struct Kept {
        bool simple = false;
        ShapedGlyph glyph;
    };
    const Kept& Lookup(char32_t code, const std::string& text, std::size_t at, int bytes);

    std::unique_ptr<PangoLayout, GObjectFree> layout_;
    std::vector<std::unique_ptr<PangoFont, GObjectFree>> fonts_;  // held for the glyphs
    std::unordered_map<char32_t, Kept> kept_;
    double baseline_ = 0;
};

// The glyphs set on one page, drawn together: one call per font for the
// whole page, with the characters they stand for, so that the PDF's text
// can be searched and copied.
class PageGlyphs {
  public:
    void Add(const std::string& text, const std::vector<ShapedGlyph>& glyphs, double x,
             double baseline);
    // Draws what was added since the last Draw.
    void Draw(cairo_t* cr);

  private:
    struct Batch {
        PangoFont* font = nullptr;
        std::string text;
        std::vector<cairo_glyph_t> glyphs;
        std::vector<cairo_text_cluster_t> clusters;
    };
    Batch& BatchOf(PangoFont* font);

    std::vector<Batch> batches_;
};

}  // namespace ledgerlift
