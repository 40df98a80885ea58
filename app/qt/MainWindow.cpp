#include "app/qt/MainWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "app/qt/GridModel.h"

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

MainWindow::MainWindow(Form1& form, QWidget* parent) : QWidget(parent), form_(form) {
    Build();
    Sync();
}

MainWindow::~MainWindow() = default;

void MainWindow::Build() {
    InitPictures();
    setWindowIcon(QIcon(":/pictures/icon.svg"));
    resize(1200, 760);

    load_ = new QPushButton(QString::fromStdString(form_.cmdLoad.Caption));
    migrate_ = new QPushButton(QString::fromStdString(form_.cmdMigrate.Caption));
    check_ = new QPushButton(QString::fromStdString(form_.cmdCheck.Caption));
    check_->setToolTip("Predict what Start Migration would do, without writing anything");
    close_ = new QPushButton(QString::fromStdString(form_.cmdClose.Caption));
    restore_ = new QPushButton(QString::fromStdString(form_.cmdRestore.Caption));
    saveFailedRows_ = new QPushButton(QString::fromStdString(form_.cmdSaveFailedRows.Caption));
    for (auto* button : {load_, migrate_, check_, close_, restore_, saveFailedRows_}) {
        button->setAccessibleName(button->text());
        button->setMinimumHeight(32);
    }
    company_ = new QComboBox;
    company_->setAccessibleName("Tallvane company");
    update_ = new QCheckBox(QString::fromStdString(form_.chkUpdateItems.Caption));
    update_->setAccessibleName(update_->text());
    date_ = new QDateEdit;
    date_->setCalendarPopup(true);
    date_->setDisplayFormat("yyyy-MM-dd");
    date_->setAccessibleName("Migration date");
    status_ = new QPlainTextEdit;
    status_->setReadOnly(true);
    status_->setAccessibleName("Migration status");

    productFolder_ = new QLabel("Product folder: " + QString::fromStdString(form_.ProgramFolder()));
    productFolder_->setAccessibleName("Product folder");
    productFolder_->setWordWrap(true);
    productFolder_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* companyLabel = new QLabel(QString::fromStdString(form_.Label1.Caption));
    companyLabel->setAccessibleName(companyLabel->text());
    companyLabel->setBuddy(company_);
    auto* dateLabel = new QLabel("Migration date:");
    dateLabel->setAccessibleName(dateLabel->text());
    dateLabel->setBuddy(date_);

    frame_ = new QFrame;
    frame_->setFrameShape(QFrame::StyledPanel);
    frame_->setAccessibleName("Migration");
    auto* frameLayout = new QVBoxLayout(frame_);
    frameLayout->addWidget(companyLabel);
    frameLayout->addWidget(company_);
    frameLayout->addWidget(dateLabel);
    frameLayout->addWidget(date_);
    frameLayout->addWidget(update_);
    auto* runButtons = new QHBoxLayout;
    runButtons->addWidget(migrate_, 1);
    runButtons->addWidget(check_);
    frameLayout->addLayout(runButtons);

    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* left = new QVBoxLayout;
    left->addWidget(Picture(":/pictures/logo.svg", "Ledgerlift", QSize(148, 65)));
    left->addWidget(Heading(form_.Label2.Caption));
    left->addWidget(load_);
    left->addWidget(line);
    left->addWidget(Heading(form_.Label5.Caption));
    left->addWidget(frame_);
    // Beside Step II: undoing a run, and the rows a run left to fix.
    auto* afterRun = new QHBoxLayout;
    afterRun->addWidget(restore_);
    afterRun->addWidget(saveFailedRows_);
    left->addLayout(afterRun);
    left->addWidget(status_, 1);
    left->addWidget(productFolder_);
    left->addWidget(close_);

    tabs_ = new QTabWidget;
    tabs_->setAccessibleName("Workbook rows");
    const char* gridNames[3] = {"Item rows", "Ledger rows", "Account groups"};
    Grid* grids[3] = {&form_.msf1, &form_.msf2, &form_.msf3};
    for (int i = 0; i < 3; ++i) {
        models_[i] = new GridModel(*grids[i], this);
        auto* view = new QTableView;
        view->setModel(models_[i]);
        view->setAccessibleName(gridNames[i]);
        view->verticalHeader()->setVisible(false);
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setDefaultSectionSize(22);
        view->horizontalHeader()->setHighlightSections(false);
        view->setWordWrap(false);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        views_[i] = view;
        tabs_->addTab(view, QString::fromStdString(form_.SSTab1.TabCaption[i]));
    }

    auto* notices = new QHBoxLayout;
    notices->addWidget(BlueLabel(form_.Label3.Caption, true), 1);
    notices->addWidget(BlueLabel(form_.Label4.Caption, false));
    notices->addWidget(Picture(":/pictures/banner.svg", "Ledgerlift banner", QSize(160, 40)));

    auto* right = new QVBoxLayout;
    right->addWidget(tabs_, 1);
    right->addLayout(notices);

    auto* top = new QHBoxLayout(this);
    top->addLayout(left, 0);
    top->addLayout(right, 1);
    left->setContentsMargins(0, 0, 8, 0);
    frame_->setMinimumWidth(360);
    status_->setMinimumWidth(360);

    connect(load_, &QPushButton::clicked, this, [this] { Run([this] { form_.cmdLoad_Click(); }); });
    connect(check_, &QPushButton::clicked, this,
            [this] { Run([this] { form_.cmdCheck_Click(); }); });
    connect(migrate_, &QPushButton::clicked, this,
            [this] { Run([this] { form_.cmdMigrate_Click(); }); });
    connect(close_, &QPushButton::clicked, this, [this] { form_.cmdClose_Click(); });
    connect(restore_, &QPushButton::clicked, this,
            [this] { Run([this] { form_.cmdRestore_Click(); }); });
    connect(saveFailedRows_, &QPushButton::clicked, this,
            [this] { Run([this] { form_.cmdSaveFailedRows_Click(); }); });
    connect(company_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!syncing_) {
            form_.txtCompanyName.SetListIndex(index);
        }
    });
    connect(update_, &QCheckBox::toggled, this, [this](bool on) {
        if (!syncing_) {
            form_.chkUpdateItems.Value = on ? 1 : 0;
        }
    });
    connect(date_, &QDateEdit::dateChanged, this, [this](QDate d) {
        if (!syncing_) {
            form_.dtpDate.Value = Date{d.year(), d.month(), d.day()};
        }
    });
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
        if (!syncing_) {
            form_.SSTab1.Tab = tab;
        }
    });
}

void MainWindow::Run(const std::function<void()>& procedure) {
    // One event procedure at a time: a click that arrives during an event pass
    // of a running import or migration is ignored rather than nested in it.
    if (busy_) {
        return;
    }
    busy_ = true;
    procedure();
    busy_ = false;
    Sync();
    if (unloadRequested_) {
        close();
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
        unloadRequested_ = true;
        event->ignore();
        return;
    }
    event->accept();
}

QTableView* MainWindow::GridView(int tab) const {
    return views_[tab];
}

void MainWindow::SyncGrid(int index) {
    Grid* grids[3] = {&form_.msf1, &form_.msf2, &form_.msf3};
    const Grid& grid = *grids[index];
    QTableView* view = views_[index];
    if (models_[index]->Sync()) {
        for (int c = 0; c < grid.Cols(); ++c) {
            view->setColumnWidth(c, grid.ColWidth(c) / 15);
        }
    }
    if (grid.TopRow() != shownTopRow_[index] && grid.Rows() > 1) {
        shownTopRow_[index] = grid.TopRow();
        view->verticalScrollBar()->setValue(grid.TopRow() - 1);
    }
}

void MainWindow::Sync() {
    syncing_ = true;
    setWindowTitle(QString::fromStdString(form_.Caption));
    frame_->setVisible(form_.fraMIgrate.Visible);
    restore_->setEnabled(form_.cmdRestore.Enabled);
    saveFailedRows_->setEnabled(form_.cmdSaveFailedRows.Enabled);

    const ComboBox& combo = form_.txtCompanyName;
    if (company_->count() != combo.ListCount()) {
        company_->clear();
        for (int i = 0; i < combo.ListCount(); ++i) {
            company_->addItem(QString::fromStdString(combo.List(i)));
        }
    }
    company_->setCurrentIndex(combo.ListIndex());
    update_->setChecked(form_.chkUpdateItems.Value == 1);
    const Date& d = form_.dtpDate.Value;
    date_->setDate(QDate(d.year, d.month, d.day));

    if (form_.txtStatus.Text != shownStatus_) {
        shownStatus_ = form_.txtStatus.Text;
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
    if (form_.txtStatus.SelStart >= static_cast<int>(form_.txtStatus.Text.size())) {
        status_->moveCursor(QTextCursor::End);
        status_->ensureCursorVisible();
    }

    for (int i = 0; i < tabs_->count() && i < static_cast<int>(form_.SSTab1.TabCaption.size());
         ++i) {
        tabs_->setTabText(i, QString::fromStdString(form_.SSTab1.TabCaption[i]));
    }
    tabs_->setCurrentIndex(form_.SSTab1.Tab);
    for (int i = 0; i < 3; ++i) {
        SyncGrid(i);
    }
    syncing_ = false;
}

}  // namespace ledgerlift
