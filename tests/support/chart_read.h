#pragma once
// Whether every text a chart painter draws can be read: each axis label,
// title, legend text and readout in a colour with a contrast of at least
// 4.5:1 against what lies behind it, wholly inside the picture and clear of
// every other text; each framed box the painter names (a legend) wholly
// inside the picture. And whether the chart reads at a glance: every value
// axis of an automatic range on a division of 1, 2, 2.5 or 5 x 10^k (45
// degrees on a phase axis) with every label a multiple of it, a logarithmic
// axis labelled on whole marks, a grid line at 0 wherever 0 is inside, every
// trace, marker and cursor not of the user's colour at 3:1 or more against
// the background, and every legend name whole or elided with "…".
//
// The painter reports its texts through the chart-text
// recorder; the picture is painted once with the texts left out, so what
// lies behind each is the colour most of its box shows.

#include "graph/round_scale.h"
#include "graph/ui/chart_parts.h"

#include <QImage>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace chart_read_detail {

inline QColor behind(const QImage& image, const QRect& box)
{
    std::map<QRgb, int> count;
    const QRect r = box.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            ++count[image.pixel(x, y)];
    QRgb most = qRgb(0, 0, 0);
    int n = -1;
    for (const auto& [rgb, c] : count)
        if (c > n) {
            most = rgb;
            n = c;
        }
    return QColor::fromRgb(most);
}

inline std::string quoted(const s_chart_text& t)
{
    return "\"" + t.text.toStdString() + "\"";
}

// A value label's number: "-7.5", "2.50 M", "250 n".
inline double label_value(const QString& text, bool* ok)
{
    QString t = text.trimmed();
    double scale = 1;
    const QString prefixes = QStringLiteral("pnum_kMG"); // 10^-12 .. 10^9
    if (t.size() > 2 && t[t.size() - 2] == QLatin1Char(' ') && prefixes.contains(t.back())) {
        scale = std::pow(10.0, 3 * (prefixes.indexOf(t.back()) - 4));
        t.chop(2);
    }
    return t.toDouble(ok) * scale;
}

inline void axis_faults(const s_chart_axis& a, std::vector<std::string>& faults)
{
    const std::string name = a.name.toStdString() + " axis";
    if (a.zero_inside && !a.zero_line)
        faults.push_back(name + ": no grid line at 0");
    if (a.typed)
        return;
    const bool degrees = a.name.contains(QStringLiteral("phase"));
    if (a.step > 0 && !round_division(a.step) && !(degrees && a.step == 45))
        faults.push_back(name + ": division " + std::to_string(a.step) + " is not round");
    for (const QString& l : a.labels) {
        bool ok = false;
        const double v = label_value(l, &ok);
        if (!ok) {
            faults.push_back(name + ": label \"" + l.toStdString() + "\" is no number");
            continue;
        }
        // On a log axis a label is a whole mark, on a linear one a multiple of the division.
        const double of = a.step > 0 ? a.step : std::pow(10.0, std::floor(std::log10(v) + 1e-9));
        const double r = v / of;
        if (v != 0 && std::fabs(r - std::round(r)) > 1e-6)
            faults.push_back(name + ": label \"" + l.toStdString() + "\" is not on a division");
    }
}

inline void facts_faults(const s_chart_facts& facts, std::vector<std::string>& faults)
{
    for (const s_chart_axis& a : facts.axes)
        axis_faults(a, faults);
    for (const s_chart_mark& m : facts.marks) {
        const double ratio = chart_contrast(m.color, m.background);
        if (!m.picked && ratio < CHART_MIN_MARK_CONTRAST)
            faults.push_back(m.what.toStdString() + ": line contrast " +
                             QString::number(ratio, 'f', 2).toStdString());
    }
    const QChar ellipsis(0x2026);
    for (const s_chart_name& n : facts.names) {
        const qsizetype at = n.shown.indexOf(ellipsis);
        const bool whole = n.shown == n.whole;
        const bool elided = at >= 0 && n.whole.startsWith(n.shown.left(at)) &&
                            n.whole.endsWith(n.shown.mid(at + 1)) &&
                            n.shown.size() < n.whole.size();
        if (!whole && !elided)
            faults.push_back("legend name \"" + n.whole.toStdString() + "\" shown as \"" +
                             n.shown.toStdString() + "\"");
        for (const s_chart_name& o : facts.names)
            if (&o < &n && o.whole != n.whole && o.shown == n.shown)
                faults.push_back("legend names \"" + o.whole.toStdString() + "\" and \"" +
                                 n.whole.toStdString() + "\" look alike");
    }
}

} // namespace chart_read_detail

// Paints with `render` and returns one line per fault: "text: reason".
inline std::vector<std::string> chart_read_faults(const std::function<QImage()>& render)
{
    using namespace chart_read_detail;
    std::vector<s_chart_text> texts;
    s_chart_facts facts;
    chart_record_texts(&texts, false);
    chart_record_facts(&facts);
    const QImage image = render().convertToFormat(QImage::Format_RGB32);
    chart_record_texts(nullptr);
    chart_record_facts(nullptr);
    std::vector<std::string> faults;
    facts_faults(facts, faults);
    for (size_t i = 0; i < texts.size(); ++i) {
        const s_chart_text& t = texts[i];
        if (t.text.trimmed().isEmpty())
            continue;
        if (!image.rect().contains(t.rect))
            faults.push_back(quoted(t) + ": not wholly inside the picture");
        if (t.box)
            continue;
        const QColor back = behind(image, t.rect);
        const double ratio = chart_contrast(t.color, back);
        if (ratio < CHART_MIN_CONTRAST)
            faults.push_back(
                quoted(t) + ": contrast " + QString::number(ratio, 'f', 2).toStdString() + " (" +
                t.color.name().toStdString() + " on " + back.name().toStdString() + ")");
        for (size_t j = i + 1; j < texts.size(); ++j)
            if (!texts[j].box && !texts[j].text.trimmed().isEmpty() &&
                t.rect.intersects(texts[j].rect))
                faults.push_back(quoted(t) + ": overlaps " + quoted(texts[j]));
    }
    return faults;
}
