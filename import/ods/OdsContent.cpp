#include "import/ods/OdsContent.h"

#include "import/ods/OdsStyles.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "import/core/DateSerials.h"
#include "import/core/StopColumn.h"
#include "import/package/XmlStream.h"

namespace ledgerlift {
namespace {

const char* const kOffice = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
const char* const kTable = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
const char* const kText = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
const char* const kCalcExt = "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0";
const char* const kDraw = "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0";

// Far more than any cell holds; text:s can ask for any number of spaces.
constexpr std::size_t kMaxCellText = std::size_t{1} << 24;
// Positions saturate here: far beyond any sheet, and no overflow.
constexpr std::uint64_t kFar = std::uint64_t{1} << 40;

enum class ValueType { None, Number, Percent, Date, Time, Boolean, String, Other };

ValueType TypeOf(std::string_view type) {
    if (type.empty()) {
        return ValueType::None;
    }
    if (type == "float" || type == "currency") {
        return ValueType::Number;
    }
    if (type == "percentage") {
        return ValueType::Percent;
    }
    if (type == "date") {
        return ValueType::Date;
    }
    if (type == "time") {
        return ValueType::Time;
    }
    if (type == "boolean") {
        return ValueType::Boolean;
    }
    if (type == "string") {
        return ValueType::String;
    }
    return ValueType::Other;
}

std::uint64_t Count(std::optional<std::string_view> text) {
    if (!text) {
        return 1;
    }
    std::uint64_t n = 0;
    auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), n);
    if (ec == std::errc::result_out_of_range) {
        return kFar;
    }
    return ec == std::errc() && n > 0 ? std::min(n, kFar) : 1;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

class ContentParser : public XmlStream {
  public:
    explicit ContentParser(OdsStyles styles) : styles_(std::move(styles)) {}
    std::vector<StoredSheet> sheets;

  protected:
    void OnBegin() override {
        office_ = Intern(kOffice);
        table_ = Intern(kTable);
        textNs_ = Intern(kText);
        calcExt_ = Intern(kCalcExt);
        draw_ = Intern(kDraw);
        tableTag_ = Intern("table");
        rowTag_ = Intern("table-row");
        cellTag_ = Intern("table-cell");
        coveredTag_ = Intern("covered-table-cell");
        annotation_ = Intern("annotation");
        note_ = Intern("note");
        rubyText_ = Intern("ruby-text");
        p_ = Intern("p");
        h_ = Intern("h");
        s_ = Intern("s");
        tab_ = Intern("tab");
        lineBreak_ = Intern("line-break");
        name_ = Intern("name");
        c_ = Intern("c");
        rowsRepeated_ = Intern("number-rows-repeated");
        columnsRepeated_ = Intern("number-columns-repeated");
        valueType_ = Intern("value-type");
        valueAttr_ = Intern("value");
        dateValue_ = Intern("date-value");
        timeValue_ = Intern("time-value");
        booleanValue_ = Intern("boolean-value");
        stringValue_ = Intern("string-value");
        formulaAttr_ = Intern("formula");
        styleNs_ = Intern(kOdsStyleNs);
        numberNs_ = Intern(kOdsNumberNs);
        styleTag_ = Intern("style");
        percentTag_ = Intern("percentage-style");
        dataStyleName_ = Intern("data-style-name");
        styleName_ = Intern("style-name");
    }

    void OnStart(const XmlElement& e) override {
        if (skip_ > 0) {
            ++skip_;
        } else if (inCell_) {
            CellChild(e);
        } else if (inRow_ && (e.Is(table_, cellTag_) || e.Is(table_, coveredTag_))) {
            StartCell(e);
        } else if (inTable_ && !inRow_ && e.Is(table_, rowTag_)) {
            StartRow(e);
        } else if (e.Is(table_, tableTag_)) {
            if (inTable_) {
                skip_ = 1;  // a table inside a table is no worksheet
            } else {
                StartTable(e);
            }
        } else if (!inTable_) {
            // The automatic styles, before the tables.
            styles_.Take(e, styleNs_, numberNs_, styleTag_, percentTag_, name_, dataStyleName_);
        }
    }

    void OnEnd(XmlName name, XmlName ns) override {
        if (skip_ > 0) {
            --skip_;
        } else if (inCell_) {
            if (cellDepth_ == 0) {
                EndCell();
            } else if (--cellDepth_ == 0) {
                EndParagraph();
            }
        } else if (inRow_) {
            if (name == rowTag_ && ns == table_) {
                EndRow();
            }
        } else if (inTable_ && name == tableTag_ && ns == table_) {
            inTable_ = false;
        }
    }

    void OnText(std::string_view text) override {
        if (!inParagraph_ || !collect_ || skip_ > 0) {
            return;
        }
        // White space in a paragraph collapses to one space and is dropped
        // at the paragraph's start; at its end it stays one space, since a
        // spreadsheet program writes a cell's single trailing blank as it is
        // ("SPX11 ") and reads it back so. text:s, text:tab and
        // text:line-break are the characters that are kept as they are.
        while (!text.empty()) {
            std::size_t word = 0;
            while (word < text.size() && !IsSpace(text[word])) {
                ++word;
            }
            if (word > 0) {
                Emit(text.substr(0, word));
                text.remove_prefix(word);
            }
            std::size_t space = 0;
            while (space < text.size() && IsSpace(text[space])) {
                ++space;
            }
            if (space > 0) {
                pendingSpace_ = !paragraphStart_;
                text.remove_prefix(space);
            }
        }
    }

  private:
    void StartTable(const XmlElement& e) {
        inTable_ = true;
        if (!sheets.empty()) {
            bytesBefore_ += sheets.back().cells.Bytes();
        }
        StoredSheet sheet;
        sheet.name = std::string(e.Attribute(name_, table_).value_or(""));
        sheets.push_back(std::move(sheet));
        row_ = 0;
    }

    void StartRow(const XmlElement& e) {
        inRow_ = true;
        rowRepeat_ = Count(e.Attribute(rowsRepeated_, table_));
        col_ = 0;
    }

    void EndRow() {
        inRow_ = false;
        if (rowRepeat_ > 1 && row_ < SheetStore::kRows) {
            sheets.back().cells.RepeatRow(static_cast<std::uint32_t>(row_), rowRepeat_ - 1);
        }
        row_ = std::min(row_ + rowRepeat_, kFar);
    }

    void StartCell(const XmlElement& e) {
        inCell_ = true;
        cellDepth_ = 0;
        colRepeat_ = 1;
        type_ = ValueType::None;
        error_ = false;
        formula_ = false;
        percentStyle_ = false;
        std::optional<std::string_view> value, stringValue;
        for (int i = 0; i < e.AttributeCount(); ++i) {
            XmlName name = e.AttributeName(i);
            XmlName ns = e.AttributeNamespace(i);
            if (ns == office_) {
                if (name == valueType_) {
                    type_ = TypeOf(e.AttributeValue(i));
                } else if (name == valueAttr_ || name == dateValue_ || name == timeValue_ ||
                           name == booleanValue_) {
                    value = e.AttributeValue(i);
                } else if (name == stringValue_) {
                    stringValue = e.AttributeValue(i);
                }
            } else if (ns == table_) {
                if (name == columnsRepeated_) {
                    colRepeat_ = Count(e.AttributeValue(i));
                } else if (name == formulaAttr_) {
                    formula_ = true;
                } else if (name == styleName_) {
                    percentStyle_ = styles_.ShowsPercent(e.AttributeValue(i));
                }
            } else if (ns == calcExt_ && name == valueType_) {
                error_ = e.AttributeValue(i) == "error";
            }
        }
        cell_ = StoredCell::Empty();
        text_.clear();
        hasStringValue_ = false;
        paragraphs_ = 0;
        collect_ = false;
        switch (type_) {
            case ValueType::Number:
                // A number in a percentage style shows as a percentage.
                cell_ = percentStyle_ ? StoredCell::Percent(Number(value.value_or("")))
                                      : StoredCell::Number(Number(value.value_or("")));
                break;
            case ValueType::Percent:
                cell_ = StoredCell::Percent(Number(value.value_or("")));
                break;
            case ValueType::Date:
                cell_ = StoredCell::DateSerial(DateValue(value.value_or("")));
                break;
            case ValueType::Time:
                cell_ = StoredCell::DateSerial(TimeValue(value.value_or("")));
                break;
            case ValueType::Boolean: {
                std::string_view b = value.value_or("");
                cell_ = StoredCell::Boolean(b == "true" || b == "1");
                break;
            }
            case ValueType::String:
                if (stringValue) {
                    stringText_.assign(*stringValue);
                    hasStringValue_ = true;
                } else {
                    collect_ = true;
                }
                break;
            case ValueType::None:
            case ValueType::Other:
                collect_ = !formula_;
                break;
        }
        if (error_) {
            collect_ = true;
        }
    }

    void CellChild(const XmlElement& e) {
        XmlName ns = e.Namespace();
        if (e.Is(office_, annotation_) || e.Is(textNs_, note_) || e.Is(textNs_, rubyText_) ||
            e.Is(table_, tableTag_) || ns == draw_) {
            skip_ = 1;  // notes, drawings and the like are not the cell's text
            return;
        }
        if (cellDepth_++ == 0) {
            if (e.Is(textNs_, p_) || e.Is(textNs_, h_)) {
                inParagraph_ = true;
                paragraphStart_ = true;
                pendingSpace_ = false;
                if (collect_ && paragraphs_++ > 0) {
                    Append("\n");
                }
            }
            return;
        }
        if (!inParagraph_ || !collect_) {
            return;
        }
        if (e.Is(textNs_, s_)) {
            std::uint64_t n = Count(e.Attribute(c_, textNs_));
            if (n > kMaxCellText) {
                TooLong();
            }
            Emit(std::string(static_cast<std::size_t>(n), ' '));
        } else if (e.Is(textNs_, tab_)) {
            Emit("\t");
        } else if (e.Is(textNs_, lineBreak_)) {
            Emit("\n");
        }
    }

    void EndParagraph() {
        if (inParagraph_ && collect_ && pendingSpace_) {
            Append(" ");
        }
        pendingSpace_ = false;
        inParagraph_ = false;
    }

    void Emit(std::string_view kept) {
        if (pendingSpace_) {
            Append(" ");
            pendingSpace_ = false;
        }
        Append(kept);
        paragraphStart_ = false;
    }

    void Append(std::string_view text) {
        if (text_.size() + text.size() > kMaxCellText) {
            TooLong();
        }
        text_.append(text);
    }

    [[noreturn]] void TooLong() const {
        Fail("a cell of worksheet " + std::to_string(sheets.size()) + " holds more than " +
             std::to_string(kMaxCellText >> 20) + " MB of text");
    }

    double Number(std::string_view text) const {
        double number = 0;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(number)) {
            Fail(Where() + " holds \"" + std::string(text) + "\" where a number belongs");
        }
        return number;
    }

    double DateValue(std::string_view text) const {
        double serial = 0;
        if (!SerialFromIsoDate(text, serial)) {
            Fail(Where() + " holds \"" + std::string(text) + "\" where a date belongs");
        }
        return serial;
    }

    double TimeValue(std::string_view text) const {
        double days = 0;
        if (!DaysFromIsoDuration(text, days)) {
            Fail(Where() + " holds \"" + std::string(text) + "\" where a time belongs");
        }
        return days;
    }

    std::string Where() const {
        return "the cell in row " + std::to_string(row_ + 1) + ", column " +
               std::to_string(col_ + 1) + " of worksheet " + std::to_string(sheets.size());
    }

    // What the cell read holds, its text kept by the sheet (once, however
    // many columns it repeats over).
    StoredCell CellRead(SheetStore& cells) const {
        if (error_) {
            return cells.Error(OdsContent::ErrorText(text_));
        }
        if (collect_ && (type_ != ValueType::None || !text_.empty())) {
            return cells.Text(text_);
        }
        if (hasStringValue_) {
            return cells.Text(stringText_);
        }
        return cell_;
    }

    // Whether the cell read holds something by the stop rule.
    bool FilledBelow() const {
        if (error_) {
            return true;
        }
        if (collect_ && (type_ != ValueType::None || !text_.empty())) {
            return !IsBlankText(text_);
        }
        if (hasStringValue_) {
            return !IsBlankText(stringText_);
        }
        return cell_.kind != StoredCell::Kind::Empty;
    }

    void EndCell() {
        inCell_ = false;
        inParagraph_ = false;
        StoredSheet& sheet = sheets.back();
        if (formula_ && type_ == ValueType::None && !error_) {
            // A formula without a cached value: counted, read as empty.
            std::uint64_t cells = std::min(colRepeat_, kFar) * std::min(rowRepeat_, kFar >> 20);
            sheet.formulasWithoutResult = static_cast<long>(
                std::min<std::uint64_t>(sheet.formulasWithoutResult + cells, kFar));
        } else if (row_ >= SheetStore::kRows) {
            // Below the window only column B counts, for the rows left out.
            auto stop = static_cast<std::uint64_t>(kStopColumn - 1);
            if (col_ <= stop && stop < col_ + colRepeat_ && FilledBelow()) {
                sheet.cells.FilledBelow(row_, rowRepeat_);
            }
        } else if (col_ < SheetStore::kCols) {
            StoredCell cell = CellRead(sheet.cells);
            if (cell.kind != StoredCell::Kind::Empty) {
                std::uint64_t last = std::min<std::uint64_t>(col_ + colRepeat_, SheetStore::kCols);
                for (std::uint64_t c = col_; c < last; ++c) {
                    sheet.cells.Put(static_cast<std::uint32_t>(row_), static_cast<std::uint32_t>(c),
                                    cell);
                    CheckRoom();
                }
            }
        }
        col_ = std::min(col_ + colRepeat_, kFar);
    }

    void CheckRoom() const {
        StoredWorkbook::CheckRoom(Part().Workbook(), bytesBefore_ + sheets.back().cells.Bytes());
    }

    int skip_ = 0;
    bool inTable_ = false;
    bool inRow_ = false;
    bool inCell_ = false;
    bool inParagraph_ = false;
    bool paragraphStart_ = false;
    bool pendingSpace_ = false;
    bool collect_ = false;
    bool error_ = false;
    bool formula_ = false;
    int cellDepth_ = 0;
    int paragraphs_ = 0;
    std::uint64_t bytesBefore_ = 0;
    std::uint64_t row_ = 0;
    std::uint64_t col_ = 0;
    std::uint64_t rowRepeat_ = 1;
    std::uint64_t colRepeat_ = 1;
    ValueType type_ = ValueType::None;
    OdsStyles styles_;
    bool percentStyle_ = false;
    XmlName styleNs_ = nullptr, numberNs_ = nullptr, styleTag_ = nullptr, percentTag_ = nullptr,
            dataStyleName_ = nullptr, styleName_ = nullptr;
    StoredCell cell_ = StoredCell::Empty();
    std::string text_;
    std::string stringText_;  // office:string-value
    bool hasStringValue_ = false;
    XmlName office_ = nullptr, table_ = nullptr, textNs_ = nullptr, calcExt_ = nullptr,
            draw_ = nullptr;
    XmlName tableTag_ = nullptr, rowTag_ = nullptr, cellTag_ = nullptr, coveredTag_ = nullptr,
            annotation_ = nullptr, note_ = nullptr, rubyText_ = nullptr, p_ = nullptr, h_ = nullptr,
            s_ = nullptr, tab_ = nullptr, lineBreak_ = nullptr;
    XmlName name_ = nullptr, c_ = nullptr, rowsRepeated_ = nullptr, columnsRepeated_ = nullptr,
            valueType_ = nullptr, valueAttr_ = nullptr, dateValue_ = nullptr, timeValue_ = nullptr,
            booleanValue_ = nullptr, stringValue_ = nullptr, formulaAttr_ = nullptr;
};

}  // namespace

std::vector<StoredSheet> OdsContent::Read(PartReader& part, OdsStyles styles) {
    ContentParser parser(std::move(styles));
    parser.Parse(part);
    return std::move(parser.sheets);
}

std::string OdsContent::ErrorText(const std::string& shown) {
    for (const char* known : {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A"}) {
        if (shown == known) {
            return shown;
        }
    }
    static constexpr struct {
        const char* code;
        const char* text;
    } kCodes[] = {{"Err:502", "#VALUE!"}, {"Err:503", "#NUM!"},   {"Err:504", "#VALUE!"},
                  {"Err:511", "#VALUE!"}, {"Err:519", "#VALUE!"}, {"Err:522", "#VALUE!"},
                  {"Err:524", "#REF!"},   {"Err:525", "#NAME?"},  {"Err:532", "#DIV/0!"}};
    for (const auto& entry : kCodes) {
        if (shown == entry.code) {
            return entry.text;
        }
    }
    return "#N/A";
}

}  // namespace ledgerlift
