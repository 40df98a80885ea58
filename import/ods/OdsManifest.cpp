#include "import/ods/OdsManifest.h"

#include "import/package/XmlStream.h"

namespace ledgerlift {
namespace {

const char* const kManifestNs = "urn:oasis:names:tc:opendocument:xmlns:manifest:1.0";

class ManifestParser : public XmlStream {
  public:
    explicit ManifestParser(OdsManifest& out) : out_(out) {}

  protected:
    void OnBegin() override {
        ns_ = Intern(kManifestNs);
        fileEntry_ = Intern("file-entry");
        encryptionData_ = Intern("encryption-data");
        fullPath_ = Intern("full-path");
        mediaType_ = Intern("media-type");
    }
    void OnStart(const XmlElement& e) override {
        if (e.Is(ns_, encryptionData_)) {
            out_.encrypted = true;
        } else if (e.Is(ns_, fileEntry_) && e.Attribute(fullPath_, ns_) == "/") {
            out_.mediaType = std::string(e.Attribute(mediaType_, ns_).value_or(""));
        }
    }
    void OnEnd(XmlName, XmlName) override {}

  private:
    OdsManifest& out_;
    XmlName ns_ = nullptr, fileEntry_ = nullptr, encryptionData_ = nullptr, fullPath_ = nullptr,
            mediaType_ = nullptr;
};

}  // namespace

void OdsManifest::Parse(PartReader& part) {
    ManifestParser parser(*this);
    parser.Parse(part);
}

}  // namespace ledgerlift
