#include "lcr/ui/fit_panel.h"

#include "base/off_window.h"
#include "base/ui/qt_seams.h"
#include "lcr/circuit_curve.h"

#include <QComboBox>
#include <QLabel>

namespace {

constexpr int MODELS = 7;
constexpr int ROW = 27;
constexpr int LINE = 15;
// The model's name, four elements, the residual and Q, fr and fa.
constexpr int MOST_LINES = 7;
constexpr int ITEM_NONE = 0;
constexpr int ITEM_BEST = 1;

QLabel* row_label(QWidget* parent, const QString& text, int y)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(8, y, 52, ROW);
    return l;
}

} // namespace

fit_panel::fit_panel(QWidget* parent, bool with_cursors, std::optional<circuit_model> first_choice)
    : QGroupBox(QStringLiteral("Equivalent Circuit"), parent)
{
    model_ = new QComboBox(this);
    model_->addItems({QStringLiteral("None"), QStringLiteral("Best Model")});
    for (int m = 0; m < MODELS; ++m)
        model_->addItem(QString::fromLatin1(circuit_model_name(static_cast<circuit_model>(m))));
    model_->setCurrentIndex(first_choice ? static_cast<int>(*first_choice) + 2 : ITEM_NONE);
    row_label(this, QStringLiteral("Model"), 20)->setBuddy(model_);
    model_->setGeometry(62, 20, 180, ROW);
    int y = 20 + ROW + 4;
    if (with_cursors) {
        range_ = new QComboBox(this);
        range_->addItems({QStringLiteral("Whole Sweep"), QStringLiteral("Between Cursors")});
        row_label(this, QStringLiteral("Range"), y)->setBuddy(range_);
        range_->setGeometry(62, y, 180, ROW);
        y += ROW + 4;
        connect(range_, &QComboBox::currentIndexChanged, this, [this] {
            if (changed)
                changed();
        });
    }
    lines_ = new QLabel(this);
    lines_->setToolTip(QStringLiteral("Fitted Values"));
    lines_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lines_->setGeometry(8, y, 234, MOST_LINES * LINE);
    setMinimumSize(250, y + MOST_LINES * LINE + 6);
    connect(model_, &QComboBox::currentIndexChanged, this, [this] {
        if (changed)
            changed();
    });
}

int fit_panel::needed_height()
{
    return 20 + 2 * (ROW + 4) + MOST_LINES * LINE + 6;
}

s_fit_choice fit_panel::choice() const
{
    s_fit_choice c;
    const int item = model_->currentIndex();
    c.fit = item > ITEM_NONE;
    if (item > ITEM_BEST)
        c.model = static_cast<circuit_model>(item - 2);
    c.between_cursors = range_ && range_->currentIndex() == 1;
    return c;
}

void fit_panel::show_fit(const circuit_fit* fit)
{
    QStringList lines;
    if (fit)
        for (const std::string& l : circuit_fit_lines(*fit))
            lines << qt_from_ansi(l).replace(QStringLiteral("Ohm"), QStringLiteral("\u03A9"));
    lines_->setText(lines.join(QLatin1Char('\n')));
}

circuit_fit fit_choice_off_window(const s_fit_choice& choice,
                                  const std::vector<impedance_sample>& samples)
{
    circuit_fit fit;
    run_off_window("Fitting the equivalent circuit\x85", [&](const std::atomic<bool>&) {
        fit = choice.model ? fit_circuit(samples, *choice.model) : fit_best_circuit(samples);
        return true;
    });
    return fit;
}
