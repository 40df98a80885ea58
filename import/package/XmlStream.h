#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "import/core/PartReader.h"

struct _xmlParserCtxt;
struct _xmlError;

namespace ledgerlift {

// A name (element, attribute or namespace) as the parser keeps it: every
// occurrence of the same name is the same pointer, so names compare by
// pointer. XmlStream::Intern gives the pointer for a name to compare with;
// nullptr stands for "no namespace".
using XmlName = const char*;

// One element's start as the stream reports it: its local name, namespace and
// attributes. Valid only during the call it is handed to.
class XmlElement {
  public:
    XmlElement(const unsigned char* name, const unsigned char* ns, int attributeCount,
               const unsigned char** attributes)
        : name_(reinterpret_cast<XmlName>(name)),
          ns_(reinterpret_cast<XmlName>(ns)),
          attributeCount_(attributeCount),
          attributes_(attributes) {}

    XmlName Name() const { return name_; }
    XmlName Namespace() const { return ns_; }
    bool Is(XmlName name) const { return name_ == name; }
    bool Is(XmlName ns, XmlName name) const { return name_ == name && ns_ == ns; }

    // The attributes one by one: five pointers each (local name, prefix,
    // namespace, value, end of value), entities already replaced.
    int AttributeCount() const { return attributeCount_; }
    XmlName AttributeName(int i) const { return At(i, 0); }
    XmlName AttributeNamespace(int i) const { return At(i, 2); }
    std::string_view AttributeValue(int i) const {
        return std::string_view(At(i, 3), static_cast<std::size_t>(At(i, 4) - At(i, 3)));
    }
    // The value of the attribute with this name and namespace.
    std::optional<std::string_view> Attribute(XmlName name, XmlName ns = nullptr) const {
        for (int i = 0; i < attributeCount_; ++i) {
            if (AttributeName(i) == name && AttributeNamespace(i) == ns) {
                return AttributeValue(i);
            }
        }
        return std::nullopt;
    }

  private:
    const char* At(int i, int k) const {
        return reinterpret_cast<const char*>(attributes_[5 * i + k]);
    }

    XmlName name_;
    XmlName ns_;
    int attributeCount_;
    const unsigned char** attributes_;
};

// Parses one XML part of a workbook as a stream of events (libxml2's SAX2
// parser), never as a tree: memory stays small whatever the part's size.
//
// The parse is safe against hostile parts: no network access, no external
// entity or DTD loading, no entity expansion; a part that declares a document
// type at all is refused, since no workbook part has one. A part that is not
// well-formed is refused with its name and the line of the fault.
class XmlStream {
  public:
    virtual ~XmlStream() = default;
    // Throws WorkbookError; an error thrown by a handler ends the parse and
    // comes out of here.
    void Parse(PartReader& part);

  protected:
    // Called once the parse is set up, before the first element: the place
    // to intern the names that the handlers compare with.
    virtual void OnBegin() = 0;
    virtual void OnStart(const XmlElement& element) = 0;
    virtual void OnEnd(XmlName name, XmlName ns) = 0;
    virtual void OnText(std::string_view) {}

    // The parser's pointer for a name; only during the parse.
    XmlName Intern(const char* name) const;

    // Ends the parse early and without error: the rest is not needed.
    void Stop();
    // The line being parsed, from 1.
    int Line() const;
    const PartReader& Part() const { return *part_; }
    // Throws "The workbook ... is damaged: in its part ..., line ..., <what>."
    [[noreturn]] void Fail(const std::string& what) const;

  private:
    static int ReadChunk(void* self, char* buffer, int size);
    static void StartElement(void* self, const unsigned char* name, const unsigned char* prefix,
                             const unsigned char* ns, int namespaceCount,
                             const unsigned char** namespaces, int attributeCount,
                             int defaultedCount, const unsigned char** attributes);
    static void EndElement(void* self, const unsigned char* name, const unsigned char* prefix,
                           const unsigned char* ns);
    static void Characters(void* self, const unsigned char* text, int length);
    static void DocumentType(void* self, const unsigned char* name, const unsigned char* publicId,
                             const unsigned char* systemId);
    static void ParseError(void* self, _xmlError* error);
    void Capture();

    PartReader* part_ = nullptr;
    _xmlParserCtxt* context_ = nullptr;
    std::exception_ptr failure_;
    bool stopped_ = false;
    std::string firstError_;
    int firstErrorLine_ = 0;
};

}  // namespace ledgerlift
