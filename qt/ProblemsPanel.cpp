#include "qt/ProblemsPanel.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "qt/ProblemFilter.h"
#include "qt/ProblemModel.h"

namespace ledgerlift {

ProblemsPanel::ProblemsPanel(QWidget* parent) : QWidget(parent) {
    setAccessibleName("Problems");
    model_ = new ProblemModel(this);
    filter_ = new ProblemFilter(this);
    filter_->setSourceModel(model_);
    BuildList();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(BuildBar());
    layout->addWidget(list_, 1);
    setVisible(false);
}

void ProblemsPanel::BuildList() {
    list_ = new QTableView;
    list_->setAccessibleName("Problems list");
    list_->setModel(filter_);
    list_->setSortingEnabled(true);
    list_->sortByColumn(-1, Qt::AscendingOrder);  // as found, until a heading is clicked
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setWordWrap(false);
    list_->verticalHeader()->setVisible(false);
    list_->verticalHeader()->setDefaultSectionSize(22);
    list_->horizontalHeader()->setStretchLastSection(true);
    // Fitting the columns reads a few hundred lines, not every one of a
    // run's tens of thousands.
    list_->horizontalHeader()->setResizeContentsPrecision(200);
    list_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Enter, and a double click, activate a line.
    connect(list_, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        emit ProblemChosen(model_->PlaceAt(filter_->mapToSource(index).row()));
    });
    auto* copy = new QAction("Copy", list_);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, [this] { CopySelected(); });
    list_->addAction(copy);
}

QLayout* ProblemsPanel::BuildBar() {
    auto* title = new QLabel("&Problems");
    QFont font = title->font();
    font.setBold(true);
    title->setFont(font);
    title->setBuddy(list_);
    counts_ = new QLabel;
    counts_->setAccessibleName("Problems found");
    severity_ = new QComboBox;
    severity_->setAccessibleName("Show problems");
    severity_->addItems({"All problems", "Errors only", "Warnings only"});
    auto* showLabel = new QLabel("Sho&w:");
    showLabel->setBuddy(severity_);
    connect(severity_, &QComboBox::currentIndexChanged, this, [this](int index) {
        filter_->SetShow(static_cast<ProblemFilter::Show>(std::clamp(index, 0, 2)));
    });
    copy_ = new QPushButton("Cop&y");
    copy_->setAccessibleName("Copy problems");
    copy_->setToolTip("Copy the selected lines as text (Ctrl+C in the list)");
    connect(copy_, &QPushButton::clicked, this, [this] { CopySelected(); });
    hide_ = new QPushButton("&Hide");
    hide_->setAccessibleName("Hide problems");
    hide_->setToolTip("Hide the list until the next check or run");
    connect(hide_, &QPushButton::clicked, this, [this] { setVisible(false); });
    auto* bar = new QHBoxLayout;
    bar->addWidget(title);
    bar->addWidget(counts_, 1);
    bar->addWidget(showLabel);
    bar->addWidget(severity_);
    bar->addWidget(copy_);
    bar->addWidget(hide_);
    return bar;
}

void ProblemsPanel::ShowProblems(std::vector<Problem> problems, std::vector<ProblemPlace> places) {
    model_->SetProblems(std::move(problems), std::move(places));
    auto count = [](int n, const char* what) {
        return QString("%1 %2%3").arg(n).arg(what).arg(n == 1 ? "" : "s");
    };
    counts_->setText(count(model_->Errors(), "error") + ", " +
                     count(model_->Warnings(), "warning"));
    list_->resizeColumnsToContents();
    // The sentence takes the room left; a long one shows whole as a tooltip.
    list_->setColumnWidth(ProblemModel::Text,
                          std::min(list_->columnWidth(ProblemModel::Text), 600));
    setVisible(model_->rowCount() > 0);
}

QString ProblemsPanel::SelectedText() const {
    QModelIndexList rows = list_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList lines;
    for (const QModelIndex& row : rows) {
        lines << model_->LineOf(filter_->mapToSource(row).row());
    }
    return lines.isEmpty() ? QString() : lines.join('\n') + '\n';
}

void ProblemsPanel::CopySelected() const {
    QString text = SelectedText();
    if (!text.isEmpty()) {
        QGuiApplication::clipboard()->setText(text);
    }
}

}  // namespace ledgerlift
