#include "db/ui/session_details_dialog.h"

#include "base/ui/qt_seams.h"
#include "base/ui_seam.h"
#include "db/db_error.h"
#include "db/db_form.h"
#include "db/details_rules.h"

#include <QDate>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int COMMENTS_LIMIT = 150;
// Room for a contract name and a comment of ordinary length.
constexpr int DIALOG_MIN_WIDTH = 380;

std::string text_of(const QLineEdit* e)
{
    return qt_to_ansi(e->text());
}

} // namespace

session_details_dialog::session_details_dialog(QWidget* parent, s_session& session,
                                               session_store store)
    : QDialog(parent), session_(session), store_(std::move(store))
{
    setWindowTitle(session.SessionNo == 0 ? "Add Session" : "Session Details");
    setMinimumWidth(DIALOG_MIN_WIDTH);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    contract_ = add_line(form, 1033, "Contract", 50);
    unit_ = add_line(form, 1034, "Unit", 50);
    date_ = add_line(form, 1037, "Date", 10);
    location_ = add_line(form, 1039, "Location", 50);
    performed_by_ = add_line(form, 1043, "Performed By", 70);
    comments_ = new QPlainTextEdit(this);
    comments_->setProperty("control_id", 1042);
    form->addRow("Comment", comments_);

    contract_->setText(qt_from_ansi(session.Name));
    unit_->setText(qt_from_ansi(session.Unit));
    date_->setText(QString("%1/%2/%3").arg(session.day).arg(session.month).arg(session.year));
    location_->setText(qt_from_ansi(session.Location));
    performed_by_->setText(qt_from_ansi(session.PerformedBy));
    comments_->setPlainText(qt_from_ansi(session.Comments));

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(session.SessionNo <= 0 ? "Create Session" : "OK",
                             QDialogButtonBox::AcceptRole);
    ok_->setProperty("control_id", SESSION_DETAILS_OK);
    ok_->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel)->setProperty("control_id", SESSION_DETAILS_CANCEL);
    connect(ok_, &QPushButton::clicked, this, &session_details_dialog::press_ok);
    connect(buttons, &QDialogButtonBox::rejected, this, &session_details_dialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QLineEdit* session_details_dialog::add_line(QFormLayout* form, int id, const char* label, int limit)
{
    auto* edit = new QLineEdit(this);
    edit->setMaxLength(limit);
    edit->setProperty("control_id", id);
    form->addRow(label, edit);
    return edit;
}

QLineEdit* session_details_dialog::field(int control_id) const
{
    for (QLineEdit* e : {contract_, unit_, date_, location_, performed_by_})
        if (e->property("control_id").toInt() == control_id)
            return e;
    return nullptr;
}

void session_details_dialog::reject()
{
    done(SESSION_DETAILS_CANCEL);
}

int session_details_dialog::run()
{
    return exec();
}

void session_details_dialog::press_ok()
{
    const s_session_entries e{text_of(contract_), text_of(unit_), text_of(date_),
                              text_of(location_), text_of(performed_by_)};
    if (auto m = session_details_check(e)) {
        ui_message_box(this, m->text, m->caption, m->style);
        return;
    }
    details_parse_date(e.date, session_.day, session_.month, session_.year);
    session_.Name = e.contract;
    session_.Unit = e.unit;
    session_.Location = e.location;
    session_.PerformedBy = e.performed_by;
    session_.Comments = qt_to_ansi(comments_->toPlainText()).substr(0, COMMENTS_LIMIT);
    if (store_ && !store_(session_))
        return;
    done(SESSION_DETAILS_OK);
}

bool session_details_new(QWidget* parent, s_session& session, const session_store& store)
{
    const QDate today = QDate::currentDate();
    session = s_session{};
    session.day = today.day();
    session.month = today.month();
    session.year = today.year();
    session_details_dialog dialog(parent, session, store);
    return dialog.run() == SESSION_DETAILS_OK;
}

bool session_store_in_database(s_session& typed)
{
    const int rc = db_store_new_session(typed);
    if (rc != 0)
        db_report_error_code(rc);
    return rc == 0;
}
