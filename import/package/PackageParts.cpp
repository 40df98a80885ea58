#include "import/package/PackageParts.h"

#include <cctype>

#include "import/package/XmlStream.h"

namespace ledgerlift {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = static_cast<char>(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string PercentDecoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
            HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

class RelationshipsParser : public XmlStream {
  public:
    RelationshipsParser(std::string source, std::vector<Relationship>& out)
        : source_(std::move(source)), out_(out) {}

  protected:
    void OnBegin() override {
        relationship_ = Intern("Relationship");
        id_ = Intern("Id");
        type_ = Intern("Type");
        target_ = Intern("Target");
        targetMode_ = Intern("TargetMode");
    }
    void OnStart(const XmlElement& e) override {
        if (!e.Is(relationship_)) {
            return;
        }
        Relationship r;
        r.id = std::string(e.Attribute(id_).value_or(""));
        r.type = std::string(e.Attribute(type_).value_or(""));
        std::string target(e.Attribute(target_).value_or(""));
        r.external = e.Attribute(targetMode_).value_or("") == "External";
        r.target = r.external ? target : ResolveTarget(source_, target);
        out_.push_back(std::move(r));
    }
    void OnEnd(XmlName, XmlName) override {}

  private:
    XmlName relationship_ = nullptr, id_ = nullptr, type_ = nullptr, target_ = nullptr,
            targetMode_ = nullptr;
    std::string source_;
    std::vector<Relationship>& out_;
};

class ContentTypesParser : public XmlStream {
  public:
    ContentTypesParser(std::map<std::string, std::string>& defaults,
                       std::map<std::string, std::string>& overrides)
        : defaults_(defaults), overrides_(overrides) {}

  protected:
    void OnBegin() override {
        default_ = Intern("Default");
        override_ = Intern("Override");
        contentType_ = Intern("ContentType");
        extension_ = Intern("Extension");
        partName_ = Intern("PartName");
    }
    void OnStart(const XmlElement& e) override {
        std::string type(e.Attribute(contentType_).value_or(""));
        if (e.Is(default_)) {
            defaults_[Lower(std::string(e.Attribute(extension_).value_or("")))] = type;
        } else if (e.Is(override_)) {
            std::string name(e.Attribute(partName_).value_or(""));
            overrides_[Lower(ResolveTarget("", name))] = type;
        }
    }
    void OnEnd(XmlName, XmlName) override {}

  private:
    XmlName default_ = nullptr, override_ = nullptr, contentType_ = nullptr, extension_ = nullptr,
            partName_ = nullptr;
    std::map<std::string, std::string>& defaults_;
    std::map<std::string, std::string>& overrides_;
};

}  // namespace

std::string Relationship::Kind() const {
    std::size_t slash = type.find_last_of('/');
    return slash == std::string::npos ? type : type.substr(slash + 1);
}

std::string RelationshipsPartOf(const std::string& part) {
    std::size_t slash = part.find_last_of('/');
    std::string folder = slash == std::string::npos ? "" : part.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? part : part.substr(slash + 1);
    return folder + "_rels/" + name + ".rels";
}

std::string ResolveTarget(const std::string& sourcePart, const std::string& target) {
    std::string path = PercentDecoded(target);
    if (!path.empty() && path[0] == '/') {
        path.erase(0, 1);
    } else {
        std::size_t slash = sourcePart.find_last_of('/');
        path = (slash == std::string::npos ? "" : sourcePart.substr(0, slash + 1)) + path;
    }
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) {
            slash = path.size();
        }
        std::string segment = path.substr(start, slash - start);
        if (segment == "..") {
            if (!segments.empty()) {
                segments.pop_back();
            }
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = slash + 1;
    }
    std::string out;
    for (const auto& segment : segments) {
        out += (out.empty() ? "" : "/") + segment;
    }
    return out;
}

std::vector<Relationship> ParseRelationships(PartReader& part, const std::string& sourcePart) {
    std::vector<Relationship> out;
    RelationshipsParser parser(sourcePart, out);
    parser.Parse(part);
    return out;
}

void ContentTypes::Parse(PartReader& part) {
    ContentTypesParser parser(defaults_, overrides_);
    parser.Parse(part);
}

std::string ContentTypes::Of(const std::string& part) const {
    std::string name = Lower(part);
    if (auto it = overrides_.find(name); it != overrides_.end()) {
        return it->second;
    }
    std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) {
        if (auto it = defaults_.find(name.substr(dot + 1)); it != defaults_.end()) {
            return it->second;
        }
    }
    return "";
}

}  // namespace ledgerlift
