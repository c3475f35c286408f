// READ HXM and SET UP HXM on a worker, with the model kept on Cancel.

#include "config/ui/config_transfer_ui.h"

#include "base/ui/exchange_dialog.h"
#include "config/config_current.h"
#include "link/link.h"

exchange_outcome config_transfer(QWidget* owner, config_transfer_kind kind)
{
    instrument_config& model = config_current();
    const std::vector<s_config_param> before = model.saved_records();
    const bool read = kind == config_transfer_kind::read;
    const char* caption = read ? "Reading the instrument configuration\x85"
                               : "Writing the instrument configuration\x85";
    const exchange_outcome outcome =
        run_exchange(owner, caption, [&model, read](const std::atomic<bool>& cancel) {
            const link_cancel_scope scope(g_link, cancel);
            return read ? model.read_all(g_link, true) : model.write_all(g_link, true);
        });
    if (outcome == exchange_outcome::cancelled)
        model.restore_records(before);
    return outcome;
}
