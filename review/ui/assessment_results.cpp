#include "review/ui/assessment_results.h"

#include "base/ui/eliding_combo.h"
#include "base/ui/qt_seams.h"
#include "review/assessment_text.h"
#include "review/ui/difference_view.h"
#include "review/ui/graph_overlay.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The charts' smallest sizes: both read at them (the readable-chart check).
const QSize CHART_SMALLEST(ASSESSMENT_CHART_WIDTH, ASSESSMENT_CHART_HEIGHT);
// A list's column is this much wider than its widest text.
constexpr int COLUMN_PADDING = 14;

void fill_choices(eliding_combo* combo, const std::vector<s_session_choice>& sessions)
{
    const qint64 chosen = combo->currentData().toLongLong();
    combo->clear();
    combo->addItem(QStringLiteral("None"), qint64(0));
    for (const s_session_choice& s : sessions)
        combo->addItem(qt_from_ansi(s.text), qint64(s.session_no));
    combo->setCurrentIndex(std::max(0, combo->findData(chosen)));
}

QTreeWidgetItem* row_item(const std::vector<std::string>& cells)
{
    QStringList texts;
    for (const std::string& c : cells)
        texts << qt_from_ansi(c);
    return new QTreeWidgetItem(texts);
}

} // namespace

void assessment_fit_columns(QTreeWidget* list, int from, int to)
{
    const QFontMetrics fm = list->fontMetrics();
    for (int c = from; c < to; ++c) {
        int need = fm.horizontalAdvance(list->headerItem()->text(c));
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            need = std::max(need, fm.horizontalAdvance(list->topLevelItem(i)->text(c)));
        list->setColumnWidth(c, need + COLUMN_PADDING);
    }
}

painted_view::painted_view(QWidget* parent, const char* name, QSize smallest) : QWidget(parent)
{
    setObjectName(QString::fromLatin1(name));
    setMinimumSize(smallest);
}

void painted_view::set_painter(paint_function paint)
{
    paint_ = std::move(paint);
    update();
}

void painted_view::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (paint_)
        paint_(p, rect());
    else
        p.fillRect(rect(), palette().color(QPalette::Base));
}

void assessment_chart_model(graph_model& m, const s_compared_curves& curves)
{
    for (const auto* curve : {&curves.reference, &curves.test}) {
        std::vector<s_margin_sample> points;
        for (const s_gain_sample& s : *curve)
            points.push_back({s.frequency, s.gain, 0});
        m.add(curve == &curves.reference ? curves.reference_name : curves.test_name,
              std::move(points));
    }
    for (int i = 0; i < m.count; ++i)
        m.styles[i].phase_visible = false;
    m.set_background(bode_background::white);
    m.gain_cursor_shown = m.phase_cursor_shown = false;
    m.auto_freq_range();
    m.auto_gain_range();
}

assessment_results::assessment_results(QWidget* parent)
    : QGroupBox(QStringLiteral("Comparisons"), parent)
{
    auto* layout = new QVBoxLayout(this);
    auto* choices = new QHBoxLayout;
    fingerprint_ = new eliding_combo(this);
    sister_ = new eliding_combo(this);
    for (auto [label, combo] :
         {std::pair{"Fingerprint:", fingerprint_}, {"Sister unit:", sister_}}) {
        auto* l = new QLabel(QString::fromLatin1(label), this);
        l->setBuddy(combo);
        combo->setMinimumWidth(200);
        choices->addWidget(l);
        choices->addWidget(combo, 1);
        connect(combo, &QComboBox::activated, this, &assessment_results::compare_requested);
    }
    auto* compare = new QPushButton(QStringLiteral("Compare"), this);
    archive_ = new QPushButton(QStringLiteral("Pull from Archive..."), this);
    archive_->setToolTip(QStringLiteral("Earlier tests of the unit or its sister from the lab "
                                        "archive, pulled into the open database"));
    choices->addWidget(compare);
    choices->addWidget(archive_);
    layout->addLayout(choices);
    connect(compare, &QPushButton::clicked, this, &assessment_results::compare_requested);

    summary_ = list("Summary", assessment_summary_columns());
    summary_->setMinimumHeight(7 * summary_->fontMetrics().lineSpacing());
    layout->addWidget(summary_, 3);
    suspect_ = new QLabel(this);
    suspect_->setToolTip(QStringLiteral("Phase that stands out"));
    suspect_->setWordWrap(true);
    QFont bold = suspect_->font();
    bold.setBold(true);
    suspect_->setFont(bold);
    note_ = new QLabel(qt_from_ansi(assessment_symmetry_note()), this);
    note_->setWordWrap(true);
    layout->addWidget(suspect_);
    layout->addWidget(note_);

    // One chart at a time, as wide as the column: the overlay or the
    // Difference view of the comparison chosen in the summary.
    auto* views = new QHBoxLayout;
    auto* overlay = new QRadioButton(QStringLiteral("Overlay"), this);
    auto* difference = new QRadioButton(QStringLiteral("Difference"), this);
    overlay->setChecked(true);
    views->addWidget(new QLabel(QStringLiteral("Chart:"), this));
    views->addWidget(overlay);
    views->addWidget(difference);
    views->addStretch(1);
    layout->addLayout(views);
    overlay_ = new painted_view(this, "QXTarvelo2AssessmentOverlay", CHART_SMALLEST);
    difference_ = new painted_view(this, "QXTarvelo2AssessmentDifference", CHART_SMALLEST);
    difference_->hide();
    layout->addWidget(overlay_, 4);
    layout->addWidget(difference_, 4);
    connect(difference, &QRadioButton::toggled, this, [this](bool on) {
        overlay_->setVisible(!on);
        difference_->setVisible(on);
    });
    indicators_ = list("Indicators", assessment_band_columns());
    indicators_->setMinimumHeight(5 * indicators_->fontMetrics().lineSpacing() + 12);
    layout->addWidget(indicators_, 1);
    connect(summary_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        show_comparison(item ? item->data(0, Qt::UserRole).toInt() : -1);
    });
}

QTreeWidget* assessment_results::list(const char* name, const std::vector<std::string>& columns)
{
    auto* tree = new QTreeWidget(this);
    tree->setToolTip(QString::fromLatin1(name));
    tree->setRootIsDecorated(false);
    QStringList titles;
    for (const std::string& c : columns)
        titles << qt_from_ansi(c);
    tree->setHeaderLabels(titles);
    tree->header()->setStretchLastSection(true);
    return tree;
}

void assessment_results::set_sessions(const std::vector<s_session_choice>& sessions)
{
    fill_choices(fingerprint_, sessions);
    fill_choices(sister_, sessions);
}

int64_t assessment_results::fingerprint() const
{
    return fingerprint_->currentData().toLongLong();
}

int64_t assessment_results::sister() const
{
    return sister_->currentData().toLongLong();
}

void assessment_results::show_nothing(const QString& why)
{
    inputs_ = s_assessment_inputs{};
    summary_->clear();
    suspect_->setText(why);
    show_comparison(-1);
}

void assessment_results::show_inputs(const s_assessment_inputs& inputs)
{
    inputs_ = inputs;
    summary_->clear();
    const auto& comparisons = inputs_.assessment.comparisons;
    for (const size_t i : assessment_worst_first(inputs_.assessment)) {
        QTreeWidgetItem* item = row_item(assessment_summary_cells(comparisons[i]));
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        summary_->addTopLevelItem(item);
    }
    assessment_fit_columns(summary_, 0, summary_->columnCount() - 1);
    std::string verdict = comparisons.empty()
                              ? "Nothing to compare yet."
                              : assessment_suspect_text(inputs_.assessment, inputs_.plan);
    if (const std::string missing = assessment_missing_text(inputs_.assessment); !missing.empty())
        verdict += " " + missing;
    suspect_->setText(qt_from_ansi(verdict));
    if (summary_->topLevelItemCount() > 0)
        summary_->setCurrentItem(summary_->topLevelItem(0));
    else
        show_comparison(-1);
}

void assessment_results::show_comparison(int index)
{
    indicators_->clear();
    s_compared_curves curves;
    const auto& comparisons = inputs_.assessment.comparisons;
    const bool shown = index >= 0 && index < static_cast<int>(comparisons.size()) &&
                       assessment_compared_curves(inputs_, comparisons[size_t(index)], curves);
    if (!shown) {
        overlay_->set_painter({});
        difference_->set_painter({});
        return;
    }
    for (const auto& row : assessment_band_rows(comparisons[size_t(index)]))
        indicators_->addTopLevelItem(row_item(row));
    assessment_fit_columns(indicators_, 0, indicators_->columnCount() - 1);
    auto model = std::make_shared<graph_model>();
    assessment_chart_model(*model, curves);
    auto difference = std::make_shared<s_graph_comparison>(graph_compare_with_reference(*model));
    overlay_->set_painter(
        [model](QPainter& p, const QRect& r) { graph_paint(p, r, *model, false); });
    difference_->set_painter(
        [model, difference, lead = curves.difference_lead](QPainter& p, const QRect& r) {
            graph_paint_difference(p, r, *model, *difference, false, lead);
        });
}
