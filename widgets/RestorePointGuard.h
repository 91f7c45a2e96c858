#pragma once
// The one place where the program's operations keep a restore point: after a
// complete read of the unit, and before anything rewrites its configuration.
// A point that cannot be kept is said with its cause, and an operation that
// would overwrite the unit goes on only when the user says so (default: no).

#include "model/RestorePoints.h"

#include <QString>

#include <string>

class QWidget;

namespace vapora {

struct AppContext;

// The restore points' folder of the program's main folder; empty when the main
// folder is not known yet (then no point is kept).
QString RestoreFolder(const AppContext& context);

// Before an operation that rewrites the connected unit's configuration, with
// the record holding what the unit holds. True when the operation may go on:
// the point was kept, there is no unit to overwrite, or the user chose to go on
// without a copy.
bool KeepBeforeOverwrite(AppContext& context, QWidget* owner, const QString& title, restore::Reason reason);

// The same before a configuration file is loaded into the connected unit. A file the
// record would refuse changes nothing, so it needs no point (its load says why).
bool KeepBeforeFileLoad(AppContext& context, QWidget* owner, const QString& title, restore::Reason reason,
                        const std::string& localPath, int scope);

// After a complete read (Read, or AfterProgramming). A point identical to the
// newest of its history is not stored again. A failure is told when `tell`.
restore::TakeStatus KeepAfterRead(AppContext& context, QWidget* owner, const QString& title, restore::Reason reason,
                                  bool tell);

// Retention at the program's start, quietly; how many points it removed.
int ThinRestorePoints(const AppContext& context);

// The texts of a failed point: the headline with the folder, then the cause.
QString RestoreFailureText(const AppContext& context, FileError error);

} // namespace vapora
