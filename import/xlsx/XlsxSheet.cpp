#include "import/xlsx/XlsxSheet.h"

#include <charconv>
#include <cmath>

#include "import/core/DateSerials.h"
#include "import/core/StopColumn.h"
#include "import/core/StoredWorkbook.h"
#include "import/package/XmlStream.h"

namespace ledgerlift {
namespace {

constexpr std::uint32_t kSheetRows = 1048576;
constexpr std::uint32_t kSheetCols = 16384;

enum class CellType { Number, Shared, Inline, FormulaText, Boolean, Error, IsoDate };

CellType TypeOf(std::string_view t) {
    if (t.empty() || t == "n") {
        return CellType::Number;
    }
    if (t == "s") {
        return CellType::Shared;
    }
    if (t == "inlineStr") {
        return CellType::Inline;
    }
    if (t == "str") {
        return CellType::FormulaText;
    }
    if (t == "b") {
        return CellType::Boolean;
    }
    if (t == "e") {
        return CellType::Error;
    }
    if (t == "d") {
        return CellType::IsoDate;
    }
    return CellType::Number;
}

std::string ColumnName(std::uint64_t col) {
    std::string name;
    for (; col > 0; col = (col - 1) / 26) {
        name.insert(name.begin(), static_cast<char>('A' + (col - 1) % 26));
    }
    return name;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\n' || text.front() == '\t' ||
                             text.front() == '\r')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\t' ||
                             text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

class SheetParser : public XmlStream {
  public:
    SheetParser(const XlsxSheetContext& context, SheetStore& out) : context_(context), out_(out) {}
    long formulasWithoutResult = 0;

  protected:
    void OnBegin() override {
        rowTag_ = Intern("row");
        c_ = Intern("c");
        v_ = Intern("v");
        f_ = Intern("f");
        is_ = Intern("is");
        t_ = Intern("t");
        rPh_ = Intern("rPh");
        r_ = Intern("r");
        s_ = Intern("s");
    }

    void OnStart(const XmlElement& e) override {
        XmlName name = e.Name();
        if (inCell_) {
            if (name == v_) {
                inValue_ = true;
                hasValue_ = true;
            } else if (name == f_) {
                hasFormula_ = true;
            } else if (name == is_) {
                inInline_ = true;
                hasInline_ = true;
                hasValue_ = true;
                type_ = CellType::Inline;  // an inline string, whatever t says
            } else if (name == rPh_) {
                ++phonetic_;
            } else if (name == t_ && inInline_ && phonetic_ == 0) {
                inInlineText_ = true;
            }
            return;
        }
        if (name == c_) {
            StartCell(e);
        } else if (name == rowTag_) {
            StartRow(e);
        }
    }

    void OnEnd(XmlName name, XmlName) override {
        if (!inCell_) {
            return;
        }
        if (name == c_) {
            EndCell();
        } else if (name == v_) {
            inValue_ = false;
        } else if (name == t_) {
            inInlineText_ = false;
        } else if (name == is_) {
            inInline_ = false;
        } else if (name == rPh_ && phonetic_ > 0) {
            --phonetic_;
        }
    }

    void OnText(std::string_view text) override {
        if (inInlineText_) {
            inline_.append(text);
        } else if (inValue_) {
            value_.append(text);
        }
    }

  private:
    void StartRow(const XmlElement& e) {
        std::uint64_t row = row_ + 1;
        if (auto r = e.Attribute(r_)) {
            std::uint64_t given = 0;
            auto [end, ec] = std::from_chars(r->data(), r->data() + r->size(), given);
            if (ec != std::errc() || end != r->data() + r->size() || given == 0) {
                Fail("the row number \"" + std::string(*r) + "\" is not a row number");
            }
            row = given;
        }
        if (row > kSheetRows) {
            Fail("row " + std::to_string(row) + " lies beyond the sheet's limits (row " +
                 std::to_string(kSheetRows) + ")");
        }
        row_ = row;
        col_ = 0;
        if (row_ > SheetStore::kRows && row_ - 1 > out_.FilledEndBelow()) {
            // Rows come in order: below the window only the run of rows
            // with something in column B counts, and it has ended.
            Stop();
        }
    }

    void StartCell(const XmlElement& e) {
        if (row_ == 0) {
            row_ = 1;
        }
        std::uint64_t col = col_ + 1;
        std::uint64_t row = row_;
        std::string_view type;
        style_ = 0;
        for (int i = 0; i < e.AttributeCount(); ++i) {
            XmlName attribute = e.AttributeName(i);
            if (e.AttributeNamespace(i) != nullptr) {
                continue;
            }
            if (attribute == r_) {
                ParseReference(e.AttributeValue(i), col, row);
            } else if (attribute == t_) {
                type = e.AttributeValue(i);
            } else if (attribute == s_) {
                std::string_view s = e.AttributeValue(i);
                std::from_chars(s.data(), s.data() + s.size(), style_);
            }
        }
        if (col > kSheetCols || row > kSheetRows) {
            Fail("the cell reference " + ColumnName(col) + std::to_string(row) +
                 " lies beyond the sheet's limits (column XFD, row 1048576)");
        }
        col_ = col;
        cellRow_ = row;
        type_ = TypeOf(type);
        inCell_ = true;
        hasValue_ = hasFormula_ = inValue_ = inInline_ = inInlineText_ = hasInline_ = false;
        phonetic_ = 0;
        value_.clear();
        inline_.clear();
    }

    // "B12": column and row; a reference that is no reference is a fault.
    void ParseReference(std::string_view ref, std::uint64_t& col, std::uint64_t& row) {
        std::size_t i = 0;
        std::uint64_t c = 0, r = 0;
        while (i < ref.size() &&
               ((ref[i] >= 'A' && ref[i] <= 'Z') || (ref[i] >= 'a' && ref[i] <= 'z')) &&
               c <= kSheetCols) {
            c = c * 26 + static_cast<std::uint64_t>((ref[i] & ~0x20) - 'A' + 1);
            ++i;
        }
        std::size_t digits = i;
        while (i < ref.size() && ref[i] >= '0' && ref[i] <= '9' && r <= kSheetRows) {
            r = r * 10 + static_cast<std::uint64_t>(ref[i] - '0');
            ++i;
        }
        if (c == 0 || i == digits || i != ref.size() || r == 0) {
            if (c > kSheetCols || r > kSheetRows) {
                Fail("the cell reference " + std::string(ref) +
                     " lies beyond the sheet's limits (column XFD, row 1048576)");
            }
            Fail("the cell reference \"" + std::string(ref) + "\" is not a cell reference");
        }
        col = c;
        row = r;
    }

    std::string Reference() const { return ColumnName(col_) + std::to_string(cellRow_); }

    void EndCell() {
        inCell_ = false;
        if (!hasValue_ || (type_ != CellType::FormulaText && type_ != CellType::Inline &&
                           Trimmed(value_).empty())) {
            if (hasFormula_ && cellRow_ <= SheetStore::kRows) {
                ++formulasWithoutResult;
            }
            return;
        }
        if (cellRow_ > SheetStore::kRows) {
            if (col_ == kStopColumn && FilledBelow()) {
                out_.FilledBelow(cellRow_ - 1, 1);
            }
            return;
        }
        if (col_ > SheetStore::kCols) {
            return;
        }
        out_.Put(static_cast<std::uint32_t>(cellRow_ - 1), static_cast<std::uint32_t>(col_ - 1),
                 Value());
        std::uint64_t now = out_.Bytes();
        std::uint64_t used = now;
        if (context_.bytesUsed) {
            used = context_.bytesUsed->fetch_add(now - counted_) + (now - counted_);
        }
        counted_ = now;
        StoredWorkbook::CheckRoom(Part().Workbook(), used);
    }

    // Whether a cell below the window holds something by the stop rule; its
    // text is looked at, not kept.
    bool FilledBelow() {
        switch (type_) {
            case CellType::Shared:
                return !IsBlankText(context_.sharedStrings->At(SharedIndex()));
            case CellType::Inline:
                return !IsBlankText(DecodeXlsxText(hasInline_ ? inline_ : value_));
            case CellType::FormulaText:
                return !IsBlankText(DecodeXlsxText(value_));
            default:
                return true;
        }
    }

    // The shared string that a cell names, which must be there.
    std::uint32_t SharedIndex() {
        std::uint64_t index = 0;
        std::string_view text = Trimmed(value_);
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), index);
        if (ec != std::errc() || end != text.data() + text.size()) {
            Fail("cell " + Reference() + " holds \"" + value_ +
                 "\" where a shared string number belongs");
        }
        std::size_t count = context_.sharedStrings ? context_.sharedStrings->Count() : 0;
        if (index >= count) {
            Fail("cell " + Reference() + " refers to shared string " + std::to_string(index) +
                 ", but the workbook has only " + std::to_string(count));
        }
        return static_cast<std::uint32_t>(index);
    }

    StoredCell Value() {
        switch (type_) {
            case CellType::Shared:
                // The sheet names the string; it is not copied.
                return StoredCell::Shared(SharedIndex());
            case CellType::Inline:
                // The inline text is the cell's text, not a <v> beside it;
                // a cell typed inline that holds only a <v> shows that.
                return KeptText(hasInline_ ? inline_ : value_);
            case CellType::FormulaText:
                return KeptText(value_);
            case CellType::Boolean: {
                std::string_view text = Trimmed(value_);
                if (text == "1" || text == "true") {
                    return StoredCell::Boolean(true);
                }
                if (text == "0" || text == "false") {
                    return StoredCell::Boolean(false);
                }
                Fail("cell " + Reference() + " holds \"" + value_ + "\", which is not a boolean");
            }
            case CellType::Error:
                return out_.Error(Trimmed(value_));
            case CellType::IsoDate: {
                double serial = 0;
                if (!SerialFromIsoDate(Trimmed(value_), serial)) {
                    Fail("cell " + Reference() + " holds \"" + value_ + "\", which is not a date");
                }
                return StoredCell::DateSerial(serial);
            }
            case CellType::Number:
                break;
        }
        std::string_view text = Trimmed(value_);
        double number = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(number)) {
            Fail("cell " + Reference() + " holds \"" + value_ + "\", which is not a number");
        }
        if (context_.styles && context_.styles->IsDate(style_)) {
            return StoredCell::DateSerial(context_.date1904 ? SerialFrom1904(number) : number);
        }
        if (context_.styles && context_.styles->IsPercent(style_)) {
            return StoredCell::Percent(number);
        }
        return StoredCell::Number(number);
    }

    StoredCell KeptText(const std::string& text) {
        if (text.find("_x") == std::string::npos) {
            return out_.Text(text);
        }
        return out_.Text(DecodeXlsxText(text));
    }

    XmlName rowTag_ = nullptr, c_ = nullptr, v_ = nullptr, f_ = nullptr, is_ = nullptr,
            t_ = nullptr, rPh_ = nullptr, r_ = nullptr, s_ = nullptr;
    const XlsxSheetContext& context_;
    SheetStore& out_;
    std::uint64_t counted_ = 0;
    std::uint64_t row_ = 0;
    std::uint64_t col_ = 0;
    std::uint64_t cellRow_ = 0;
    CellType type_ = CellType::Number;
    std::uint32_t style_ = 0;
    bool inCell_ = false;
    bool inValue_ = false;
    bool inInline_ = false;
    bool inInlineText_ = false;
    bool hasValue_ = false;
    bool hasInline_ = false;
    bool hasFormula_ = false;
    int phonetic_ = 0;
    std::string value_;
    std::string inline_;  // the text of an inline string (<is>)
};

}  // namespace

long XlsxSheet::Read(PartReader& part, const XlsxSheetContext& context, SheetStore& out) {
    out.UseSharedStrings(context.sharedStrings);
    SheetParser parser(context, out);
    parser.Parse(part);
    return parser.formulasWithoutResult;
}

}  // namespace ledgerlift
