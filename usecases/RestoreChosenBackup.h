#pragma once

#include <string>

#include "data/Connection.h"
#include "ui/FormControls.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// What "Restore Backup..." works on: the company chosen in the window, the
// window's own connection (closed first when it is open on that company's
// database), the product folder and how many backups to keep.
struct RestoreRequest {
    FormControls& controls;
    Connection& companyConnection;
    std::string productFolder;
    int keepBackups;
};

// "Restore Backup...". For the company chosen in the window:
//  1. lists its backups, newest first (time, size, what made it) and lets
//     the operator choose one; a company without backups is told where they
//     would be;
//  2. asks a Yes/No question that names the company and the backup's time;
//  3. restores it (RestoreCompany: the database as it is now is backed up
//     first), with the hourglass, and says what was done in the status box
//     and in a message; a refusal or a failure is shown with a critical icon
//     and leaves the database as it was.
void RestoreChosenBackup(const RestoreRequest& request, WindowOps& ops);

}  // namespace ledgerlift
