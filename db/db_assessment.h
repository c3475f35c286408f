#pragma once
// A unit's assessment, stored with its session: what was compared, the
// user's conclusion and name, and the report as written (PDF bytes).
// Assessments live in a table of their own, Assessment, created the first
// time one is stored: a database that never held one keeps the tables it
// was created with, and older readers never see it. An assessment goes when
// its session goes.
#include <cstdint>
#include <string>

struct s_assessment_record {
    int64_t SessionNo = 0;
    std::string VectorGroup;
    std::string Tap;
    int64_t FingerprintSessionNo = 0; // 0: none
    int64_t SisterSessionNo = 0;      // 0: none
    std::string Conclusion;           // free text the user types (Windows-1252)
    std::string AssessedBy;
    std::string Written; // "YYYY-MM-DD HH:MM" local time when stored
    std::string Report;  // the PDF's bytes; may be empty
};

// Stores (or replaces) the assessment of a session, in a transaction of its
// own unless one is open. Returns the SQLite code; shows nothing.
int db_store_assessment(const s_assessment_record& record);
// Reads a session's assessment; found false when it has none. Returns the
// SQLite code; shows nothing.
int db_read_assessment(int64_t session_no, s_assessment_record& record, bool& found);
// Removes the assessments of the sessions the statement's WHERE part
// selects (key bound to ?1); nothing to do in a file that never held one.
// For the session deletes.
int db_delete_assessments(const char* where, int64_t key);
