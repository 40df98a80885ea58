#include "qt/ColumnsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/GridOrigin.h"

namespace ledgerlift {
namespace {

const char* const kNotInWorkbook = "(not in the workbook)";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// "C  Qty  (10, 30, 7)": a column as a drop-down shows it.
QString ColumnText(const ColumnSample& column) {
    QString text = Q(ColumnLetters(column.column)) + "  ";
    text += column.heading.empty() ? QString("(no heading)") : Q(column.heading);
    if (!column.values.empty()) {
        QStringList values;
        for (const std::string& value : column.values) {
            values << Q(value.size() > 24 ? value.substr(0, 24) + "..." : value);
        }
        text += "  (" + values.join(", ") + ")";
    }
    return text;
}

QString SheetText(const SheetColumns& sheet) {
    return QString::number(sheet.sheet) + ": " + Q(sheet.name);
}

const ColumnSample* SampleOf(const SheetColumns& sheet, int column) {
    for (const ColumnSample& sample : sheet.columns) {
        if (sample.column == column) {
            return &sample;
        }
    }
    return nullptr;
}

}  // namespace

ColumnsDialog::ColumnsDialog(const WorkbookColumns& workbook, bool remembered, QWidget* parent)
    : QDialog(parent), workbook_(workbook) {
    setWindowTitle("Columns");
    setAccessibleName("Columns");
    auto* intro = new QLabel(
        "Choose the sheet that holds the items and the one that holds the ledgers, and for each "
        "field the column it is read from. OK loads the workbook again as chosen, and the choice "
        "is used again for workbooks with the same sheets and headings.");
    intro->setWordWrap(true);
    auto* sides = new QHBoxLayout;
    sides->addWidget(BuildSide(SheetKind::Items), 1);
    sides->addWidget(BuildSide(SheetKind::Ledgers), 1);
    memory_ = new QLabel;
    memory_->setAccessibleName("Remembered columns");
    memory_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    forget_ = buttons->addButton("&Forget", QDialogButtonBox::ResetRole);
    forget_->setAccessibleName("Forget");
    forget_->setToolTip("Forget the columns chosen for workbooks with these sheets and headings");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(forget_, &QPushButton::clicked, this, [this] { emit forgetRequested(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(sides, 1);
    layout->addWidget(memory_);
    layout->addWidget(buttons);
    SetRemembered(remembered);
}

QWidget* ColumnsDialog::BuildSide(SheetKind kind) {
    Side& side = SideOf(kind);
    auto* box = new QGroupBox(kind == SheetKind::Items ? "Items" : "Ledgers");
    auto* form = new QFormLayout(box);
    side.sheet = new QComboBox;
    side.sheet->setAccessibleName(kind == SheetKind::Items ? "Items sheet" : "Ledgers sheet");
    side.sheet->addItem("(none)", 0);
    int chosen = kind == SheetKind::Items ? workbook_.itemsSheet : workbook_.ledgersSheet;
    for (const SheetColumns& sheet : workbook_.sheets) {
        side.sheet->addItem(SheetText(sheet), sheet.sheet);
        if (sheet.sheet == chosen) {
            side.sheet->setCurrentIndex(side.sheet->count() - 1);
        }
    }
    form->addRow("Sheet:", side.sheet);
    side.fields.assign(Fields(kind).size() + 1, nullptr);
    for (const FieldInfo& field : Fields(kind)) {
        auto* combo = new QComboBox;
        combo->setAccessibleName(field.caption);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(24);
        auto* label = new QLabel(field.caption);
        if (field.required) {
            label->setToolTip("Required: a row without it is not written");
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
        }
        form->addRow(label, combo);
        side.fields[static_cast<std::size_t>(field.gridCol)] = combo;
        connect(combo, &QComboBox::currentIndexChanged, this, [this, kind] { ShowUnused(kind); });
    }
    side.unused = new QLabel;
    side.unused->setAccessibleName(kind == SheetKind::Items ? "Item columns not used"
                                                            : "Ledger columns not used");
    side.unused->setWordWrap(true);
    form->addRow("Not used:", side.unused);
    connect(side.sheet, &QComboBox::currentIndexChanged, this, [this, kind] {
        KeepSheetsApart(kind);
        FillFields(kind);
    });
    FillFields(kind);
    return box;
}

const SheetColumns* ColumnsDialog::SheetAt(const QComboBox* box) const {
    int sheet = box->currentData().toInt();
    for (const SheetColumns& s : workbook_.sheets) {
        if (s.sheet == sheet) {
            return &s;
        }
    }
    return nullptr;
}

// Each field's box: the sheet's columns, the one the load maps it to chosen.
void ColumnsDialog::FillFields(SheetKind kind) {
    Side& side = SideOf(kind);
    const SheetColumns* sheet = SheetAt(side.sheet);
    for (const FieldInfo& field : Fields(kind)) {
        QComboBox* combo = side.fields[static_cast<std::size_t>(field.gridCol)];
        QSignalBlocker quiet(combo);
        combo->clear();
        combo->addItem(kNotInWorkbook, 0);
        if (!sheet) {
            continue;
        }
        const ColumnMap& map = kind == SheetKind::Items ? sheet->asItems : sheet->asLedgers;
        int mapped = static_cast<std::size_t>(field.gridCol) < map.fields.size()
                         ? map.ColumnOf(field.gridCol)
                         : 0;
        for (const ColumnSample& column : sheet->columns) {
            combo->addItem(ColumnText(column), column.column);
            if (column.column == mapped) {
                combo->setCurrentIndex(combo->count() - 1);
            }
        }
        combo->setEnabled(true);
    }
    for (QComboBox* combo : side.fields) {
        if (combo) {
            combo->setEnabled(sheet != nullptr);
        }
    }
    ShowUnused(kind);
}

void ColumnsDialog::ShowUnused(SheetKind kind) {
    Side& side = SideOf(kind);
    const SheetColumns* sheet = SheetAt(side.sheet);
    QStringList unused;
    for (const ColumnSample& column : sheet ? sheet->columns : std::vector<ColumnSample>{}) {
        bool used = false;
        for (QComboBox* combo : side.fields) {
            used = used || (combo && combo->currentData().toInt() == column.column);
        }
        if (!used) {
            unused << Q(ColumnLetters(column.column)) +
                          (column.heading.empty() ? QString() : " (" + Q(column.heading) + ")");
        }
    }
    side.unused->setText(unused.isEmpty() ? QString("none") : unused.join(", "));
}

// One sheet is never both: choosing the other kind's sheet leaves it none.
void ColumnsDialog::KeepSheetsApart(SheetKind changed) {
    SheetKind other = changed == SheetKind::Items ? SheetKind::Ledgers : SheetKind::Items;
    QComboBox* mine = SideOf(changed).sheet;
    QComboBox* theirs = SideOf(other).sheet;
    if (mine->currentData().toInt() != 0 &&
        mine->currentData().toInt() == theirs->currentData().toInt()) {
        theirs->setCurrentIndex(0);
    }
}

void ColumnsDialog::SetRemembered(bool remembered) {
    memory_->setText(remembered
                         ? "These columns are remembered for workbooks with these sheets and "
                           "headings, and used without asking; Forget drops them."
                         : "Nothing is remembered for workbooks with these sheets and headings; "
                           "OK remembers this choice.");
    forget_->setEnabled(remembered);
}

QComboBox* ColumnsDialog::SheetBox(SheetKind kind) const {
    return SideOf(kind).sheet;
}

QComboBox* ColumnsDialog::FieldBox(SheetKind kind, int gridCol) const {
    return SideOf(kind).fields[static_cast<std::size_t>(gridCol)];
}

QLabel* ColumnsDialog::UnusedLabel(SheetKind kind) const {
    return SideOf(kind).unused;
}

void ColumnsDialog::AddChosen(ColumnChoice& choice, const SheetColumns& sheet,
                              SheetKind kind) const {
    ChosenSheet chosen{{sheet.name, sheet.sheet}, kind, sheet.headingRow, {}};
    for (const FieldInfo& field : Fields(kind)) {
        int column = FieldBox(kind, field.gridCol)->currentData().toInt();
        if (const ColumnSample* sample = SampleOf(sheet, column)) {
            chosen.fields.push_back({field.gridCol, sample->heading, column});
        }
    }
    choice.sheets.push_back(std::move(chosen));
}

ColumnChoice ColumnsDialog::Choice() const {
    ColumnChoice choice;
    const SheetColumns* items = SheetAt(items_.sheet);
    const SheetColumns* ledgers = SheetAt(ledgers_.sheet);
    for (const SheetColumns& sheet : workbook_.sheets) {
        if (&sheet == items) {
            AddChosen(choice, sheet, SheetKind::Items);
        } else if (&sheet == ledgers) {
            AddChosen(choice, sheet, SheetKind::Ledgers);
        } else {
            choice.sheets.push_back({{sheet.name, sheet.sheet}, std::nullopt, 0, {}});
        }
    }
    return choice;
}

}  // namespace ledgerlift
