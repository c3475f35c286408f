#include "review/ui/assessment_write.h"

#include "base/export_texts.h"
#include "base/off_window.h"
#include "base/text_file.h"
#include "base/ui/qt_seams.h"
#include "base/ui_seam.h"
#include "db/db_assessment.h"
#include "db/db_error.h"
#include "graph/ui/report_document.h"
#include "review/assessment_view.h"

#include <QLocale>

namespace {

const char* const CAPTION = "Transformer Assessment";

// Where the user wants the PDF; "" when the chooser was cancelled or a
// file there may not be replaced.
std::string chosen_path(QWidget* owner, const std::string& session_name)
{
    ui_file_request request;
    request.save = true;
    request.caption = "Write Report";
    request.filters = "PDF Files (*.pdf)";
    request.default_suffix = "pdf";
    request.start = session_name + " assessment.pdf";
    ui_file_choice choice;
    if (!ui_choose_file(owner, request, choice))
        return {};
    std::string path = choice.path;
    if (!QString::fromLocal8Bit(path.c_str()).endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += ".pdf";
    return export_may_replace(owner, path) ? path : std::string();
}

} // namespace

s_assessment_record assessment_record_of(const s_assessment_request& r, const QByteArray& pdf)
{
    s_assessment_record record;
    record.SessionNo = r.session_no;
    record.VectorGroup = r.unit.vector_group;
    record.Tap = r.unit.tap;
    record.FingerprintSessionNo = r.fingerprint_no;
    record.SisterSessionNo = r.sister_no;
    record.Conclusion = qt_to_ansi(r.text.conclusion);
    record.AssessedBy = qt_to_ansi(r.text.assessed_by);
    record.Report.assign(pdf.constData(), size_t(pdf.size()));
    return record;
}

namespace {

// What the work left: the stage it failed at and why.
struct s_written {
    int read_rc = 0;
    std::string pdf_error;
    bool file_written = false;
    int store_rc = 0;
};

s_written write(const s_assessment_request& r, const std::string& path)
{
    s_written out;
    s_assessment_inputs inputs;
    out.read_rc = assessment_gather(r.unit, r.session_no, r.fingerprint_no, r.sister_no, inputs);
    if (out.read_rc != 0)
        return out;
    if (const char* gone = assessment_gone_session(inputs, r.fingerprint_no, r.sister_no)) {
        out.pdf_error = gone;
        return out;
    }
    QByteArray pdf;
    if (!assessment_report(inputs, r.text)
             .pdf_bytes(report_paper_of(QLocale()), pdf, out.pdf_error))
        return out;
    out.file_written = file_write_replacing(path, [&](const std::string& temporary) {
        return file_put_bytes(temporary, std::string_view(pdf.constData(), size_t(pdf.size())));
    });
    if (out.file_written)
        out.store_rc = db_store_assessment(assessment_record_of(r, pdf));
    return out;
}

} // namespace

bool assessment_write_report(QWidget* owner, const s_assessment_request& request)
{
    const std::string path = chosen_path(owner, request.session_name);
    if (path.empty())
        return false;
    s_written out;
    const exchange_outcome ran =
        run_off_window("Writing the assessment\x85", [&](const std::atomic<bool>&) {
            out = write(request, path);
            return true;
        });
    if (ran != exchange_outcome::done)
        return false;
    if (out.read_rc != 0) {
        db_report_error_code(out.read_rc);
        return false;
    }
    if (!out.pdf_error.empty() || !out.file_written) {
        const std::string why = out.pdf_error.empty() ? "" : ": " + out.pdf_error;
        ui_message_box(owner, "Unable to write the PDF to " + path + why, CAPTION,
                       MB_OK | MB_ICONWARNING);
        return false;
    }
    if (out.store_rc != 0) {
        db_report_error_code(out.store_rc);
        ui_message_box(owner,
                       "The report was written to " + path +
                           ", but could not be stored with the session.",
                       CAPTION, MB_OK | MB_ICONWARNING);
        return false;
    }
    ui_message_box(owner, "The assessment was written to " + path + " and stored with the session.",
                   CAPTION, MB_OK | MB_ICONINFORMATION);
    return true;
}
