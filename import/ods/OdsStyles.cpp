#include "import/ods/OdsStyles.h"

namespace ledgerlift {
namespace {

class StylesParser : public XmlStream {
  public:
    explicit StylesParser(OdsStyles& styles) : styles_(styles) {}

  protected:
    void OnBegin() override {
        style_ = Intern(kOdsStyleNs);
        number_ = Intern(kOdsNumberNs);
        styleTag_ = Intern("style");
        percentTag_ = Intern("percentage-style");
        name_ = Intern("name");
        dataStyleName_ = Intern("data-style-name");
    }
    void OnStart(const XmlElement& e) override {
        styles_.Take(e, style_, number_, styleTag_, percentTag_, name_, dataStyleName_);
    }
    void OnEnd(XmlName, XmlName) override {}
    void OnText(std::string_view) override {}

  private:
    OdsStyles& styles_;
    XmlName style_ = nullptr, number_ = nullptr, styleTag_ = nullptr, percentTag_ = nullptr,
            name_ = nullptr, dataStyleName_ = nullptr;
};

}  // namespace

void OdsStyles::Parse(PartReader& part) {
    StylesParser parser(*this);
    parser.Parse(part);
}

void OdsStyles::Take(const XmlElement& e, XmlName styleNs, XmlName numberNs, XmlName styleTag,
                     XmlName percentTag, XmlName name, XmlName dataStyleName) {
    if (e.Is(numberNs, percentTag)) {
        if (auto styleName = e.Attribute(name, styleNs)) {
            percentDataStyles_.emplace(*styleName);
        }
    } else if (e.Is(styleNs, styleTag)) {
        auto styleName = e.Attribute(name, styleNs);
        auto dataStyle = e.Attribute(dataStyleName, styleNs);
        if (styleName && dataStyle) {
            cellStyles_[std::string(*styleName)] = std::string(*dataStyle);
        }
    }
}

bool OdsStyles::ShowsPercent(std::string_view cellStyle) const {
    auto it = cellStyles_.find(cellStyle);
    return it != cellStyles_.end() && percentDataStyles_.count(it->second) > 0;
}

}  // namespace ledgerlift
