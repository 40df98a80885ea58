#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

class QListWidget;

namespace ledgerlift {

// A modal dialog that lists entries (one a line, in a fixed-width font so
// that columns line up) under a prompt; the operator picks one with OK or a
// double click. The first entry is chosen to begin with.
class ChoiceDialog : public QDialog {
    Q_OBJECT
  public:
    ChoiceDialog(QWidget* parent, const std::string& caption, const std::string& prompt,
                 const std::vector<std::string>& entries);

    // The chosen entry, or nothing when none is.
    std::optional<int> Chosen() const;
    QListWidget* List() const { return list_; }

  private:
    QListWidget* list_ = nullptr;
};

}  // namespace ledgerlift
