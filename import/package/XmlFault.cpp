#include "import/package/XmlFault.h"

#include <libxml/xmlerror.h>

#include <string_view>

namespace ledgerlift {
namespace {

const char* const kNoText =
    "it holds bytes that are no text in its encoding (UTF-8 unless the part names another)";

std::string Name(const char* name) {
    return name && *name ? std::string(name) : std::string("?");
}

// Faults whose sentence names the elements concerned.
std::string ElementFault(const xmlError& error) {
    if (error.code == XML_ERR_TAG_NAME_MISMATCH) {
        return "the element <" + Name(error.str1) + "> opened on line " +
               std::to_string(error.int1) + " is closed by </" + Name(error.str2) + ">";
    }
    return "the part ends before the element <" + Name(error.str1) + "> opened on line " +
           std::to_string(error.int1) + " is closed";
}

}  // namespace

std::string XmlFaultText(const _xmlError& error) {
    switch (error.code) {
        case XML_ERR_TAG_NAME_MISMATCH:
        case XML_ERR_TAG_NOT_FINISHED:
            return ElementFault(error);
        case XML_ERR_DOCUMENT_EMPTY:
            return "the part holds no XML at all";
        case XML_ERR_DOCUMENT_END:
        case XML_ERR_EXTRA_CONTENT:
        case XML_ERR_NOT_WELL_BALANCED:
            return "more follows the end of the part's document";
        case XML_ERR_INVALID_CHAR:
            // The same code serves bytes that are no text at all.
            if (error.message && std::string_view(error.message).starts_with("Input is not")) {
                return kNoText;
            }
            return "it holds a character that XML does not allow";
        case XML_ERR_INVALID_CHARREF:
            return "it holds a character that XML does not allow";
        case XML_ERR_INVALID_ENCODING:
            return kNoText;
        case XML_ERR_UNKNOWN_ENCODING:
        case XML_ERR_UNSUPPORTED_ENCODING:
            return "it names an encoding that cannot be read";
        case XML_ERR_UNDECLARED_ENTITY:
        case XML_ERR_ENTITYREF_SEMICOL_MISSING:
            return "an & starts no reference that XML knows";
        case XML_ERR_LT_IN_ATTRIBUTE:
            return "an attribute's value holds a <";
        case XML_ERR_ATTRIBUTE_REDEFINED:
            return "an element has the same attribute twice";
        case XML_ERR_RESERVED_XML_NAME:
            return "an XML declaration stands elsewhere than at the start";
        case XML_ERR_GT_REQUIRED:
            return "a tag is not closed by >";
        case XML_ERR_NO_MEMORY:
            return "there was not enough memory to read it";
        case XML_ERR_INTERNAL_ERROR:
        case XML_ERR_NAME_TOO_LONG:
            return "it nests elements deeper, or holds a name or value longer, than the XML "
                   "reader takes; no workbook part does";
        default:
            return "it breaks the rules of XML there";
    }
}

}  // namespace ledgerlift
