#pragma once

#include <QDialog>
#include <vector>

#include "load/ColumnChoice.h"
#include "load/WorkbookColumns.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace ledgerlift {

// "Columns...": which sheet is read as items and which as ledgers (or none),
// and for each field, under its described caption, which column feeds it:
// each column shown by its letter, its heading and its first three values,
// or "(not in the workbook)". The columns no field uses are listed below.
// OK gives the choice (see Choice); Forget asks to drop the choice
// remembered for workbooks laid out alike.
class ColumnsDialog : public QDialog {
    Q_OBJECT
  public:
    ColumnsDialog(const WorkbookColumns& workbook, bool remembered, QWidget* parent = nullptr);

    // Every sheet of the workbook: the two chosen read as chosen, field by
    // field (the heading decides, the letter tells apart like headings), the
    // others not read.
    ColumnChoice Choice() const;
    // Whether a choice is remembered for this layout (the Forget button).
    void SetRemembered(bool remembered);

    QComboBox* SheetBox(SheetKind kind) const;
    QComboBox* FieldBox(SheetKind kind, int gridCol) const;
    QLabel* UnusedLabel(SheetKind kind) const;
    QPushButton* ForgetButton() const { return forget_; }

  signals:
    void forgetRequested();

  private:
    // One kind's controls: the sheet, a box per field, the columns left.
    struct Side {
        QComboBox* sheet = nullptr;
        std::vector<QComboBox*> fields;  // by grid column; element 0 unused
        QLabel* unused = nullptr;
    };

    QWidget* BuildSide(SheetKind kind);
    void FillFields(SheetKind kind);
    void ShowUnused(SheetKind kind);
    void KeepSheetsApart(SheetKind changed);
    // The described sheet at a box's index (none for "(none)").
    const SheetColumns* SheetAt(const QComboBox* box) const;
    Side& SideOf(SheetKind kind) { return kind == SheetKind::Items ? items_ : ledgers_; }
    const Side& SideOf(SheetKind kind) const {
        return kind == SheetKind::Items ? items_ : ledgers_;
    }
    void AddChosen(ColumnChoice& choice, const SheetColumns& sheet, SheetKind kind) const;

    WorkbookColumns workbook_;
    Side items_;
    Side ledgers_;
    QLabel* memory_ = nullptr;
    QPushButton* forget_ = nullptr;
};

}  // namespace ledgerlift
