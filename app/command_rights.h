#pragma once
// Which commands only a 店长 may run. The menus grey them out for a 营业员, and the command
// checks the role again when it runs, whichever way it was reached.
#include "operator_role.h"

#include <QString>

namespace commandrights {

// The prompt of such a command for a 营业员, and what running it anyway says.
extern const QString kNeedsManager;

bool NeedsManager(int id);
bool MayRun(ERole role, int id);
// Whether a 营业员 runs `id` only with a 店长's name and password typed in.
bool NeedsManagerApproval(ERole role, int id);

// The status bar's pane: "操作员：张三（营业员）".
QString OperatorPane(const QString& name, ERole role);

} // namespace commandrights
