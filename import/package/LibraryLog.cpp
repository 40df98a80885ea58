#include "import/package/LibraryLog.h"

#include <glib.h>
#include <libxml/globals.h>
#include <libxml/xmlerror.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ledgerlift {
namespace {

void GLibMessage(const gchar* domain, GLogLevelFlags, const gchar* message, gpointer) {
    if (LibraryLogScope::Verbose()) {
        std::fprintf(stderr, "ledgerlift: [%s] %s\n", domain ? domain : "GLib",
                     message ? message : "");
    }
}

void XmlGenericMessage(void*, const char* format, ...) {
    if (LibraryLogScope::Verbose()) {
        std::va_list args;
        va_start(args, format);
        std::fprintf(stderr, "ledgerlift: [libxml2] ");
        std::vfprintf(stderr, format, args);
        va_end(args);
    }
}

void XmlStructuredMessage(void*, xmlErrorPtr error) {
    if (LibraryLogScope::Verbose() && error && error->message) {
        std::fprintf(stderr, "ledgerlift: [libxml2] line %d: %s", error->line, error->message);
    }
}

// What a library prints itself (libgsf prints a damaged zip entry's header
// so), shown only when verbose.
void GLibPrint(const gchar* text) {
    if (LibraryLogScope::Verbose()) {
        std::fprintf(stderr, "ledgerlift: [GLib] %s", text ? text : "");
    }
}

}  // namespace

bool LibraryLogScope::Verbose() {
    const char* value = std::getenv("LEDGERLIFT_VERBOSE");
    return value && *value && std::strcmp(value, "0") != 0;
}

LibraryLogScope::LibraryLogScope()
    : glibHandler_(reinterpret_cast<void*>(g_log_set_default_handler(GLibMessage, nullptr))),
      xmlGenericHandler_(reinterpret_cast<void*>(xmlGenericError)),
      xmlGenericContext_(xmlGenericErrorContext),
      xmlStructuredHandler_(reinterpret_cast<void*>(xmlStructuredError)),
      xmlStructuredContext_(xmlStructuredErrorContext),
      printHandler_(reinterpret_cast<void*>(g_set_print_handler(GLibPrint))),
      printerrHandler_(reinterpret_cast<void*>(g_set_printerr_handler(GLibPrint))) {
    xmlSetGenericErrorFunc(nullptr, XmlGenericMessage);
    xmlSetStructuredErrorFunc(nullptr, XmlStructuredMessage);
}

LibraryLogScope::~LibraryLogScope() {
    xmlSetStructuredErrorFunc(xmlStructuredContext_,
                              reinterpret_cast<xmlStructuredErrorFunc>(xmlStructuredHandler_));
    xmlSetGenericErrorFunc(xmlGenericContext_,
                           reinterpret_cast<xmlGenericErrorFunc>(xmlGenericHandler_));
    g_log_set_default_handler(reinterpret_cast<GLogFunc>(glibHandler_), nullptr);
    g_set_printerr_handler(reinterpret_cast<GPrintFunc>(printerrHandler_));
    g_set_print_handler(reinterpret_cast<GPrintFunc>(printHandler_));
}

}  // namespace ledgerlift
