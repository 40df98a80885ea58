#pragma once

#include <functional>

namespace ledgerlift {

// The window as the binders of its areas see it: whether an event procedure
// runs, whether the view itself is setting the widgets from the form (their
// signals are then not the operator's), and the one way to run a procedure.
class AreaHost {
  public:
    // What a procedure leaves for the window to show once it has ended.
    enum class After { Nothing, Problems, Load };

    virtual bool Busy() const = 0;
    virtual bool Syncing() const = 0;
    // The operator closed the window while a procedure ran: it closes once
    // the procedure has ended.
    virtual bool UnloadRequested() const = 0;
    // Runs an event procedure, one at a time: the controls that would start
    // or change one show as disabled meanwhile, and Stop shows when it is
    // stoppable.
    virtual void Run(const std::function<void()>& procedure, bool stoppable, After after) = 0;

  protected:
    ~AreaHost() = default;
};

}  // namespace ledgerlift
