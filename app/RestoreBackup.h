#pragma once

namespace ledgerlift {

class Form1;

// The "Restore Backup..." button. For the company chosen in the window:
//  1. lists its backups, newest first (time, size, what made it) and lets
//     the operator choose one; a company without backups is told where they
//     would be;
//  2. asks a Yes/No question that names the company and the backup's time;
//  3. restores it (RestoreCompany: the database as it is now is backed up
//     first), with the hourglass, and says what was done in the status box
//     and in a message; a refusal or a failure is shown with a critical icon
//     and leaves the database as it was.
void RestoreBackup(Form1& form);

}  // namespace ledgerlift
