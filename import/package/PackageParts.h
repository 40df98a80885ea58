#pragma once

#include <map>
#include <string>
#include <vector>

#include "import/core/PartReader.h"

namespace ledgerlift {

// How the parts of an Office Open XML package find each other: the content
// type of each part ([Content_Types].xml) and each part's relationships
// (_rels/<part>.rels), whose targets name other parts. Transitional and strict
// packages alike: relationship types are told by their last segment.

struct Relationship {
    std::string id;
    std::string type;    // the full type URI
    std::string target;  // the part it names, resolved ("xl/worksheets/sheet1.xml")
    bool external = false;

    // The last segment of the type: "officeDocument", "worksheet", ...
    std::string Kind() const;
};

// The name of the part that holds a part's relationships; "" is the package.
std::string RelationshipsPartOf(const std::string& part);
// A relationship's target as a part name: relative to the folder of the
// source part, or absolute from the package root; %-escapes decoded.
std::string ResolveTarget(const std::string& sourcePart, const std::string& target);
// Parses a relationships part whose source is sourcePart.
std::vector<Relationship> ParseRelationships(PartReader& part, const std::string& sourcePart);

// The content types of a package's parts.
class ContentTypes {
  public:
    void Parse(PartReader& part);
    // The part's type: its override, else the default for its extension;
    // "" when neither is given. Part names compare in any letter case.
    std::string Of(const std::string& part) const;

  private:
    std::map<std::string, std::string> defaults_;   // lower-case extension -> type
    std::map<std::string, std::string> overrides_;  // lower-case part name -> type
};

}  // namespace ledgerlift
