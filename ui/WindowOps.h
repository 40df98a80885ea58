#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ledgerlift {

enum class MsgButtons { OK, YesNo };
enum class MsgIcon { None, Critical, Exclamation, Question, Information };
enum class MsgAnswer { OK, Yes, No };
enum class MousePointer { Default = 0, Hourglass = 11 };

// The program's title: the caption of every message box that sets none.
inline constexpr const char* kAppTitle = "Ledgerlift";

// Everything the logic asks of the window toolkit beyond the controls' state.
// The Qt window implements it for the operator; a scripted implementation
// answers from a queue for tests and the command line. Each call may first
// bring the view up to date with the controls.
class WindowOps {
  public:
    virtual ~WindowOps() = default;

    // A modal message box. An empty caption shows the program's title.
    virtual MsgAnswer MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                             const std::string& caption = "") = 0;
    // Lets the window repaint and handle queued input. The Qt view does real
    // work here at most every few tens of milliseconds.
    virtual void DoEvents() = 0;
    virtual void SetMousePointer(MousePointer pointer) = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // The modal open-file dialog with the given filter ("Name|*.ext|...").
    // Gives the chosen file's full path, or nothing when cancelled.
    virtual std::optional<std::string> ShowOpen(const std::string& filter) = 0;
    // A modal dialog that lists entries under a prompt for the operator to
    // choose one. Gives the chosen entry's index, or nothing when cancelled.
    virtual std::optional<int> ChooseFromList(const std::string& caption, const std::string& prompt,
                                              const std::vector<std::string>& entries) = 0;
    // Unloads the window, which ends the program.
    virtual void Unload() = 0;

    // How far a long procedure is (the import, a stage of a run or a check):
    // the stage's name ("Migrating items"), rows done and rows in all (0
    // when not known). Called with done 0 when a stage starts and after
    // every row. The Qt view shows a bar with the rate and the time left,
    // painted in its event passes; it never runs a procedure from here.
    virtual void Progress(const std::string& stage, int done, int total) = 0;
    // The procedure is over: the view takes its progress away.
    virtual void EndProgress() = 0;
    // The modal save-file dialog with the given filter ("Name|*.ext|...")
    // and suggested file name. Gives the chosen file's full path, or nothing
    // when cancelled.
    virtual std::optional<std::string> ShowSave(const std::string& filter,
                                                const std::string& fileName) = 0;
    // A line was appended to the status box (see AppendStatus). The window
    // shows the box itself; the command line prints the line.
    virtual void StatusLine(const std::string& /*line*/) {}
    // Whether the operator sees the grids, so that a message may point at
    // the rows marked there; the command line has none.
    virtual bool ShowsGrids() const { return true; }
};

}  // namespace ledgerlift
