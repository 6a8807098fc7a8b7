#pragma once
// The blocking preview of a laid-out report: opened maximised, the whole page in view; it prints
// from its toolbar and saves the report as PDF.
#include "report_engine/report.h"

class QWidget;

namespace tabel::ui {
class Prompter;
}

namespace tabel::report {

// Returns when the user closes the preview.
void preview(ui::Prompter& prompter, const Definition& definition, const std::vector<Page>& pages, const QString& title,
    QWidget* parent);

} // namespace tabel::report
