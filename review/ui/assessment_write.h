#pragma once
// "Write Report..." of the assessment window: the unit's tests and the
// chosen sessions read afresh, the report built and written as PDF where
// the user chooses, and the assessment stored with the unit's session with
// the PDF's bytes, all off the window thread behind the progress dialog.
#include "db/db_assessment.h"
#include "review/assessment_plan.h"
#include "review/ui/assessment_report.h"

#include <cstdint>

class QByteArray;
class QWidget;

struct s_assessment_request {
    s_transformer unit;
    int64_t session_no = 0;
    int64_t fingerprint_no = 0; // 0: none
    int64_t sister_no = 0;      // 0: none
    std::string session_name;   // names the file the chooser offers
    s_assessment_text text;
};

// The assessment as it is stored with the unit's session, with the PDF's
// bytes (the command line's report stores the same).
s_assessment_record assessment_record_of(const s_assessment_request& r, const QByteArray& pdf);

// True when the PDF is written and stored; otherwise the user has been told
// what was and was not done (a cancelled chooser tells nothing).
bool assessment_write_report(QWidget* owner, const s_assessment_request& request);
