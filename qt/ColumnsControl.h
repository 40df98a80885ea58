#pragma once

#include <QObject>
#include <functional>

class QPushButton;
class QWidget;

namespace ledgerlift {

class ColumnsDialog;
class MainForm;

// The window's "Columns..." and "Save Template..." buttons beside the load:
// Columns... (enabled once a workbook was loaded, or refused for its
// columns) opens the column dialog over the workbook, and OK loads it again
// as chosen; a load refused for its columns opens the dialog by itself.
class ColumnsControl : public QObject {
    Q_OBJECT
  public:
    // run runs an event procedure as the window runs its procedures (one at
    // a time, the window disabled meanwhile).
    using Runner = std::function<void(const std::function<void()>&)>;
    ColumnsControl(MainForm& form, Runner run, QWidget* parent);

    QPushButton* ColumnsButton() const { return columns_; }
    QPushButton* SaveTemplateButton() const { return saveTemplate_; }

    // After a load: opens the dialog when the load was refused for its columns.
    void AfterLoad();
    // Follows whether a procedure runs and whether there is a workbook.
    void Sync(bool busy);
    // Opens the column dialog.
    void Open();

  private:
    MainForm& form_;
    Runner run_;
    QWidget* parent_;
    QPushButton* columns_ = nullptr;
    QPushButton* saveTemplate_ = nullptr;
};

}  // namespace ledgerlift
