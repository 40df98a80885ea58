#include "tests/PackageWriter.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile-zip.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace ledgerlift::test {
namespace {

GsfOutput* OpenSink(const std::string& path) {
    gsf_init();
    GError* error = nullptr;
    GsfOutput* sink = gsf_output_stdio_new(path.c_str(), &error);
    if (error) {
        g_error_free(error);
    }
    if (!sink) {
        throw std::runtime_error("cannot write " + path);
    }
    return sink;
}

void Write(GsfOutput* out, const std::string& bytes) {
    gsf_output_write(out, bytes.size(), reinterpret_cast<const guint8*>(bytes.data()));
    gsf_output_close(out);
    g_object_unref(out);
}

const char* const kSheetHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<sheetData>";

}  // namespace

void WriteZip(const std::string& path, const Parts& parts) {
    GsfOutput* sink = OpenSink(path);
    GError* error = nullptr;
    GsfOutfile* zip = gsf_outfile_zip_new(sink, &error);
    g_object_unref(sink);
    if (!zip) {
        throw std::runtime_error("cannot make a zip package");
    }
    std::map<std::string, GsfOutfile*> folders;
    for (const auto& [name, bytes] : parts) {
        GsfOutfile* folder = zip;
        std::string done;
        std::size_t start = 0;
        for (std::size_t slash; (slash = name.find('/', start)) != std::string::npos;
             start = slash + 1) {
            done += name.substr(start, slash - start) + "/";
            auto it = folders.find(done);
            if (it == folders.end()) {
                GsfOutput* child =
                    gsf_outfile_new_child(folder, name.substr(start, slash - start).c_str(), TRUE);
                it = folders.emplace(done, GSF_OUTFILE(child)).first;
            }
            folder = it->second;
        }
        Write(gsf_outfile_new_child(folder, name.substr(start).c_str(), FALSE), bytes);
    }
    // Folders close after their children, deepest first.
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        gsf_output_close(GSF_OUTPUT(it->second));
        g_object_unref(it->second);
    }
    gsf_output_close(GSF_OUTPUT(zip));
    g_object_unref(zip);
}

void WriteCompoundFile(const std::string& path, const Parts& streams) {
    GsfOutput* sink = OpenSink(path);
    GsfOutfile* ole = gsf_outfile_msole_new(sink);
    g_object_unref(sink);
    for (const auto& [name, bytes] : streams) {
        Write(gsf_outfile_new_child(ole, name.c_str(), FALSE), bytes);
    }
    gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
}

Parts XlsxParts(const std::vector<std::string>& sheetData,
                const std::vector<std::string>& sharedStrings) {
    std::string types =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/"
        "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "</Types>";
    std::string rels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
    std::string workbook =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<sheets>";
    std::string workbookRels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    Parts sheets;
    for (std::size_t i = 0; i < sheetData.size(); ++i) {
        std::string n = std::to_string(i + 1);
        workbook += "<sheet name=\"Sheet" + n + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        workbookRels += "<Relationship Id=\"rId" + n +
                        "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                        "relationships/worksheet\" Target=\"worksheets/sheet" +
                        n + ".xml\"/>";
        sheets.push_back({"xl/worksheets/sheet" + n + ".xml",
                          kSheetHead + sheetData[i] + "</sheetData></worksheet>"});
    }
    workbook += "</sheets></workbook>";
    Parts parts{{"[Content_Types].xml", types}, {"_rels/.rels", rels}};
    if (!sharedStrings.empty()) {
        workbookRels +=
            "<Relationship Id=\"rIdS\" "
            "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
            "sharedStrings\" Target=\"sharedStrings.xml\"/>";
        std::string sst =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
            "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
        for (const auto& s : sharedStrings) {
            sst += "<si><t xml:space=\"preserve\">" + s + "</t></si>";
        }
        parts.push_back({"xl/sharedStrings.xml", sst + "</sst>"});
    }
    workbookRels += "</Relationships>";
    parts.push_back({"xl/workbook.xml", workbook});
    parts.push_back({"xl/_rels/workbook.xml.rels", workbookRels});
    parts.insert(parts.end(), sheets.begin(), sheets.end());
    return parts;
}

std::string OdsContentXml(const std::string& tables) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<office:document-content "
           "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
           "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
           "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
           "xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\" "
           "office:version=\"1.2\"><office:body><office:spreadsheet>" +
           tables + "</office:spreadsheet></office:body></office:document-content>";
}

Parts OdsParts(const std::string& tables) {
    return {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
            {"content.xml", OdsContentXml(tables)}};
}

void SetPart(Parts& parts, const std::string& name, const std::string& bytes) {
    for (auto& [n, b] : parts) {
        if (n == name) {
            b = bytes;
            return;
        }
    }
    parts.push_back({name, bytes});
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace ledgerlift::test
