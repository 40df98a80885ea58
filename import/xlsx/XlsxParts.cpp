#include "import/xlsx/XlsxParts.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <unordered_map>

#include "import/core/DateFormat.h"
#include "import/core/Utf8.h"
#include "import/core/WorkbookReader.h"
#include "import/package/XmlStream.h"

namespace ledgerlift {
namespace {

// The main namespace of transitional and strict workbooks.
const char* const kSpreadsheetNs[] = {"http://schemas.openxmlformats.org/spreadsheetml/2006/main",
                                      "http://purl.oclc.org/ooxml/spreadsheetml/main"};
// The namespaces of relationship ids in transitional and strict workbooks.
const char* const kRelationshipNs[] = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
    "http://purl.oclc.org/ooxml/officeDocument/relationships"};

int Hex(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = static_cast<char>(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// _xHHHH_ at text[i]: its code unit, or -1.
long EscapeAt(std::string_view text, std::size_t i) {
    if (i + 7 > text.size() || text[i] != '_' || text[i + 1] != 'x' || text[i + 6] != '_') {
        return -1;
    }
    long unit = 0;
    for (std::size_t k = i + 2; k < i + 6; ++k) {
        int h = Hex(text[k]);
        if (h < 0) {
            return -1;
        }
        unit = unit * 16 + h;
    }
    return unit;
}

std::uint32_t ToUint(std::string_view text, std::uint32_t otherwise) {
    std::uint32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() ? value : otherwise;
}

bool IsTrue(std::string_view text) {
    return text == "1" || text == "true";
}

class WorkbookParser : public XmlStream {
  public:
    explicit WorkbookParser(XlsxWorkbookPart& out) : out_(out) {}

  protected:
    void OnBegin() override {
        workbookPr_ = Intern("workbookPr");
        date1904_ = Intern("date1904");
        sheets_ = Intern("sheets");
        sheet_ = Intern("sheet");
        name_ = Intern("name");
        id_ = Intern("id");
        for (int i = 0; i < 2; ++i) {
            spreadsheetNs_[i] = Intern(kSpreadsheetNs[i]);
            relationshipNs_[i] = Intern(kRelationshipNs[i]);
        }
    }
    void OnStart(const XmlElement& e) override {
        // Only the workbook's own properties say the date system: newer
        // programs add elements of the same name in their extensions
        // (x15:workbookPr in extLst) that do not carry it.
        if (e.Is(spreadsheetNs_[0], workbookPr_) || e.Is(spreadsheetNs_[1], workbookPr_)) {
            out_.date1904 = IsTrue(e.Attribute(date1904_).value_or(""));
        } else if (e.Is(sheet_) && inSheets_) {
            XlsxWorkbookPart::Sheet sheet;
            sheet.name = std::string(e.Attribute(name_).value_or(""));
            for (XmlName ns : relationshipNs_) {
                if (auto id = e.Attribute(id_, ns)) {
                    sheet.relationshipId = std::string(*id);
                }
            }
            out_.sheets.push_back(std::move(sheet));
        } else if (e.Is(sheets_)) {
            inSheets_ = true;
        }
    }
    void OnEnd(XmlName name, XmlName) override {
        if (name == sheets_) {
            inSheets_ = false;
        }
    }

  private:
    XmlName workbookPr_ = nullptr, date1904_ = nullptr, sheets_ = nullptr, sheet_ = nullptr,
            name_ = nullptr, id_ = nullptr;
    XmlName spreadsheetNs_[2] = {nullptr, nullptr};
    XmlName relationshipNs_[2] = {nullptr, nullptr};
    XlsxWorkbookPart& out_;
    bool inSheets_ = false;
};

class SharedStringsParser : public XmlStream {
  public:
    explicit SharedStringsParser(SharedStrings& out) : out_(out) {}

  protected:
    void OnBegin() override {
        si_ = Intern("si");
        rPh_ = Intern("rPh");
        t_ = Intern("t");
    }
    void OnStart(const XmlElement& e) override {
        if (e.Is(si_)) {
            inItem_ = true;
            text_.clear();
        } else if (e.Is(rPh_)) {
            ++phonetic_;
        } else if (e.Is(t_) && inItem_ && phonetic_ == 0) {
            inText_ = true;
        }
    }
    void OnEnd(XmlName name, XmlName) override {
        if (name == t_) {
            inText_ = false;
        } else if (name == rPh_ && phonetic_ > 0) {
            --phonetic_;
        } else if (name == si_) {
            if (text_.find("_x") == std::string::npos) {
                Add(text_);  // nothing to decode: no copy on the way
            } else {
                Add(DecodeXlsxText(text_));
            }
            inItem_ = false;
        }
    }
    void OnText(std::string_view text) override {
        if (inText_) {
            // Refused as it grows, before a huge text is held whole.
            if (!out_.Fits(text_.size() + text.size())) {
                TooMuchText();
            }
            text_.append(text);
        }
    }

  private:
    void Add(const std::string& text) {
        if (!out_.Fits(text.size())) {
            TooMuchText();
        }
        out_.Add(text);
    }

    [[noreturn]] void TooMuchText() const {
        throw WorkbookError("The workbook " + Part().Workbook() +
                            " is refused: its shared strings (" + Part().Part() +
                            ") hold more than " + MegabytesText(out_.Limit()) +
                            " of text, far beyond any real workbook. It is not loaded.");
    }

    XmlName si_ = nullptr, rPh_ = nullptr, t_ = nullptr;
    SharedStrings& out_;
    std::string text_;
    bool inItem_ = false;
    bool inText_ = false;
    int phonetic_ = 0;
};

class StylesParser : public XmlStream {
  public:
    std::unordered_map<std::uint32_t, std::string> formats;
    std::vector<std::uint32_t> xfFormats;

  protected:
    void OnBegin() override {
        numFmts_ = Intern("numFmts");
        numFmt_ = Intern("numFmt");
        numFmtId_ = Intern("numFmtId");
        formatCode_ = Intern("formatCode");
        cellXfs_ = Intern("cellXfs");
        xf_ = Intern("xf");
    }
    void OnStart(const XmlElement& e) override {
        if (e.Is(numFmts_)) {
            inFormats_ = true;
        } else if (e.Is(cellXfs_)) {
            inCellXfs_ = true;
        } else if (e.Is(numFmt_) && inFormats_) {
            std::uint32_t id = ToUint(e.Attribute(numFmtId_).value_or(""), 0);
            formats[id] = std::string(e.Attribute(formatCode_).value_or(""));
        } else if (e.Is(xf_) && inCellXfs_) {
            xfFormats.push_back(ToUint(e.Attribute(numFmtId_).value_or("0"), 0));
        }
    }
    void OnEnd(XmlName name, XmlName) override {
        if (name == numFmts_) {
            inFormats_ = false;
        } else if (name == cellXfs_) {
            inCellXfs_ = false;
        }
    }

  private:
    XmlName numFmts_ = nullptr, numFmt_ = nullptr, numFmtId_ = nullptr, formatCode_ = nullptr,
            cellXfs_ = nullptr, xf_ = nullptr;
    bool inFormats_ = false;
    bool inCellXfs_ = false;
};

}  // namespace

std::string DecodeXlsxText(std::string_view text) {
    if (text.find("_x") == std::string_view::npos) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        long unit = EscapeAt(text, i);
        if (unit < 0) {
            out += text[i++];
            continue;
        }
        i += 7;
        if (unit >= 0xD800 && unit < 0xDC00) {
            long low = EscapeAt(text, i);
            if (low >= 0xDC00 && low < 0xE000) {
                AppendUtf8(out, 0x10000 + ((static_cast<std::uint32_t>(unit) - 0xD800) << 10) +
                                    (static_cast<std::uint32_t>(low) - 0xDC00));
                i += 7;
                continue;
            }
        }
        AppendUtf8(out,
                   unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : static_cast<std::uint32_t>(unit));
    }
    return out;
}

void XlsxWorkbookPart::Parse(PartReader& part) {
    WorkbookParser parser(*this);
    parser.Parse(part);
}

SharedStrings ParseSharedStrings(PartReader& part, std::uint64_t limit) {
    SharedStrings out(limit);
    SharedStringsParser parser(out);
    parser.Parse(part);
    return out;
}

void XlsxStyles::Parse(PartReader& part) {
    StylesParser parser;
    parser.Parse(part);
    isDate_.assign(parser.xfFormats.size(), false);
    isPercent_.assign(parser.xfFormats.size(), false);
    for (std::size_t i = 0; i < parser.xfFormats.size(); ++i) {
        std::uint32_t id = parser.xfFormats[i];
        auto it = parser.formats.find(id);
        int number = static_cast<int>(std::min<std::uint32_t>(id, 1u << 30));
        std::optional<std::string_view> text =
            it == parser.formats.end() ? std::nullopt : std::optional<std::string_view>(it->second);
        isDate_[i] = FormatShowsDate(number, text);
        isPercent_[i] = FormatShowsPercent(number, text);
    }
}

}  // namespace ledgerlift
