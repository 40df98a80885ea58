#include "qt/MainWindow.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include "qt/ColumnsControl.h"
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

}  // namespace

MainWindow::MainWindow(MainForm& form, QWidget* parent) : QWidget(parent), form_(form) {
    Build();
    Bind();
    Sync();
}

MainWindow::~MainWindow() = default;

void MainWindow::Build() {
    InitPictures();
    setWindowIcon(QIcon(":/pictures/icon.svg"));
    resize(1200, 760);
    auto* top = new QHBoxLayout(this);
    QLayout* left = BuildLeft();
    top->addLayout(left, 0);
    top->addLayout(BuildRight(), 1);
    left->setContentsMargins(0, 0, 8, 0);
}

// The left column: Step 1, Step II, the status box, the product folder and
// the closing buttons.
QLayout* MainWindow::BuildLeft() {
    auto* columns = new ColumnsControl(
        form_,
        [this](const std::function<void()>& procedure) { Run(procedure, false, After::Load); },
        this);
    load_ = BuildLoadArea(form_, columns);
    run_ = BuildRunControls(form_);
    folder_ = BuildFolderArea(form_);
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* left = new QVBoxLayout;
    left->addWidget(Picture(":/pictures/logo.svg", "Ledgerlift", QSize(148, 65)));
    left->addWidget(Heading(form_.stepOneLabel.Caption));
    left->addLayout(load_.buttons);
    left->addWidget(load_.workbook);
    left->addWidget(load_.lines);
    left->addWidget(line);
    left->addWidget(Heading(form_.stepTwoLabel.Caption));
    left->addWidget(run_.frame);
    left->addLayout(run_.afterRun);
    left->addWidget(load_.status, 1);
    left->addLayout(folder_.row);
    left->addLayout(run_.endButtons);
    return left;
}

// The right column: the filter, the grids over the problems, the progress
// and the notices.
QLayout* MainWindow::BuildRight() {
    grids_ = BuildGridsArea(form_, this);
    auto* notices = new QHBoxLayout;
    notices->addWidget(BlueLabel(form_.noticeLabel.Caption, true), 1);
    notices->addWidget(BlueLabel(form_.webAddressLabel.Caption, false));
    notices->addWidget(Picture(":/pictures/banner.svg", "Ledgerlift banner", QSize(160, 40)));
    problems_ = BuildProblemsArea(grids_.tabs);
    progress_ = BuildProgressArea();

    auto* right = new QVBoxLayout;
    right->addLayout(grids_.filterRow);
    right->addWidget(problems_.splitter, 1);
    right->addLayout(progress_.rows);
    right->addLayout(notices);
    return right;
}

void MainWindow::Bind() {
    AreaHost& host = *this;
    loadBinder_ = new LoadBinder(load_, form_, host, this);
    runBinder_ = new RunControlsBinder(run_, form_, host, this);
    folderBinder_ = new FolderBinder(folder_, form_, host, this, [this] {
        Sync();
        ShowProblems();
    });
    gridsBinder_ = new GridsBinder(grids_, form_, host, this);
    problemsBinder_ = new ProblemsBinder(problems_, form_, *gridsBinder_, this);
    progressBinder_ = new ProgressBinder(progress_, form_, host, this);
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
        gridsBinder_->FitColumns();
    }
    if (after != After::Nothing) {
        ShowProblems();
    }
    if (unloadRequested_) {
        close();
    }
}

// The areas disable what would start or change a procedure while one runs.
// Their order does not matter: a control that loses the focus as it is
// disabled hands it on to the next one enabled, so the focus ends on the
// first control after it that stays enabled whichever goes first.
void MainWindow::SetBusy(bool busy, bool stoppable) {
    busy_ = busy;
    gridsBinder_->SetBusy(busy);
    loadBinder_->SetBusy(busy);
    runBinder_->SetBusy(busy);
    folderBinder_->SetBusy(busy);
    progressBinder_->SetBusy(busy, stoppable);
    if (!busy) {
        SyncIdle();
    }
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
            progressBinder_->SyncStop();
        }
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::SetProgress(const std::string& stage, int done, int total) {
    progressBinder_->SetProgress(stage, done, total);
}

void MainWindow::EndProgress() {
    progressBinder_->EndProgress();
}

void MainWindow::ShowProblems() {
    problemsBinder_->Show();
}

void MainWindow::GoToProblem(const ProblemPlace& place) {
    gridsBinder_->GoToProblem(place);
}

void MainWindow::Sync() {
    syncing_ = true;
    setWindowTitle(QString::fromStdString(form_.Caption));
    runBinder_->Sync();
    loadBinder_->Sync();
    gridsBinder_->Sync();
    // The bar follows every event pass. Its sentence follows the timer: a
    // new text lays the window out afresh, which costs more than a pass.
    progressBinder_->ShowBar();
    if (busy_) {
        progressBinder_->SyncStop();
    } else {
        SyncIdle();
    }
    syncing_ = false;
}

// What only changes between procedures: the names of the folder and the
// workbook, and what the last procedure left to save, restore or filter.
void MainWindow::SyncIdle() {
    folderBinder_->Sync();
    loadBinder_->SyncWorkbook();
    runBinder_->SyncEnabled();
    gridsBinder_->SyncFilter();
}

}  // namespace ledgerlift
