#pragma once

#include <QDialog>

class QPushButton;

namespace ledgerlift {

// What a first start shows when no product folder is known: what the program
// does and what it needs, in two sentences, and three ways on: try the demo
// company, choose the product folder, or quit.
class WelcomeDialog : public QDialog {
    Q_OBJECT
  public:
    enum class Choice { Demo, ChooseFolder, Quit };

    explicit WelcomeDialog(QWidget* parent = nullptr);

    Choice Chosen() const { return chosen_; }
    QPushButton* DemoButton() const { return demo_; }
    QPushButton* ChooseButton() const { return choose_; }
    QPushButton* QuitButton() const { return quit_; }

    static const char* const kText;

  private:
    void Choose(Choice choice);

    Choice chosen_ = Choice::Quit;
    QPushButton* demo_ = nullptr;
    QPushButton* choose_ = nullptr;
    QPushButton* quit_ = nullptr;
};

}  // namespace ledgerlift
