#pragma once

class QWidget;

namespace app {

class TMainFormDati;

// Called by the start-up after a successful log-on. When ADMIN logs on and the database lacks a
// table, column, key, index or trigger of the creation script, or one is inactive, or forced
// writes are off, ADMIN is shown what is wrong and the command that repairs it. Nobody else is
// told (they could not act on it), and a check that cannot run never stops the program.
void WarnAdminOfSchemaProblems(TMainFormDati& dati, QWidget* parent = nullptr);

}  // namespace app
