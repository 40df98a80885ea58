#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/core/StoredWorkbook.h"
#include "import/core/TextFormat.h"

namespace ledgerlift {

// Reads text exports (CSV, TSV) as a workbook: each file is one worksheet
// (TextSheet), in the order given, with how it was read (TextFormatOf).
class TextReader : public StoredWorkbook {
  public:
    explicit TextReader(TextOptions options = {}) : options_(std::move(options)) {}

    // One text file.
    void Open(const std::string& path) override;
    // Several, each a worksheet. The same file twice, or two files that would
    // give worksheets of one name, are refused.
    void OpenFiles(const std::vector<std::string>& paths) override;
    std::optional<TextFormat> TextFormatOf(int sheet) const override;
    void Close() override;

    // Whether a file that starts with these bytes (its first few kilobytes)
    // is a text export: not empty (an empty file has nothing to tell its
    // format by, and may be a workbook cut to nothing), after a byte-order
    // mark no zero byte and no control character but tab, line ends and form
    // feed, and not markup (HTML or XML, which some programs save under a
    // workbook's name). Open reads an empty file as a worksheet of no rows.
    static bool IsText(std::string_view head);

  private:
    TextOptions options_;
    std::vector<TextFormat> formats_;
};

}  // namespace ledgerlift
