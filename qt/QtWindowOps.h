#pragma once

#include <QString>
#include <cstdint>

#include "ui/WindowOps.h"

namespace ledgerlift {

class MainWindow;
class Settings;

// The window operations on the real Qt window. An event pass brings the view
// up to date and lets Qt paint and handle input, but only when a tenth of a
// second has passed since the last one: the logic may ask for one per grid
// row, and each real pass costs as much as thousands of rows (painting the
// window 25 times a second took a sixth of a workbook's import).
class QtWindowOps : public WindowOps {
  public:
    static constexpr int kRefreshMs = 100;

    void Attach(MainWindow* window) { window_ = window; }
    // The file dialog opens in the folder of the workbook chosen last, and
    // remembers the new one there. Without settings it opens in the working
    // folder.
    void UseSettings(Settings* settings) { settings_ = settings; }
    // The next file dialog is answered with this file without being shown,
    // as when a file manager opens a workbook with the program.
    void QueueFile(const std::string& path) { queuedFile_ = QString::fromStdString(path); }

    MsgAnswer MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                     const std::string& caption = "") override;
    void DoEvents() override;
    void SetMousePointer(MousePointer pointer) override;
    void SetEnabled(bool enabled) override;
    std::optional<std::string> ShowOpen(const std::string& filter) override;
    std::optional<int> ChooseFromList(const std::string& caption, const std::string& prompt,
                                      const std::vector<std::string>& entries) override;
    void Unload() override;
    // Hands the figures to the window's progress bar, which shows them on
    // its own timer, then makes an event pass when one is due: a stage that
    // makes none of its own (the categories) still paints and can be
    // stopped.
    void Progress(const std::string& stage, int done, int total) override;
    void EndProgress() override;
    // The save dialog opens on the suggested file, and adds the filter's
    // extension to a name typed without one.
    std::optional<std::string> ShowSave(const std::string& filter,
                                        const std::string& fileName) override;

    // The dialog filter in Qt's form ("Name (*.a *.b);;..."), the patterns shown
    // as written; the window's file dialogs match them in any letter case.
    static QString QtFilter(const std::string& filter);

  private:
    void Refresh();

    MainWindow* window_ = nullptr;
    Settings* settings_ = nullptr;
    QString queuedFile_;
    std::int64_t lastRefreshMs_ = -1;  // none yet
    bool hourglass_ = false;
};

}  // namespace ledgerlift
