#pragma once

#include <string>

struct _xmlError;

namespace ledgerlift {

// What a fault that libxml2 found in a part means, in our own words and on
// one line, for the operator: the library's own messages run over several
// lines ("indicate encoding !\nBytes: ...") and give advice meant for
// programmers ("use XML_PARSE_HUGE option"). The library's message itself
// still reaches the log of LibraryLogScope.
std::string XmlFaultText(const _xmlError& error);

}  // namespace ledgerlift
