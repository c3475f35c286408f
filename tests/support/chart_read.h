#pragma once
// Whether every text a chart painter draws can be read: each axis label,
// title, legend text and readout in a colour with a contrast of at least
// 4.5:1 against what lies behind it, wholly inside the picture and clear of
// every other text; each framed box the painter names (a legend) wholly
// inside the picture. The painter reports its texts through the chart-text
// recorder; the picture is painted once with the texts left out, so what
// lies behind each is the colour most of its box shows.

#include "graph/ui/chart_parts.h"

#include <QImage>
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

} // namespace chart_read_detail

// Paints with `render` and returns one line per fault: "text: reason".
inline std::vector<std::string> chart_read_faults(const std::function<QImage()>& render)
{
    using namespace chart_read_detail;
    std::vector<s_chart_text> texts;
    chart_record_texts(&texts, false);
    const QImage image = render().convertToFormat(QImage::Format_RGB32);
    chart_record_texts(nullptr);
    std::vector<std::string> faults;
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
