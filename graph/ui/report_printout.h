#pragma once
// A report document as the windows' File > Print..., Print Preview and
// Export PDF... take it: the document kept alive by the printout, its PDF
// on the locale's paper (A4, or Letter where the locale measures in inches).
// What the document paints from besides itself travels in keep.
#include "base/ui/print_actions.h"
#include "graph/ui/report_document.h"

#include <memory>

s_printout report_printout(report_document doc, std::shared_ptr<const void> keep = {});
