#include "review/ui/graph_range_dialog.h"

#include "base/ui/qt_seams.h"
#include "base/ui_seam.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString number_text(double v)
{
    return QString::asprintf("%f", v);
}

} // namespace

graph_range_dialog::graph_range_dialog(QWidget* parent, graph_model& model, bool frequency,
                                       std::function<void()> repaint)
    : QDialog(parent), model_(model), frequency_(frequency), repaint_(std::move(repaint)),
      freq_before_(model.freq), gain_before_(model.gain),
      mode_before_(frequency ? model.freq_mode : model.gain_mode)
{
    setWindowTitle(frequency ? QStringLiteral("Frequency Range") : QStringLiteral("Gain Range"));
    auto* form = new QFormLayout(this);
    min_ = new QLineEdit(number_text(frequency ? model.freq.fmin : model.gain.gmin), this);
    max_ = new QLineEdit(number_text(frequency ? model.freq.fmax : model.gain.gmax), this);
    form->addRow(QStringLiteral("Min :"), min_);
    form->addRow(QStringLiteral("Max :"), max_);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* preview = new QPushButton(QStringLiteral("Preview"), this);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(preview);
    form->addRow(buttons);
    connect(ok, &QPushButton::clicked, this, &graph_range_dialog::press_ok);
    connect(cancel, &QPushButton::clicked, this, &graph_range_dialog::reject);
    connect(preview, &QPushButton::clicked, this, &graph_range_dialog::press_preview);
}

bool graph_range_dialog::apply()
{
    const std::string lo = qt_to_ansi(min_->text());
    const std::string hi = qt_to_ansi(max_->text());
    s_range_check r;
    const bool ok =
        frequency_ ? model_.apply_freq_range(lo, hi, &r) : model_.apply_gain_range(lo, hi, &r);
    if (!ok) {
        ui_message_box(this, r.message, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    if (frequency_)
        max_->setText(number_text(r.max)); // a widened span shows its new maximum
    return true;
}

void graph_range_dialog::press_ok()
{
    apply();
    repaint_();
    accept();
}

void graph_range_dialog::press_preview()
{
    apply();
    repaint_();
}

void graph_range_dialog::reject()
{
    model_.freq = freq_before_;
    model_.gain = gain_before_;
    (frequency_ ? model_.freq_mode : model_.gain_mode) = mode_before_;
    repaint_();
    QDialog::reject();
}
