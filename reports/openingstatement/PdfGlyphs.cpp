#include "reports/openingstatement/PdfGlyphs.h"

#include "data/DataError.h"

namespace ledgerlift {
namespace {

const char* const kEllipsis = "\xE2\x80\xA6";

// Characters whose glyph never depends on its neighbours in the fonts a
// statement is set in: Latin letters with their accents precomposed, digits,
// common punctuation and currency signs.
bool SimpleCharacter(char32_t c) {
    return (c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0x24F) || (c >= 0x2010 && c <= 0x2027) ||
           (c >= 0x2030 && c <= 0x203A) || (c >= 0x20A0 && c <= 0x20C0);
}

// The character at text[at] (valid UTF-8) and its length in bytes.
char32_t Decode(const std::string& text, std::size_t at, int& bytes) {
    auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
    unsigned char lead = b(0);
    if (lead < 0x80) {
        bytes = 1;
        return lead;
    }
    bytes = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (at + static_cast<std::size_t>(bytes) > text.size()) {
        bytes = 1;
        return 0xFFFD;
    }
    char32_t code = lead & (0x3F >> (bytes - 1));
    for (int k = 1; k < bytes; ++k) {
        code = (code << 6) | (b(static_cast<std::size_t>(k)) & 0x3F);
    }
    return code;
}

}  // namespace

GlyphFont::GlyphFont(PangoContext* context, const PangoFontDescription* font)
    : layout_(pango_layout_new(context)) {
    pango_layout_set_font_description(layout_.get(), font);
    pango_layout_set_text(layout_.get(), "0", 1);
    baseline_ = static_cast<double>(pango_layout_get_baseline(layout_.get())) / PANGO_SCALE;
}

const GlyphFont::Kept& GlyphFont::Lookup(char32_t code, const std::string& text, std::size_t at,
                                         int bytes) {
    auto found = kept_.find(code);
    if (found != kept_.end()) {
        return found->second;
    }
    Kept kept;
    if (SimpleCharacter(code)) {
        pango_layout_set_text(layout_.get(), text.data() + at, bytes);
        PangoLayoutLine* line = pango_layout_get_line_readonly(layout_.get(), 0);
        if (line != nullptr && line->runs != nullptr && line->runs->next == nullptr) {
            auto* run = static_cast<PangoGlyphItem*>(line->runs->data);
            const PangoGlyphInfo& info = run->glyphs->glyphs[0];
            kept.simple = run->glyphs->num_glyphs == 1 &&
                          (info.glyph & PANGO_GLYPH_UNKNOWN_FLAG) == 0 &&
                          info.glyph != PANGO_GLYPH_EMPTY && run->item->analysis.font != nullptr;
            if (kept.simple) {
                PangoFont* font = run->item->analysis.font;
                bool held = false;
                for (const auto& f : fonts_) {
                    held = held || f.get() == font;
                }
                if (!held) {
                    fonts_.emplace_back(static_cast<PangoFont*>(g_object_ref(font)));
                }
                kept.glyph =
                    ShapedGlyph{info.glyph, static_cast<double>(info.geometry.width) / PANGO_SCALE,
                                font, bytes};
            }
        }
    }
    return kept_.emplace(code, kept).first->second;
}

bool GlyphFont::Shape(const std::string& text, std::vector<ShapedGlyph>& glyphs, double& width) {
    glyphs.clear();
    width = 0;
    for (std::size_t at = 0; at < text.size();) {
        int bytes = 1;
        char32_t code = Decode(text, at, bytes);
        const Kept& kept = Lookup(code, text, at, bytes);
        if (!kept.simple) {
            return false;
        }
        glyphs.push_back(kept.glyph);
        width += kept.glyph.advance;
        at += static_cast<std::size_t>(bytes);
    }
    return true;
}

void GlyphFont::Ellipsize(std::string& text, std::vector<ShapedGlyph>& glyphs, double& width,
                          double fit) {
    std::string ellipsis = kEllipsis;
    std::vector<ShapedGlyph> tail;
    double tailWidth = 0;
    if (!Shape(ellipsis, tail, tailWidth)) {
        ellipsis = "...";
        Shape(ellipsis, tail, tailWidth);
    }
    while (!glyphs.empty() && width + tailWidth > fit) {
        width -= glyphs.back().advance;
        text.resize(text.size() - static_cast<std::size_t>(glyphs.back().bytes));
        glyphs.pop_back();
    }
    text += ellipsis;
    glyphs.insert(glyphs.end(), tail.begin(), tail.end());
    width += tailWidth;
}

PageGlyphs::Batch& PageGlyphs::BatchOf(PangoFont* font) {
    for (Batch& batch : batches_) {
        if (batch.font == font) {
            return batch;
        }
    }
    batches_.push_back(Batch{font, {}, {}, {}});
    return batches_.back();
}

void PageGlyphs::Add(const std::string& text, const std::vector<ShapedGlyph>& glyphs, double x,
                     double baseline) {
    std::size_t at = 0;
    for (const ShapedGlyph& glyph : glyphs) {
        Batch& batch = BatchOf(glyph.font);
        batch.glyphs.push_back(cairo_glyph_t{glyph.index, x, baseline});
        batch.text.append(text, at, static_cast<std::size_t>(glyph.bytes));
        batch.clusters.push_back(cairo_text_cluster_t{glyph.bytes, 1});
        at += static_cast<std::size_t>(glyph.bytes);
        x += glyph.advance;
    }
}

void PageGlyphs::Draw(cairo_t* cr) {
    for (Batch& batch : batches_) {
        if (batch.glyphs.empty()) {
            continue;
        }
        cairo_scaled_font_t* scaled =
            pango_cairo_font_get_scaled_font(reinterpret_cast<PangoCairoFont*>(batch.font));
        if (scaled == nullptr) {
            throw DataError("A font of the statement could not be used to draw its text.");
        }
        cairo_set_scaled_font(cr, scaled);
        cairo_show_text_glyphs(cr, batch.text.data(), static_cast<int>(batch.text.size()),
                               batch.glyphs.data(), static_cast<int>(batch.glyphs.size()),
                               batch.clusters.data(), static_cast<int>(batch.clusters.size()),
                               static_cast<cairo_text_cluster_flags_t>(0));
        batch.text.clear();
        batch.glyphs.clear();
        batch.clusters.clear();
    }
}

}  // namespace ledgerlift
