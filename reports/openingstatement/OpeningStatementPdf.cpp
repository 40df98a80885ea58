#include "reports/openingstatement/OpeningStatementPdf.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <memory>

#include "data/DataError.h"
#include "reports/openingstatement/PdfGlyphs.h"

namespace ledgerlift {
namespace {

constexpr double kMargin = 42;      // points, about 15 mm
constexpr double kFooterRoom = 26;  // below the text: the footer line
constexpr double kRowHeight = 12;
constexpr double kPad = 4;  // inside a cell, left and right
constexpr std::size_t kFlushBytes = 1 << 16;

struct SurfaceFree {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct CairoFree {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct FontFree {
    void operator()(PangoFontDescription* f) const { pango_font_description_free(f); }
};
using Layout = std::unique_ptr<PangoLayout, GObjectFree>;
using Font = std::unique_ptr<PangoFontDescription, FontFree>;

// Where cairo's bytes go: the atomic file, in chunks. A failure is kept for
// the caller (an exception must not pass through cairo's C frames).
struct Sink {
    AtomicFile& file;
    std::string buffer;
    std::string error;

    void Flush() {
        if (error.empty() && !buffer.empty()) {
            try {
                file.Write(buffer);
            } catch (const FileError& failure) {
                error = failure.what();
            }
        }
        buffer.clear();
    }
};

cairo_status_t WriteBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* sink = static_cast<Sink*>(closure);
    sink->buffer.append(reinterpret_cast<const char*>(data), length);
    if (sink->buffer.size() >= kFlushBytes) {
        sink->Flush();
    }
    return sink->error.empty() ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

Font FontOf(const char* description) {
    return Font(pango_font_description_from_string(description));
}

// The layouts the statement is drawn with; each is set to a text, measured
// and drawn, again and again.
struct Layouts {
    explicit Layouts(cairo_t* cr) : context(pango_cairo_create_context(cr)) {
        // Sizes in points, as the page is measured, and glyphs placed where
        // the font puts them rather than on whole points.
        pango_cairo_context_set_resolution(context.get(), 72);
        pango_context_set_round_glyph_positions(context.get(), FALSE);
        std::unique_ptr<cairo_font_options_t, void (*)(cairo_font_options_t*)> options(
            cairo_font_options_create(), cairo_font_options_destroy);
        cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
        pango_cairo_context_set_font_options(context.get(), options.get());
        for (Layout* l : {&text, &textBold, &number, &numberBold, &wrapped}) {
            l->reset(pango_layout_new(context.get()));
            pango_layout_set_single_paragraph_mode(l->get(), TRUE);
        }
        Use(text, body), Use(number, body), Use(textBold, bold), Use(numberBold, bold);
        pango_layout_set_ellipsize(text.get(), PANGO_ELLIPSIZE_END);
        pango_layout_set_ellipsize(textBold.get(), PANGO_ELLIPSIZE_END);
        pango_layout_set_wrap(wrapped.get(), PANGO_WRAP_WORD_CHAR);
    }
    static void Use(Layout& layout, const Font& font) {
        pango_layout_set_font_description(layout.get(), font.get());
    }

    std::unique_ptr<PangoContext, GObjectFree> context;
    Font body = FontOf("DejaVu Sans,Sans 8");
    Font bold = FontOf("DejaVu Sans,Sans Bold 8");
    Font note = FontOf("DejaVu Sans,Sans 7.5");
    Font heading = FontOf("DejaVu Sans,Sans Bold 11.5");
    Font title = FontOf("DejaVu Sans,Sans Bold 15");
    Font footer = FontOf("DejaVu Sans,Sans 7");
    Layout text, textBold, number, numberBold, wrapped;
};

// Lays the document out page by page. The first pass only counts the pages
// (nothing is drawn), the second draws them with "Page n of N".
class PdfPages {
  public:
    PdfPages(const OpeningStatementDocument& doc, PaperSize paper, cairo_t* cr)
        : doc_(doc), paper_(paper), cr_(cr), layouts_(cr) {}
    PdfPages(const PdfPages&) = delete;
    PdfPages& operator=(const PdfPages&) = delete;

    int Lay(bool draw, int pages);

  private:
    double Width() const { return paper_.width - 2 * kMargin; }
    double Bottom() const { return paper_.height - kMargin - kFooterRoom; }
    void NewPage();
    void EndPage();
    void Footer();
    void Room(double height, const DocTable* table);
    double Wrapped(const std::string& text, const Font& font, double gapBefore);
    void Block(const DocBlock& block);
    void Table(const DocTable& table);
    std::vector<double> ColumnWidths(const DocTable& table) const;
    void HeaderRow(const DocTable& table);
    void Row(const DocTable& table, const DocRow& row);
    void Cell(const std::string& text, double x, double width, bool numeric, bool bold);
    void Rule(double x, double y, double width, double thickness);

    const OpeningStatementDocument& doc_;
    PaperSize paper_;
    cairo_t* cr_;
    Layouts layouts_;
    GlyphFont glyphs_{layouts_.context.get(), layouts_.body.get()};
    GlyphFont boldGlyphs_{layouts_.context.get(), layouts_.bold.get()};
    PageGlyphs pageGlyphs_;
    std::vector<ShapedGlyph> shaped_;  // reused from cell to cell
    bool draw_ = false;
    int page_ = 0;
    int pages_ = 0;
    double y_ = 0;
    std::string section_;  // the heading the current table belongs to
    std::vector<double> widths_;
};

void PdfPages::Rule(double x, double y, double width, double thickness) {
    if (draw_) {
        cairo_set_line_width(cr_, thickness);
        cairo_move_to(cr_, x, y);
        cairo_line_to(cr_, x + width, y);
        cairo_stroke(cr_);
    }
}

// Text wrapped to the width at y_ (after a gap), which moves below it.
double PdfPages::Wrapped(const std::string& text, const Font& font, double gapBefore) {
    PangoLayout* l = layouts_.wrapped.get();
    pango_layout_set_font_description(l, font.get());
    pango_layout_set_width(l, static_cast<int>(Width() * PANGO_SCALE));
    pango_layout_set_text(l, text.c_str(), static_cast<int>(text.size()));
    int w = 0, h = 0;
    pango_layout_get_size(l, &w, &h);
    double height = static_cast<double>(h) / PANGO_SCALE;
    if (y_ + gapBefore + height > Bottom() && y_ > kMargin) {
        NewPage();
        gapBefore = 0;
    }
    y_ += gapBefore;
    if (draw_) {
        cairo_move_to(cr_, kMargin, y_);
        pango_cairo_show_layout(cr_, l);
    }
    y_ += height;
    return height;
}

void PdfPages::Footer() {
    if (!draw_) {
        return;
    }
    double y = paper_.height - kMargin - 10;
    Rule(kMargin, y - 3, Width(), 0.4);
    PangoLayout* l = layouts_.wrapped.get();
    pango_layout_set_font_description(l, layouts_.footer.get());
    pango_layout_set_width(l, -1);
    pango_layout_set_text(l, doc_.footer.c_str(), -1);
    cairo_move_to(cr_, kMargin, y);
    pango_cairo_show_layout(cr_, l);
    std::string number = "Page " + std::to_string(page_) + " of " + std::to_string(pages_);
    pango_layout_set_text(l, number.c_str(), -1);
    int w = 0, h = 0;
    pango_layout_get_size(l, &w, &h);
    cairo_move_to(cr_, kMargin + Width() - static_cast<double>(w) / PANGO_SCALE, y);
    pango_cairo_show_layout(cr_, l);
}

void PdfPages::EndPage() {
    Footer();
    if (draw_) {
        pageGlyphs_.Draw(cr_);
        cairo_show_page(cr_);
    }
}

void PdfPages::NewPage() {
    if (page_ > 0) {
        EndPage();
    }
    ++page_;
    y_ = kMargin;
}

// Room for height more below y_; a new page when there is none, where a
// table that runs on repeats its section's heading and its column headings.
void PdfPages::Room(double height, const DocTable* table) {
    if (y_ + height <= Bottom()) {
        return;
    }
    NewPage();
    if (table != nullptr) {
        Wrapped(section_ + " (continued)", layouts_.heading, 0);
        y_ += 3;
        HeaderRow(*table);
    }
}

void PdfPages::Block(const DocBlock& block) {
    if (block.newPage && y_ > kMargin) {
        NewPage();
    }
    switch (block.kind) {
        case DocBlock::Kind::Heading:
            // A heading never ends a page: it stays with the lines under it.
            Room(14 + 3 * kRowHeight, nullptr);
            section_ = block.text;
            Wrapped(block.text, layouts_.heading, y_ > kMargin ? 12 : 0);
            y_ += 3;
            break;
        case DocBlock::Kind::Paragraph:
            Wrapped(block.text, layouts_.body, 2);
            break;
        case DocBlock::Kind::Emphasis:
            Wrapped(block.text, layouts_.bold, 4);
            break;
        case DocBlock::Kind::Note:
            Wrapped(block.text, layouts_.note, 1.5);
            break;
        case DocBlock::Kind::Table:
            Table(block.table);
            break;
    }
}

int PdfPages::Lay(bool draw, int pages) {
    draw_ = draw;
    pages_ = pages;
    page_ = 0;
    NewPage();
    Wrapped(doc_.title, layouts_.title, 0);
    y_ += 6;
    for (const DocBlock& block : doc_.blocks) {
        Block(block);
    }
    EndPage();
    return page_;
}

std::vector<double> PdfPages::ColumnWidths(const DocTable& table) const {
    double sum = 0;
    for (const DocColumn& column : table.columns) {
        sum += column.weight;
    }
    std::vector<double> widths;
    for (const DocColumn& column : table.columns) {
        widths.push_back(sum > 0 ? Width() * column.weight / sum : 0);
    }
    return widths;
}

// A cell's text: from the kept glyphs when it can be (see GlyphFont), drawn
// with the page's other glyphs; else as a layout of its own.
void PdfPages::Cell(const std::string& text, double x, double width, bool numeric, bool bold) {
    if (!draw_ || text.empty()) {
        return;
    }
    GlyphFont& font = bold ? boldGlyphs_ : glyphs_;
    double fit = width - 2 * kPad;
    double shapedWidth = 0;
    if (font.Shape(text, shaped_, shapedWidth)) {
        std::string shown = text;
        if (!numeric && shapedWidth > fit) {
            font.Ellipsize(shown, shaped_, shapedWidth, fit);
        }
        double left = numeric ? x + width - kPad - shapedWidth : x + kPad;
        pageGlyphs_.Add(shown, shaped_, left, y_ + 1.5 + font.Baseline());
        return;
    }
    Layout& layout = numeric ? (bold ? layouts_.numberBold : layouts_.number)
                             : (bold ? layouts_.textBold : layouts_.text);
    PangoLayout* l = layout.get();
    if (!numeric) {
        pango_layout_set_width(l, static_cast<int>(fit * PANGO_SCALE));
    }
    pango_layout_set_text(l, text.data(), static_cast<int>(text.size()));
    double left = x + kPad;
    if (numeric) {
        int w = 0, h = 0;
        pango_layout_get_size(l, &w, &h);
        left = x + width - kPad - static_cast<double>(w) / PANGO_SCALE;
    }
    cairo_move_to(cr_, left, y_ + 1.5);
    pango_cairo_show_layout(cr_, l);
}

void PdfPages::HeaderRow(const DocTable& table) {
    double x = kMargin;
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        const DocColumn& column = table.columns[c];
        Cell(column.heading, x, widths_[c], column.numeric, true);
        x += widths_[c];
    }
    y_ += kRowHeight;
    Rule(kMargin, y_ + 0.5, Width(), 0.6);
    y_ += 2;
}

void PdfPages::Row(const DocTable& table, const DocRow& row) {
    using Kind = DocRow::Kind;
    bool bold = row.kind != Kind::Line;
    if (row.kind == Kind::Group) {
        y_ += 3;
    } else if (bold) {
        Rule(kMargin, y_ + 0.5, Width(), row.kind == Kind::GrandTotal ? 0.7 : 0.4);
    }
    const std::size_t n = table.columns.size();
    double x = kMargin;
    for (std::size_t c = 0; c < n; ++c) {
        const std::string& text = c < row.cells.size() ? row.cells[c] : std::string();
        double width = widths_[c];
        // A group's or a total's name runs on over the empty text cells after it.
        std::size_t span = 1;
        while (bold && c == 0 && c + span < n && !table.columns[c + span].numeric &&
               (c + span >= row.cells.size() || row.cells[c + span].empty())) {
            width += widths_[c + span++];
        }
        Cell(text, x, width, table.columns[c].numeric, bold);
        x += width;
        c += span - 1;
    }
    y_ += kRowHeight;
    if (row.kind == Kind::GrandTotal) {
        Rule(kMargin, y_ + 0.5, Width(), 0.6);
        Rule(kMargin, y_ + 2.5, Width(), 0.6);
        y_ += 4;
    }
}

void PdfPages::Table(const DocTable& table) {
    widths_ = ColumnWidths(table);
    Room(2 * kRowHeight + 6, nullptr);  // the headings never end a page alone
    HeaderRow(table);
    for (const DocRow& row : table.rows) {
        // A group's heading never ends a page: its first line goes with it.
        double height = row.kind == DocRow::Kind::Group  ? 2 * kRowHeight + 3
                        : row.kind == DocRow::Kind::Line ? kRowHeight
                                                         : kRowHeight + 4;
        Room(height, &table);
        Row(table, row);
    }
    y_ += 4;
}

}  // namespace

int WriteOpeningStatementPdf(const OpeningStatementDocument& document, Paper paper,
                             AtomicFile& file) {
    PaperSize size = SizeOf(paper);
    Sink sink{file, {}, {}};
    std::unique_ptr<cairo_surface_t, SurfaceFree> surface(
        cairo_pdf_surface_create_for_stream(WriteBytes, &sink, size.width, size.height));
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, document.title.c_str());
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "Ledgerlift");
    std::unique_ptr<cairo_t, CairoFree> cr(cairo_create(surface.get()));
    int pages = 0;
    {
        PdfPages layout(document, size, cr.get());
        pages = layout.Lay(false, 0);
        layout.Lay(true, pages);
    }
    cairo_status_t status = cairo_status(cr.get());
    cr.reset();
    cairo_surface_finish(surface.get());
    if (status == CAIRO_STATUS_SUCCESS) {
        status = cairo_surface_status(surface.get());
    }
    sink.Flush();
    if (!sink.error.empty()) {
        throw FileError(sink.error);
    }
    if (status != CAIRO_STATUS_SUCCESS) {
        throw DataError("The statement could not be drawn as a PDF (" +
                        std::string(cairo_status_to_string(status)) + ").");
    }
    return pages;
}

}  // namespace ledgerlift
