#include "usecases/RunRequest.h"

namespace ledgerlift {

bool RequireLoaded(const FormControls& controls, WindowOps& ops) {
    if (!controls.workbookLoaded) {
        ops.MsgBox("Excel data not loaded. Please load Excel data to proceed", MsgButtons::OK,
                   MsgIcon::Critical);
    }
    return controls.workbookLoaded;
}

}  // namespace ledgerlift
