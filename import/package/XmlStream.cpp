#include "import/package/XmlStream.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

#include <memory>

#include "import/core/WorkbookFile.h"
#include "import/package/XmlFault.h"

namespace ledgerlift {
namespace {

XmlStream* Self(void* self) {
    return static_cast<XmlStream*>(self);
}

struct ContextReleaser {
    void operator()(xmlParserCtxtPtr context) const {
        if (context->myDoc) {
            xmlFreeDoc(context->myDoc);
        }
        xmlFreeParserCtxt(context);
    }
};

}  // namespace

void XmlStream::Parse(PartReader& part) {
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    (void)initialised;
    part_ = &part;
    failure_ = nullptr;
    stopped_ = false;
    firstError_.clear();
    firstErrorLine_ = 0;

    xmlSAXHandler sax{};
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = StartElement;
    sax.endElementNs = EndElement;
    sax.characters = Characters;
    sax.ignorableWhitespace = Characters;
    sax.cdataBlock = Characters;
    sax.internalSubset = DocumentType;
    sax.externalSubset = DocumentType;
    sax.serror = ParseError;
    std::unique_ptr<xmlParserCtxt, ContextReleaser> context(
        xmlCreateIOParserCtxt(&sax, this, ReadChunk, nullptr, this, XML_CHAR_ENCODING_NONE));
    if (!context) {
        throw Damaged(part.Workbook(), "its part " + part.Part() + " could not be parsed");
    }
    // No network, no DTD loading, no entity replacement: the defaults, stated.
    xmlCtxtUseOptions(context.get(), XML_PARSE_NONET);
    context_ = context.get();
    OnBegin();
    xmlParseDocument(context.get());
    bool wellFormed = context->wellFormed != 0;
    context_ = nullptr;
    context.reset();
    if (failure_) {
        std::rethrow_exception(failure_);
    }
    if (!stopped_ && !wellFormed) {
        throw Damaged(part.Workbook(),
                      "its part " + part.Part() + " is not well-formed XML (line " +
                          std::to_string(firstErrorLine_) + ": " +
                          (firstError_.empty() ? "unreadable" : firstError_) + ")");
    }
}

XmlName XmlStream::Intern(const char* name) const {
    return reinterpret_cast<XmlName>(
        xmlDictLookup(context_->dict, reinterpret_cast<const xmlChar*>(name), -1));
}

void XmlStream::Stop() {
    stopped_ = true;
    if (context_) {
        xmlStopParser(context_);
    }
}

int XmlStream::Line() const {
    return context_ ? xmlSAX2GetLineNumber(context_) : 0;
}

void XmlStream::Fail(const std::string& what) const {
    throw Damaged(part_->Workbook(), "in its part " + part_->Part() + ", line " +
                                         std::to_string(Line()) + ", " + what);
}

void XmlStream::Capture() {
    if (!failure_) {
        failure_ = std::current_exception();
    }
    if (context_) {
        xmlStopParser(context_);
    }
}

int XmlStream::ReadChunk(void* self, char* buffer, int size) {
    XmlStream* stream = Self(self);
    try {
        return static_cast<int>(stream->part_->Read(buffer, static_cast<std::size_t>(size)));
    } catch (...) {
        // A read error ends the parse by itself; stopping the parser here
        // would free the buffer that is being filled.
        if (!stream->failure_) {
            stream->failure_ = std::current_exception();
        }
        return -1;
    }
}

void XmlStream::StartElement(void* self, const unsigned char* name, const unsigned char*,
                             const unsigned char* ns, int, const unsigned char**,
                             int attributeCount, int, const unsigned char** attributes) {
    XmlStream* stream = Self(self);
    try {
        stream->OnStart(XmlElement(name, ns, attributeCount, attributes));
    } catch (...) {
        stream->Capture();
    }
}

void XmlStream::EndElement(void* self, const unsigned char* name, const unsigned char*,
                           const unsigned char* ns) {
    XmlStream* stream = Self(self);
    try {
        stream->OnEnd(reinterpret_cast<XmlName>(name), reinterpret_cast<XmlName>(ns));
    } catch (...) {
        stream->Capture();
    }
}

void XmlStream::Characters(void* self, const unsigned char* text, int length) {
    XmlStream* stream = Self(self);
    try {
        stream->OnText(std::string_view(reinterpret_cast<const char*>(text),
                                        static_cast<std::size_t>(length)));
    } catch (...) {
        stream->Capture();
    }
}

void XmlStream::DocumentType(void* self, const unsigned char*, const unsigned char*,
                             const unsigned char*) {
    XmlStream* stream = Self(self);
    try {
        throw WorkbookError("The workbook " + stream->part_->Workbook() + " is refused: its part " +
                            stream->part_->Part() + " declares a document type (line " +
                            std::to_string(stream->Line()) +
                            "), which no workbook part has; such declarations are never read.");
    } catch (...) {
        stream->Capture();
    }
}

void XmlStream::ParseError(void* self, _xmlError* error) {
    XmlStream* stream = Self(self);
    if (!error || error->level < XML_ERR_ERROR || !stream->firstError_.empty()) {
        return;
    }
    stream->firstError_ = XmlFaultText(*error);
    stream->firstErrorLine_ = error->line;
}

}  // namespace ledgerlift
