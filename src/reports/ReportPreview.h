#pragma once

class QWidget;

namespace reports {

class Report;

// Shows a report in the print preview, from which the user prints it or saves it as PDF or CSV.
// Returns when the preview is closed. Errors are shown in a message box.
void showReportPreview(const Report& report, QWidget* parent);

}  // namespace reports
