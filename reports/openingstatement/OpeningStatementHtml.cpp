#include "reports/openingstatement/OpeningStatementHtml.h"

namespace ledgerlift {
namespace {

const char* const kStyle =
    "body{font-family:'DejaVu Sans',Verdana,sans-serif;font-size:10pt;color:#111;margin:2em}\n"
    "h1{font-size:16pt;margin:0 0 .6em}h2{font-size:12.5pt;margin:1.4em 0 .4em}\n"
    "p{margin:.15em 0}p.note{color:#444;font-size:9pt}\n"
    "table{border-collapse:collapse;width:100%;margin:.3em 0}\n"
    "th,td{padding:.12em .5em;vertical-align:top}th{border-bottom:1px solid #333;text-align:left}\n"
    "th.n,td.n{text-align:right;white-space:nowrap;font-variant-numeric:tabular-nums}\n"
    "tr.group td{font-weight:bold;padding-top:.5em}tr.total td{font-weight:bold;"
    "border-top:1px solid #999}\n"
    "tr.grand td{font-weight:bold;border-top:1px solid #333;border-bottom:3px double #333}\n"
    ".newpage{break-before:page}footer{margin-top:2em;color:#555;font-size:8.5pt}\n";

const char* RowClass(DocRow::Kind kind) {
    switch (kind) {
        case DocRow::Kind::Group:
            return " class=\"group\"";
        case DocRow::Kind::Total:
            return " class=\"total\"";
        case DocRow::Kind::GrandTotal:
            return " class=\"grand\"";
        case DocRow::Kind::Line:
            break;
    }
    return "";
}

void AppendRow(std::string& out, const DocTable& table, const DocRow& row) {
    out += "<tr";
    out += RowClass(row.kind);
    out += ">";
    std::size_t n = table.columns.size();
    for (std::size_t c = 0; c < n; ++c) {
        const std::string& text = c < row.cells.size() ? row.cells[c] : std::string();
        std::size_t span = 1;
        // A group's or a total's name runs on over the empty text cells after it.
        while (row.kind != DocRow::Kind::Line && c == 0 && c + span < n &&
               !table.columns[c + span].numeric &&
               (c + span >= row.cells.size() || row.cells[c + span].empty())) {
            ++span;
        }
        out += table.columns[c].numeric ? "<td class=\"n\"" : "<td";
        out += span > 1 ? " colspan=\"" + std::to_string(span) + "\">" : ">";
        out += HtmlEscape(text) + "</td>";
        c += span - 1;
    }
    out += "</tr>\n";
}

void AppendTable(std::string& out, const DocTable& table) {
    out += "<table>\n<thead><tr>";
    for (const DocColumn& column : table.columns) {
        out += column.numeric ? "<th class=\"n\">" : "<th>";
        out += HtmlEscape(column.heading) + "</th>";
    }
    out += "</tr></thead>\n<tbody>\n";
    for (const DocRow& row : table.rows) {
        AppendRow(out, table, row);
    }
    out += "</tbody>\n</table>\n";
}

void AppendBlock(std::string& out, const DocBlock& block) {
    const char* page = block.newPage ? " class=\"newpage\"" : "";
    switch (block.kind) {
        case DocBlock::Kind::Heading:
            out += std::string("<h2") + page + ">" + HtmlEscape(block.text) + "</h2>\n";
            break;
        case DocBlock::Kind::Paragraph:
            out += std::string("<p") + page + ">" + HtmlEscape(block.text) + "</p>\n";
            break;
        case DocBlock::Kind::Emphasis:
            out += "<p><strong>" + HtmlEscape(block.text) + "</strong></p>\n";
            break;
        case DocBlock::Kind::Note:
            out += "<p class=\"note\">" + HtmlEscape(block.text) + "</p>\n";
            break;
        case DocBlock::Kind::Table:
            AppendTable(out, block.table);
            break;
    }
}

}  // namespace

std::string HtmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string OpeningStatementHtml(const OpeningStatementDocument& document, Paper paper) {
    std::string out =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"generator\" content=\"Ledgerlift\">\n<title>" +
        HtmlEscape(document.title) + "</title>\n<style>\n@page{size:" + SizeOf(paper).css +
        ";margin:15mm}\n" + kStyle + "</style>\n</head>\n<body>\n<h1>" +
        HtmlEscape(document.title) + "</h1>\n";
    for (const DocBlock& block : document.blocks) {
        AppendBlock(out, block);
    }
    out += "<footer>" + HtmlEscape(document.footer) + "</footer>\n</body>\n</html>\n";
    return out;
}

}  // namespace ledgerlift
