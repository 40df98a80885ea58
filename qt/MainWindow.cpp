#include "qt/MainWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "qt/ColumnFit.h"
#include "qt/ColumnsControl.h"
#include "qt/ElidedLines.h"
#include "qt/GridModel.h"
#include "qt/OutcomeFilter.h"
#include "qt/ProblemCellDelegate.h"
#include "qt/ProblemsPanel.h"
#include "qt/ProductFolderDialog.h"
#include "window/NumberColumns.h"
#include "window/ProblemPlace.h"

// The window's pictures are compiled into the Qt library of the program.
static void InitPictures() {
    Q_INIT_RESOURCE(pictures);
}

namespace ledgerlift {
namespace {

QLabel* Picture(const QString& resource, const QString& name, QSize size) {
    auto* label = new QLabel;
    label->setPixmap(QIcon(resource).pixmap(size));
    label->setFixedSize(size);
    label->setAccessibleName(name);
    return label;
}

QLabel* Heading(const std::string& text) {
    auto* label = new QLabel(QString::fromStdString(text));
    QFont font = label->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 3);
    label->setFont(font);
    label->setAccessibleName(label->text());
    return label;
}

QLabel* BlueLabel(const std::string& text, bool wrap) {
    auto* label = new QLabel(QString::fromStdString(text));
    label->setStyleSheet("color: #1a4fb5;");
    label->setWordWrap(wrap);
    label->setAccessibleName(label->text());
    return label;
}

// A button whose text carries an access key (Alt and the underlined letter);
// its accessible name stays the caption the logic gives it.
QPushButton* Button(const std::string& caption, const QString& withKey) {
    auto* button = new QPushButton(withKey);
    button->setAccessibleName(QString::fromStdString(caption));
    button->setMinimumHeight(32);
    return button;
}

}  // namespace

MainWindow::MainWindow(MainForm& form, QWidget* parent) : QWidget(parent), form_(form) {
    Build();
    Sync();
}

MainWindow::~MainWindow() = default;

void MainWindow::Build() {
    InitPictures();
    setWindowIcon(QIcon(":/pictures/icon.svg"));
    resize(1200, 760);
    BuildControls();
    QLayout* left = BuildLeft();
    auto* top = new QHBoxLayout(this);
    top->addLayout(left, 0);
    top->addLayout(BuildRight(), 1);
    left->setContentsMargins(0, 0, 8, 0);
    frame_->setMinimumWidth(360);
    status_->setMinimumWidth(360);
    ConnectButtons();
    ConnectInputs();
}

// The buttons, the inputs of Step II, the status box and the labels of the
// product folder and the workbook.
void MainWindow::BuildControls() {
    load_ = Button(form_.loadButton.Caption, "&Load Excel Data");
    columns_ = new ColumnsControl(
        form_,
        [this](const std::function<void()>& procedure) { Run(procedure, false, After::Load); },
        this);
    migrate_ = Button(form_.migrateButton.Caption, "&Start Migration");
    check_ = Button(form_.checkButton.Caption, "&Check Data");
    check_->setToolTip("Predict what Start Migration would do, without writing anything");
    close_ = Button(form_.closeButton.Caption, "Cl&ose");
    saveReport_ = Button("Save Report...", "Save &Report...");
    saveReport_->setToolTip(
        "Save the last migration's rows, each with its outcome and reason, as a CSV file");
    saveOpeningStatement_ = Button(form_.saveOpeningStatementButton.Caption, "Save Stat&ement...");
    saveOpeningStatement_->setToolTip(
        "Save the chosen company's opening position, as its database holds it after the "
        "migration, as a PDF or a web page");
    restore_ = Button(form_.restoreButton.Caption, "Restore &Backup...");
    restore_->setToolTip("Put one of the company's backups back in the place of its database");
    saveFailedRows_ = Button(form_.saveFailedRowsButton.Caption, "Save &Failed Rows...");
    saveFailedRows_->setToolTip(
        "Save the rows that did not go in, or have problems, as a workbook to fix and load again");
    company_ = new QComboBox;
    company_->setAccessibleName("Tallvane company");
    update_ = new QCheckBox("Update E&xisting Items");
    update_->setAccessibleName(QString::fromStdString(form_.updateItemsBox.Caption));
    negativeIsCredit_ = new QCheckBox("&Negative balances are credits");
    negativeIsCredit_->setAccessibleName(QString::fromStdString(form_.negativeIsCreditBox.Caption));
    negativeIsCredit_->setToolTip(
        "An opening balance that is negative and says neither Dr nor Cr is a credit (and a "
        "positive one a debit); without this, such a negative balance is an error");
    replaceOpenings_ = new QCheckBox("Replace &Opening Balances");
    replaceOpenings_->setAccessibleName(QString::fromStdString(form_.replaceOpeningsBox.Caption));
    replaceOpenings_->setToolTip(
        "Where the company already holds an item or ledger with another opening stock or "
        "balance than the workbook's, replace the opening this program posted with the "
        "workbook's; without this, such rows are left as they are and named");
    date_ = new QDateEdit;
    date_->setCalendarPopup(true);
    date_->setDisplayFormat("yyyy-MM-dd");
    date_->setAccessibleName("Migration date");
    status_ = new QPlainTextEdit;
    status_->setReadOnly(true);
    status_->setAccessibleName("Migration status");

    productFolder_ = new QLabel("Product folder: " + QString::fromStdString(form_.ProductFolder()));
    // A long path wraps or is cut, never widening the column; the tooltip
    // holds it whole.
    productFolder_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    productFolder_->setAccessibleName("Product folder");
    productFolder_->setWordWrap(true);
    productFolder_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    workbook_ = new QLabel;
    workbook_->setAccessibleName("Workbook");
    workbook_->setWordWrap(true);
    workbook_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    loadLines_ = new ElidedLines;
    loadLines_->setAccessibleName("What the load read");
    loadLines_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    loadLines_->setVisible(false);
}

// The frame of Step II: the company, the migration date, the update mode and
// the two buttons that start a run or a check.
QFrame* MainWindow::BuildFrame() {
    auto* companyLabel = new QLabel("Select Tallvane Co&mpany:");
    companyLabel->setAccessibleName(QString::fromStdString(form_.companyLabel.Caption));
    companyLabel->setBuddy(company_);
    auto* dateLabel = new QLabel("Migration &date:");
    dateLabel->setAccessibleName("Migration date:");
    dateLabel->setBuddy(date_);

    frame_ = new QFrame;
    frame_->setFrameShape(QFrame::StyledPanel);
    frame_->setAccessibleName("Migration");
    auto* frameLayout = new QVBoxLayout(frame_);
    frameLayout->addWidget(companyLabel);
    frameLayout->addWidget(company_);
    frameLayout->addWidget(dateLabel);
    frameLayout->addWidget(date_);
    auto* updateModes = new QHBoxLayout;
    updateModes->addWidget(update_);
    updateModes->addWidget(replaceOpenings_);
    updateModes->addStretch(1);
    frameLayout->addLayout(updateModes);
    frameLayout->addWidget(negativeIsCredit_);
    auto* runButtons = new QHBoxLayout;
    runButtons->addWidget(migrate_, 1);
    runButtons->addWidget(check_);
    frameLayout->addLayout(runButtons);
    return frame_;
}

// The left column: Step 1, Step II, the status box and the closing buttons.
QLayout* MainWindow::BuildLeft() {
    BuildFrame();
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* left = new QVBoxLayout;
    left->addWidget(Picture(":/pictures/logo.svg", "Ledgerlift", QSize(148, 65)));
    left->addWidget(Heading(form_.stepOneLabel.Caption));
    auto* loadRow = new QHBoxLayout;
    loadRow->addWidget(load_, 1);
    loadRow->addWidget(columns_->ColumnsButton());
    loadRow->addWidget(columns_->SaveTemplateButton());
    left->addLayout(loadRow);
    left->addWidget(workbook_);
    left->addWidget(loadLines_);
    left->addWidget(line);
    left->addWidget(Heading(form_.stepTwoLabel.Caption));
    left->addWidget(frame_);
    // Beside Step II: undoing a run, and the rows a run left to fix.
    auto* afterRun = new QHBoxLayout;
    afterRun->addWidget(restore_);
    afterRun->addWidget(saveFailedRows_);
    left->addLayout(afterRun);
    left->addWidget(status_, 1);
    left->addLayout(BuildFolderRow());
    auto* endButtons = new QHBoxLayout;
    endButtons->addWidget(saveReport_);
    endButtons->addWidget(saveOpeningStatement_);
    endButtons->addWidget(close_, 1);
    left->addLayout(endButtons);
    return left;
}

// The product folder in use, and "Change..." beside it, so that the folder
// whose companies are listed is never in doubt (the demo's or the real one).
QLayout* MainWindow::BuildFolderRow() {
    changeFolder_ = Button("Change...", "Chan&ge...");
    changeFolder_->setToolTip(
        "Use another product folder (the one under which Resources/Database lies): its "
        "companies fill the list");
    auto* row = new QHBoxLayout;
    row->addWidget(productFolder_, 1);
    row->addWidget(changeFolder_, 0, Qt::AlignTop);
    return row;
}

// The tabs with the three grids.
QWidget* MainWindow::BuildGrids() {
    tabs_ = new QTabWidget;
    tabs_->setAccessibleName("Workbook rows");
    const char* gridNames[3] = {"Item rows", "Ledger rows", "Account groups"};
    Grid* grids[3] = {&form_.itemGrid, &form_.ledgerGrid, &form_.groupGrid};
    for (int i = 0; i < 3; ++i) {
        models_[i] = new GridModel(*grids[i], this);
        auto* view = new QTableView;
        view->setModel(models_[i]);
        view->setAccessibleName(gridNames[i]);
        view->verticalHeader()->setVisible(false);
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setDefaultSectionSize(22);
        view->horizontalHeader()->setHighlightSections(false);
        // Columns widen by dragging their divider and fit their content on a
        // double click of it; the grid's own widths are where they start.
        view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
        view->horizontalHeader()->setMinimumSectionSize(8);
        connect(view->horizontalHeader(), &QHeaderView::sectionHandleDoubleClicked, view,
                &QTableView::resizeColumnToContents, Qt::UniqueConnection);
        connect(models_[i], &QAbstractItemModel::modelReset, this,
                [this, i] { shownWidths_[i].clear(); });
        connect(view->horizontalHeader(), &QHeaderView::sectionResized, this,
                [this, i](int col, int, int width) { KeepDraggedWidth(i, col, width); });
        models_[i]->SetNumberColumns(NumberColumns(i));
        view->setItemDelegate(new ProblemCellDelegate(view));
        view->setWordWrap(false);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        views_[i] = view;
        tabs_->addTab(view, QString::fromStdString(form_.gridTabs.TabCaption[i]));
    }
    return tabs_;
}

// The right column: the filter, the grids, the progress and the notices.
QLayout* MainWindow::BuildRight() {
    BuildGrids();
    auto* notices = new QHBoxLayout;
    notices->addWidget(BlueLabel(form_.noticeLabel.Caption, true), 1);
    notices->addWidget(BlueLabel(form_.webAddressLabel.Caption, false));
    notices->addWidget(Picture(":/pictures/banner.svg", "Ledgerlift banner", QSize(160, 40)));

    onlyNotIn_ = new QCheckBox("Show only the rows that did &not go in");
    onlyNotIn_->setAccessibleName("Show only the rows that did not go in");
    onlyNotIn_->setToolTip(
        "After a migration or a check: hide the rows that went in (or would), and show those "
        "that failed, were already there or were not reached");
    for (int i = 0; i < 2; ++i) {
        filters_[i] = new OutcomeFilter(this);
    }

    filterNote_ = new QLabel;
    filterNote_->setAccessibleName("Rows shown");
    filterNote_->setVisible(false);
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(onlyNotIn_);
    filterRow->addWidget(filterNote_, 1);

    // The problems under the grids, as high as the operator drags them.
    problems_ = new ProblemsPanel;
    splitter_ = new QSplitter(Qt::Vertical);
    splitter_->setAccessibleName("Grids and problems");
    splitter_->addWidget(tabs_);
    splitter_->addWidget(problems_);
    splitter_->setStretchFactor(0, 3);
    splitter_->setStretchFactor(1, 1);
    splitter_->setChildrenCollapsible(false);
    connect(problems_, &ProblemsPanel::ProblemChosen, this,
            [this](const ProblemPlace& place) { GoToProblem(place); });

    auto* right = new QVBoxLayout;
    right->addLayout(filterRow);
    right->addWidget(splitter_, 1);
    right->addLayout(BuildProgressRow());
    right->addLayout(notices);
    return right;
}

void MainWindow::ConnectButtons() {
    connect(load_, &QPushButton::clicked, this, [this] {
        Run([this] { form_.OnLoad(); }, false, After::Load);
        columns_->AfterLoad();
    });
    connect(check_, &QPushButton::clicked, this,
            [this] { Run([this] { form_.OnCheck(); }, true, After::Problems); });
    connect(migrate_, &QPushButton::clicked, this,
            [this] { Run([this] { form_.OnMigrate(); }, true, After::Problems); });
    connect(changeFolder_, &QPushButton::clicked, this, [this] { ChangeProductFolder(); });
    connect(saveReport_, &QPushButton::clicked, this,
            [this] { Run([this] { form_.OnSaveReport(); }, false); });
    connect(saveOpeningStatement_, &QPushButton::clicked, this,
            [this] { Run([this] { form_.OnSaveOpeningStatement(); }, false); });
    connect(close_, &QPushButton::clicked, this, [this] {
        if (busy_) {
            close();  // asks first (see closeEvent)
        } else {
            form_.OnClose();
        }
    });
    connect(stop_, &QPushButton::clicked, this, [this] {
        form_.OnStop();
        SyncStop();
    });
    connect(onlyNotIn_, &QCheckBox::toggled, this, [this](bool on) { ShowOnlyNotIn(on); });
    connect(restore_, &QPushButton::clicked, this,
            [this] { Run([this] { form_.OnRestore(); }, false); });
    connect(saveFailedRows_, &QPushButton::clicked, this,
            [this] { Run([this] { form_.OnSaveFailedRows(); }, false); });
}

// The inputs write the controls' state, except while the view itself sets
// them from it.
void MainWindow::ConnectInputs() {
    connect(company_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!syncing_) {
            form_.companyList.SetListIndex(index);
            form_.OnCompanyChosen();
            saveOpeningStatement_->setEnabled(!busy_ && form_.saveOpeningStatementButton.Enabled);
        }
    });
    connect(replaceOpenings_, &QCheckBox::toggled, this, [this](bool on) {
        if (!syncing_) {
            form_.replaceOpeningsBox.Value = on ? 1 : 0;
        }
    });
    connect(negativeIsCredit_, &QCheckBox::toggled, this, [this](bool on) {
        if (!syncing_) {
            form_.negativeIsCreditBox.Value = on ? 1 : 0;
        }
    });
    connect(update_, &QCheckBox::toggled, this, [this](bool on) {
        if (!syncing_) {
            form_.updateItemsBox.Value = on ? 1 : 0;
        }
    });
    connect(date_, &QDateEdit::dateChanged, this, [this](QDate d) {
        if (!syncing_) {
            form_.migrationDate.Value = Date{d.year(), d.month(), d.day()};
        }
    });
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
        if (!syncing_) {
            form_.gridTabs.Tab = tab;
        }
    });
}

QLayout* MainWindow::BuildProgressRow() {
    progressText_ = new QLabel;
    progressText_->setAccessibleName("Progress");
    progressBar_ = new QProgressBar;
    progressBar_->setAccessibleName("Progress bar");
    // The sentence beside it gives the figures. A percentage in the bar would
    // make it repaint at once whenever it changes, which doubled the time the
    // window took from a run.
    progressBar_->setTextVisible(false);
    stop_ = new QPushButton("S&top");
    stop_->setAccessibleName("Stop");
    stop_->setToolTip(
        "End the current step after the row in progress; you are then asked whether to go on "
        "with the next one");
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(kProgressRefreshMs);
    connect(progressTimer_, &QTimer::timeout, this, [this] { ShowProgress(); });
    for (QWidget* w : std::initializer_list<QWidget*>{progressText_, progressBar_, stop_}) {
        w->setVisible(false);
    }
    // The sentence on a line of its own, so that it is never cut; the bar
    // and Stop under it.
    auto* bar = new QHBoxLayout;
    bar->addWidget(progressBar_, 1);
    bar->addWidget(stop_);
    auto* rows = new QVBoxLayout;
    rows->setSpacing(2);
    rows->addWidget(progressText_);
    rows->addLayout(bar);
    return rows;
}

void MainWindow::Run(const std::function<void()>& procedure, bool stoppable, After after) {
    // One event procedure at a time: a click that arrives during an event pass
    // of a running import or migration is ignored rather than nested in it
    // (the buttons show as disabled, but a click may be queued already).
    if (busy_) {
        return;
    }
    SetBusy(true, stoppable);
    procedure();
    SetBusy(false, stoppable);
    Sync();
    if (after == After::Load) {
        FitColumns(0);
        FitColumns(1);
    }
    if (after != After::Nothing) {
        ShowProblems();
    }
    if (unloadRequested_) {
        close();
    }
}

void MainWindow::SetBusy(bool busy, bool stoppable) {
    busy_ = busy;
    if (busy && onlyNotIn_->isChecked()) {
        onlyNotIn_->setChecked(false);  // the procedure changes the rows and their marks
    }
    for (QWidget* w : std::initializer_list<QWidget*>{
             load_, migrate_, check_, company_, date_, update_, replaceOpenings_, negativeIsCredit_,
             saveReport_, onlyNotIn_, restore_, saveFailedRows_, saveOpeningStatement_,
             changeFolder_}) {
        w->setEnabled(!busy);
    }
    columns_->Sync(busy);
    stop_->setVisible(busy && stoppable);
    SyncStop();
    if (!busy) {
        SyncWorkbook();
    }
}

void MainWindow::SyncStop() {
    // Asked once, it waits for the row in progress; a run that goes on after
    // its question can be stopped again.
    bool asked = form_.stop.requested || unloadRequested_;
    stop_->setEnabled(busy_ && !asked);
    stop_->setText(busy_ && asked ? "Stopping..." : "S&top");
}

void MainWindow::RequestUnload() {
    unloadRequested_ = true;
    if (!busy_) {
        close();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (busy_) {
        // Closes once the procedure has ended, if the operator wants that.
        if (!unloadRequested_ && form_.AskStopAndClose()) {
            unloadRequested_ = true;
            SyncStop();
        }
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::SetProgress(const std::string& stage, int done, int total) {
    bool fresh = !meter_.Active() || meter_.Stage() != stage;
    // A report may come for each of a hundred thousand rows: the clock is
    // read only when the stage's clock starts, the timer reads it for the rest.
    meter_.Report(stage, done, total,
                  meter_.StartsStage(stage, done) ? ProgressMeter::Clock::now()
                                                  : ProgressMeter::Clock::time_point{});
    if (fresh) {
        ShowProgress();
        progressTimer_->start();
    }
}

void MainWindow::EndProgress() {
    meter_.End();
    progressTimer_->stop();
    progressText_->setVisible(false);
    progressBar_->setVisible(false);
}

void MainWindow::ShowProgress() {
    if (!meter_.Active()) {
        return;
    }
    progressText_->setText(QString::fromStdString(meter_.Text(ProgressMeter::Clock::now())));
    progressText_->setVisible(true);
    ShowProgressBar();
}

void MainWindow::ShowProgressBar() {
    if (!meter_.Active()) {
        return;
    }
    // Without a count of rows the bar only shows that something goes on.
    int total = std::max(0, meter_.Total());
    if (progressBar_->maximum() != total) {
        progressBar_->setRange(0, total);
    }
    int value = total > 0 ? std::min(meter_.Done(), total) : 0;
    if (progressBar_->value() != value) {
        // A progress bar repaints itself, and so the window, at once when its
        // value moves; the event pass that follows paints the window anyway,
        // so the bar waits for it instead of painting the window twice.
        progressBar_->setUpdatesEnabled(false);
        progressBar_->setValue(value);
        progressBar_->setUpdatesEnabled(true);
    }
    progressBar_->setVisible(true);
}

void MainWindow::ShowOnlyNotIn(bool on) {
    for (int i = 0; i < 2; ++i) {
        QTableView* view = views_[i];
        QHeaderView* header = view->horizontalHeader();
        std::vector<int> widths;
        for (int c = 0; c < header->count(); ++c) {
            widths.push_back(header->sectionSize(c));
        }
        QItemSelectionModel* old = view->selectionModel();
        // A filter that is off follows nothing: a proxy that listens to a
        // grid of tens of thousands of rows costs every event pass of a run.
        if (on) {
            filters_[i]->setSourceModel(models_[i]);
            view->setModel(filters_[i]);
        } else {
            view->setModel(models_[i]);
            filters_[i]->setSourceModel(nullptr);
        }
        delete old;
        applyingWidths_ = true;
        for (int c = 0; c < header->count() && c < static_cast<int>(widths.size()); ++c) {
            header->resizeSection(c, widths[static_cast<std::size_t>(c)]);
        }
        applyingWidths_ = false;
        view->scrollToTop();
    }
    // An empty grid says nothing by itself: the note says what it means.
    auto rows = [](int n, const char* what) {
        return QString("%1 %2 row%3").arg(n).arg(what).arg(n == 1 ? "" : "s");
    };
    if (!on) {
        filterNote_->setVisible(false);
        return;
    }
    int items = filters_[0]->rowCount();
    int ledgers = filters_[1]->rowCount();
    filterNote_->setText(items + ledgers == 0 ? QString("Every row went in.")
                                              : rows(items, "item") + " and " +
                                                    rows(ledgers, "ledger") + " did not go in.");
    filterNote_->setVisible(on);
}

QTableView* MainWindow::GridView(int tab) const {
    return views_[tab];
}

void MainWindow::ApplyGridWidths(int index) {
    Grid* grids[3] = {&form_.itemGrid, &form_.ledgerGrid, &form_.groupGrid};
    const Grid& grid = *grids[index];
    std::vector<int>& shown = shownWidths_[index];
    shown.resize(static_cast<std::size_t>(grid.Cols()), -1);
    applyingWidths_ = true;
    for (int c = 0; c < grid.Cols(); ++c) {
        int& twips = shown[static_cast<std::size_t>(c)];
        if (twips != grid.ColWidth(c)) {
            twips = grid.ColWidth(c);
            views_[index]->setColumnWidth(c, twips / 15);
        }
    }
    applyingWidths_ = false;
}

void MainWindow::KeepDraggedWidth(int index, int col, int width) {
    Grid* grids[3] = {&form_.itemGrid, &form_.ledgerGrid, &form_.groupGrid};
    if (applyingWidths_ || syncing_ || col >= grids[index]->Cols()) {
        return;
    }
    std::string heading =
        QString::fromUtf8(grids[index]->TextMatrix(0, col)).trimmed().toStdString();
    draggedWidths_[index][heading] = width;
}

// Once a workbook is in the grids: the row numbers and the number columns
// as wide as their values (up to a limit), then the widths the operator
// gave columns of the same heading.
void MainWindow::FitColumns(int index) {
    Grid* grids[2] = {&form_.itemGrid, &form_.ledgerGrid};
    const Grid& grid = *grids[index];
    QTableView* view = views_[index];
    if (!form_.workbookLoaded || grid.Rows() < 2) {
        return;
    }
    QFontMetrics cells = view->fontMetrics();
    QFontMetrics header(view->horizontalHeader()->font());
    int limit = cells.horizontalAdvance(QString(14, '0')) + 14;
    applyingWidths_ = true;
    for (int c : NumberColumns(index)) {
        if (c >= grid.Cols()) {
            continue;
        }
        view->setColumnWidth(c, FittedWidth(grid, c, cells, header, c == 0 ? INT_MAX : limit));
    }
    for (int c = 0; c < grid.Cols(); ++c) {
        std::string heading = QString::fromUtf8(grid.TextMatrix(0, c)).trimmed().toStdString();
        if (auto found = draggedWidths_[index].find(heading);
            found != draggedWidths_[index].end()) {
            view->setColumnWidth(c, found->second);
        }
    }
    applyingWidths_ = false;
}

void MainWindow::ShowProblems() {
    std::vector<ProblemPlace> places = PlacesOf(form_, form_.problems);
    GridModel::ProblemCells cells[2];
    for (std::size_t i = 0; i < places.size(); ++i) {
        const ProblemPlace& place = places[i];
        if (place.Found() && place.col >= 0) {
            int severity = form_.problems[i].severity == Problem::Severity::Error ? 0 : 1;
            auto [at, fresh] = cells[place.grid].emplace(std::pair{place.row, place.col}, severity);
            at->second = std::min(at->second, severity);
        }
    }
    for (int g = 0; g < 2; ++g) {
        models_[g]->SetProblemCells(std::move(cells[g]));
    }
    problems_->ShowProblems(form_.problems, std::move(places));
}

void MainWindow::GoToProblem(const ProblemPlace& place) {
    if (!place.Found() || place.grid > 1) {
        return;
    }
    tabs_->setCurrentIndex(place.grid);
    QTableView* view = views_[place.grid];
    QModelIndex cell = models_[place.grid]->index(place.row - 1, std::max(place.col, 1));
    if (view->model() == filters_[place.grid]) {
        QModelIndex shown = filters_[place.grid]->mapFromSource(cell);
        if (shown.isValid()) {
            cell = shown;
        } else {
            onlyNotIn_->setChecked(false);  // the filter hides the row
        }
    }
    view->scrollTo(cell, QAbstractItemView::PositionAtCenter);
    view->setCurrentIndex(cell);
}

void MainWindow::ChangeProductFolder() {
    if (busy_) {
        return;
    }
    std::string folder = chooseFolder_ ? chooseFolder_(this) : AskForProductFolder(this);
    if (folder.empty()) {
        return;
    }
    form_.UseProductFolder(folder);
    if (folderChanged_) {
        folderChanged_(folder);
    }
    Sync();
    ShowProblems();
}

void MainWindow::SyncGrid(int index) {
    Grid* grids[3] = {&form_.itemGrid, &form_.ledgerGrid, &form_.groupGrid};
    const Grid& grid = *grids[index];
    QTableView* view = views_[index];
    if (models_[index]->Sync()) {
        ApplyGridWidths(index);
    }
    if (grid.TopRow() != shownTopRow_[index] && grid.Rows() > 1) {
        shownTopRow_[index] = grid.TopRow();
        view->verticalScrollBar()->setValue(grid.TopRow() - 1);
    }
}

void MainWindow::Sync() {
    syncing_ = true;
    setWindowTitle(QString::fromStdString(form_.Caption));
    frame_->setVisible(form_.migrationFrame.Visible);

    const ComboBox& combo = form_.companyList;
    bool sameList = company_->count() == combo.ListCount();
    for (int i = 0; sameList && i < combo.ListCount(); ++i) {
        sameList = company_->itemText(i).toStdString() == combo.List(i);
    }
    if (!sameList) {
        company_->clear();
        for (int i = 0; i < combo.ListCount(); ++i) {
            company_->addItem(QString::fromStdString(combo.List(i)));
        }
    }
    company_->setCurrentIndex(combo.ListIndex());
    update_->setChecked(form_.updateItemsBox.Value == 1);
    negativeIsCredit_->setChecked(form_.negativeIsCreditBox.Value == 1);
    replaceOpenings_->setChecked(form_.replaceOpeningsBox.Value == 1);
    const Date& d = form_.migrationDate.Value;
    date_->setDate(QDate(d.year, d.month, d.day));

    if (form_.statusBox.Text != shownStatus_) {
        shownStatus_ = form_.statusBox.Text;
        std::string shown = shownStatus_;
        // The box keeps CR LF line ends; the editor wants plain line feeds.
        std::string plain;
        plain.reserve(shown.size());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (!(shown[i] == '\r' && i + 1 < shown.size() && shown[i + 1] == '\n')) {
                plain += shown[i];
            }
        }
        status_->setPlainText(QString::fromStdString(plain));
    }
    if (form_.statusBox.SelStart >= static_cast<int>(form_.statusBox.Text.size())) {
        status_->moveCursor(QTextCursor::End);
        status_->ensureCursorVisible();
    }

    for (int i = 0; i < tabs_->count() && i < static_cast<int>(form_.gridTabs.TabCaption.size());
         ++i) {
        tabs_->setTabText(i, QString::fromStdString(form_.gridTabs.TabCaption[i]));
    }
    tabs_->setCurrentIndex(form_.gridTabs.Tab);
    for (int i = 0; i < 3; ++i) {
        SyncGrid(i);
    }
    // The bar follows every event pass. Its sentence follows the timer: a
    // new text lays the window out afresh, which costs more than a pass.
    ShowProgressBar();
    if (busy_) {
        SyncStop();
    } else {
        SyncWorkbook();
    }
    syncing_ = false;
}

void MainWindow::SyncWorkbook() {
    productFolder_->setText("Product folder: " + QString::fromStdString(form_.ProductFolder()));
    productFolder_->setToolTip(QString::fromStdString(form_.ProductFolder()));
    QString path = QString::fromStdString(form_.fileDialog.FileName);
    if (form_.workbookLoaded && !path.isEmpty()) {
        workbook_->setText("Workbook: " + QFileInfo(path).fileName());
        workbook_->setToolTip(path);
    } else {
        workbook_->setText("No workbook loaded");
        workbook_->setToolTip(QString());
    }
    // What the load says of each sheet, under the workbook's name: a line
    // each here, cut to the column's width, the whole of it in the tooltip.
    QStringList lines;
    for (const std::string& line : form_.loadLines) {
        lines << QString::fromStdString(line);
    }
    if (lines != loadLines_->Lines()) {
        loadLines_->SetLines(lines);
    }
    loadLines_->setVisible(form_.workbookLoaded && !lines.isEmpty());
    saveReport_->setEnabled(!busy_ && !form_.tally.rows.empty());
    saveOpeningStatement_->setEnabled(!busy_ && form_.saveOpeningStatementButton.Enabled);
    restore_->setEnabled(!busy_ && form_.restoreButton.Enabled);
    saveFailedRows_->setEnabled(!busy_ && form_.saveFailedRowsButton.Enabled);
    onlyNotIn_->setEnabled(
        !busy_ && (form_.itemGrid.RowMarkCount() > 0 || form_.ledgerGrid.RowMarkCount() > 0));
}

}  // namespace ledgerlift
