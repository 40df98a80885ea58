#include "reports/TableWriter.h"

namespace ledgerlift {
namespace {

void AppendTsvCell(std::string& line, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '\\':
                line += "\\\\";
                break;
            case '\t':
                line += "\\t";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            case '\0':
                line += "\\0";
                break;
            default:
                line += c;
        }
    }
}

void AppendCsvCell(std::string& line, std::string_view text) {
    if (text.find_first_of(std::string_view(",\"\r\n\0", 5)) == std::string_view::npos) {
        line += text;
        return;
    }
    line += '"';
    for (char c : text) {
        line += c;
        if (c == '"') {
            line += '"';
        }
    }
    line += '"';
}

}  // namespace

void TableWriter::BeginTable(std::string_view name, const std::vector<std::string>& columns) {
    if (format_ == Format::Json) {
        BeginJsonTable(name, columns);
        return;
    }
    ++tables_;
    if (named_) {
        Put("# ");
        Put(name);
        Put(format_ == Format::Csv ? "\r\n" : "\n");
    }
    PutDelimited(std::vector<std::string_view>(columns.begin(), columns.end()));
}

void TableWriter::Row(const std::vector<std::string_view>& cells) {
    if (format_ != Format::Json) {
        PutDelimited(cells);
        return;
    }
    for (std::size_t c = 0; c < cells_.size(); ++c) {
        cells_[c]->assign(c < cells.size() ? cells[c] : std::string_view());
    }
    Put(rows_++ ? ",\n    " : "\n    ");
    Put(CompactJson(row_));
}

void TableWriter::Finish() {
    if (format_ != Format::Json) {
        return;
    }
    if (tables_ == 0) {
        Put("{");
    } else {
        EndJsonTable();
    }
    Put("\n}\n");
}

void TableWriter::Put(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), out_);
}

void TableWriter::PutDelimited(const std::vector<std::string_view>& cells) {
    const bool csv = format_ == Format::Csv;
    line_.clear();
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (c) {
            line_ += csv ? ',' : '\t';
        }
        if (csv) {
            AppendCsvCell(line_, cells[c]);
        } else {
            AppendTsvCell(line_, cells[c]);
        }
    }
    line_ += csv ? "\r\n" : "\n";
    Put(line_);
}

void TableWriter::BeginJsonTable(std::string_view name, const std::vector<std::string>& columns) {
    if (tables_++ == 0) {
        Put("{");
    } else {
        EndJsonTable();
        Put(",");
    }
    Put("\n  ");
    Put(CompactJson(std::string(name)));
    Put(": [");
    rows_ = 0;
    // The members are made once a table; each row only sets their texts. A
    // column name given twice is one member, the later column's cell.
    row_ = OrderedJson::object();
    for (const std::string& column : columns) {
        row_[column] = "";
    }
    cells_.clear();
    for (const std::string& column : columns) {
        cells_.push_back(&row_[column].get_ref<std::string&>());
    }
}

void TableWriter::EndJsonTable() {
    Put(rows_ ? "\n  ]" : "]");
}

}  // namespace ledgerlift
