#pragma once

#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "import/PartReader.h"

struct _xmlParserCtxt;
struct _xmlError;

namespace ledgerlift {

// One element's start as the stream reports it: its local name, namespace and
// attributes. Valid only during the call it is handed to.
class XmlElement {
  public:
    XmlElement(const unsigned char* name, const unsigned char* ns, int attributeCount,
               const unsigned char** attributes)
        : name_(reinterpret_cast<const char*>(name)),
          ns_(ns ? reinterpret_cast<const char*>(ns) : ""),
          attributeCount_(attributeCount),
          attributes_(attributes) {}

    const char* Name() const { return name_; }
    const char* Namespace() const { return ns_; }
    bool Is(const char* name) const { return std::strcmp(name_, name) == 0; }
    bool Is(const char* ns, const char* name) const {
        return Is(name) && std::strcmp(ns_, ns) == 0;
    }
    // The value of an attribute with this local name, in this namespace (none
    // when ns is empty), entities already replaced.
    std::optional<std::string_view> Attribute(const char* name, const char* ns = "") const;

  private:
    const char* name_;
    const char* ns_;
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
    virtual void OnStart(const XmlElement& element) = 0;
    virtual void OnEnd(const char* name, const char* ns) = 0;
    virtual void OnText(std::string_view) {}

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
