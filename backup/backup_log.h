#pragma once
// The log row of a backup made: who made it and what it holds.
#include "backup_outcome.h"

#include <QString>

class CDatabase;

// Writes the row of a backup that was made (nothing for one that failed); a row that cannot be
// written is added to the outcome's message, the backup itself stands.
void RecordBackup(CDatabase& db, const QString& operatorName, CBackupOutcome& outcome);
