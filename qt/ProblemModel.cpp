#include "qt/ProblemModel.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

namespace ledgerlift {
namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// "F (QOH)": the workbook's column letter and its heading, or either alone.
QString CellText(const Problem& problem) {
    if (problem.column.empty()) {
        return Q(problem.heading);
    }
    if (problem.heading.empty()) {
        return Q(problem.column);
    }
    return Q(problem.column) + " (" + Q(problem.heading) + ")";
}

}  // namespace

ProblemModel::ProblemModel(QObject* parent)
    : QAbstractTableModel(parent),
      errorIcon_(QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical)),
      warningIcon_(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning)) {}

void ProblemModel::SetProblems(std::vector<Problem> problems, std::vector<ProblemPlace> places) {
    beginResetModel();
    problems_ = std::move(problems);
    places_ = std::move(places);
    places_.resize(problems_.size());
    endResetModel();
}

int ProblemModel::Errors() const {
    int n = 0;
    for (const Problem& p : problems_) {
        n += p.severity == Problem::Severity::Error ? 1 : 0;
    }
    return n;
}

int ProblemModel::Warnings() const {
    return static_cast<int>(problems_.size()) - Errors();
}

int ProblemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(problems_.size());
}

int ProblemModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant ProblemModel::Display(const Problem& problem, int column) const {
    switch (column) {
        case Severity:
            return QString(Problem::SeverityText(problem.severity));
        case Sheet:
            return Q(problem.sheet);
        case Row:
            return problem.row;
        case Cell:
            return CellText(problem);
        case Key:
            return Q(problem.key);
        case Text:
            return Q(problem.text);
        default:
            return {};
    }
}

QVariant ProblemModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumns) {
        return {};
    }
    const Problem& problem = problems_[static_cast<std::size_t>(index.row())];
    bool error = problem.severity == Problem::Severity::Error;
    switch (role) {
        case Qt::DisplayRole:
            return Display(problem, index.column());
        case Qt::ToolTipRole:
            return index.column() == Text ? Q(problem.text) : QVariant();
        case Qt::DecorationRole:
            if (index.column() != Severity) {
                return {};
            }
            return error ? errorIcon_ : warningIcon_;
        case Qt::TextAlignmentRole:
            return index.column() == Row ? QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter)
                                         : QVariant();
        case kSeverityRole:
            return error ? 0 : 1;
        default:
            return {};
    }
}

QVariant ProblemModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const kHeadings[kColumns] = {"Severity", "Sheet",        "Row",
                                                    "Column",   "Code or name", "Problem"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < kColumns) {
        return QString(kHeadings[section]);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

QString ProblemModel::LineOf(int row) const {
    QStringList cells;
    for (int c = 0; c < kColumns; ++c) {
        cells << data(index(row, c), Qt::DisplayRole).toString();
    }
    return cells.join('\t');
}

}  // namespace ledgerlift
