#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "import/core/PartReader.h"
#include "import/package/XmlStream.h"

namespace ledgerlift {

// The cell styles of an .ods workbook that show a number as a percentage:
// the table-cell styles whose data style is a number:percentage-style. A
// program that writes a percentage as value-type "float" (gnumeric does)
// marks it only so. Styles come from styles.xml and from the automatic
// styles at the head of content.xml.
class OdsStyles {
  public:
    // Reads the styles of a part (styles.xml).
    void Parse(PartReader& part);
    // Takes in one element of a part's styles, as a parser meets it.
    void Take(const XmlElement& e, XmlName styleNs, XmlName numberNs, XmlName styleTag,
              XmlName percentTag, XmlName name, XmlName dataStyleName);
    bool ShowsPercent(std::string_view cellStyle) const;

  private:
    std::set<std::string, std::less<>> percentDataStyles_;
    // Cell style -> its data style.
    std::map<std::string, std::string, std::less<>> cellStyles_;
};

// The namespaces of styles and data styles.
inline constexpr const char* kOdsStyleNs = "urn:oasis:names:tc:opendocument:xmlns:style:1.0";
inline constexpr const char* kOdsNumberNs = "urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0";

}  // namespace ledgerlift
