#include "archive/ui/archive_connect.h"

#include "archive/archive_settings.h"
#include "base/ui/exchange_dialog.h"
#include "base/ui/qt_seams.h"
#include "base/ui_seam.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

const char* const ARCHIVE_CAPTION = "Archive";

namespace {

// Kept for the run only, never written anywhere.
std::string& remembered_password()
{
    static std::string password;
    return password;
}

// The address and password dialog; false when cancelled.
bool ask_address(QWidget* owner, const std::string& why, std::string& address,
                 std::string& password)
{
    QDialog dialog(owner);
    dialog.setWindowTitle(QString::fromLatin1(ARCHIVE_CAPTION));
    auto* layout = new QVBoxLayout(&dialog);
    if (!why.empty()) {
        auto* reason = new QLabel(qt_from_ansi(why), &dialog);
        reason->setWordWrap(true);
        layout->addWidget(reason);
    }
    auto* form = new QFormLayout;
    // libpq takes the address and password as UTF-8 (as SCRAM wants them).
    auto* address_edit = new QLineEdit(QString::fromStdString(address), &dialog);
    address_edit->setMinimumWidth(380);
    address_edit->setPlaceholderText(QStringLiteral("postgresql://user@host/archive"));
    auto* password_edit = new QLineEdit(&dialog);
    password_edit->setEchoMode(QLineEdit::Password);
    if (!password.empty())
        password_edit->setPlaceholderText(QStringLiteral("as given before"));
    form->addRow(QStringLiteral("Address"), address_edit);
    form->addRow(QStringLiteral("Password"), password_edit);
    layout->addLayout(form);
    layout->addWidget(new QLabel(
        QStringLiteral("The address is kept in the settings; the password only until you quit."),
        &dialog));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || address_edit->text().trimmed().isEmpty())
        return false;
    address = address_edit->text().trimmed().toStdString();
    // Left empty, the password given before stays.
    if (!password_edit->text().isEmpty())
        password = password_edit->text().toStdString();
    return true;
}

void tell(QWidget* owner, const std::string& text)
{
    ui_message_box(owner, text, ARCHIVE_CAPTION, MB_OK | MB_ICONWARNING);
}

// Keeps an address that worked in the settings, or says why it is not kept
// (a settings file that cannot be written is said by its writer, once).
void keep_address(QWidget* owner, const s_app_paths& paths, const std::string& address)
{
    if (address == archive_settings_address(paths) || archive_settings_set_address(paths, address))
        return;
    if (archive_address_names_password(address))
        tell(owner, "The address names a password, so it is used now but not kept in the "
                    "settings: give the password in the Password field instead");
}

// Opens the archive off the window thread; false after Cancel.
bool open_archive(QWidget* owner, archive_connection& archive, const std::string& address,
                  const std::string& password, archive_use use, archive_outcome& outcome)
{
    outcome = archive_ui_exchange(owner, archive, "Connecting to the archive\x85",
                                  [&] { return archive.open(address, password, use); });
    return outcome.status != archive_status::cancelled;
}

} // namespace

archive_outcome archive_ui_exchange(QWidget* owner, archive_connection& archive,
                                    const std::string& caption,
                                    const std::function<archive_outcome()>& work)
{
    archive_outcome outcome =
        archive_outcome::fail(archive_status::failed, "Another exchange is running");
    const exchange_outcome ran = run_exchange(
        owner, caption,
        [&](const std::atomic<bool>& cancel) {
            const archive_cancel_scope scope(archive, cancel);
            outcome = work();
            return outcome.ok();
        },
        ARCHIVE_CAPTION);
    return ran == exchange_outcome::cancelled ? archive_outcome::fail(archive_status::cancelled, "")
                                              : outcome;
}

bool archive_ui_connect(QWidget* owner, archive_connection& archive, archive_use use)
{
    const s_app_paths& paths = current_app_paths();
    std::string address = archive_settings_address(paths);
    std::string& password = remembered_password();
    std::string why;
    if (address.empty() && !ask_address(owner, why, address, password))
        return false;
    archive_outcome outcome;
    if (!open_archive(owner, archive, address, password, use, outcome))
        return false;
    // Whatever failed (a password wanted or refused, no server, a database
    // that holds no archive this program can use), the user may give the
    // address and password once more: a kept address is changed only here.
    if (!outcome.ok()) {
        if (!ask_address(owner, outcome.message, address, password) ||
            !open_archive(owner, archive, address, password, use, outcome))
            return false;
    }
    if (!outcome.ok()) {
        tell(owner, outcome.message);
        return false;
    }
    keep_address(owner, paths, address);
    return true;
}

std::string archive_ui_with_notices(std::string text, archive_connection& archive)
{
    for (const std::string& notice : archive.take_notices())
        text += "\nThe archive warns: " + notice;
    return text;
}
