#include "usecases/RunRequest.h"

namespace ledgerlift {

bool RequireLoaded(const FormControls& controls, WindowOps& ops) {
    if (!controls.blnExcelLoaded) {
        ops.MsgBox("Excel data not loaded. Please load Excel data to proceed", MsgButtons::OK,
                   MsgIcon::Critical);
    }
    return controls.blnExcelLoaded;
}

}  // namespace ledgerlift
