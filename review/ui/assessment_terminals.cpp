#include "review/ui/assessment_terminals.h"

#include "graph/ui/chart_parts.h"

#include <QPainter>
#include <algorithm>
#include <map>

namespace {

constexpr int LABEL_WIDTH = 56;
constexpr int RADIUS = 6;
constexpr int FONT_PIXELS = 12;

const QColor PAPER(255, 255, 255);
const QColor INK(0, 0, 0);

enum class role { source, measured, earthed, open, shorted };

struct s_mark {
    const char* word;
    QColor colour;
    bool filled;
};

s_mark mark_of(role r)
{
    switch (r) {
    case role::source: return {"source", QColor(176, 0, 32), true};
    case role::measured: return {"measured", QColor(0, 64, 160), true};
    case role::earthed: return {"earthed", QColor(27, 94, 32), true};
    case role::shorted: return {"", INK, true};
    case role::open: break;
    }
    return {"open", QColor(85, 85, 85), false};
}

bool listed(const std::vector<std::string>& list, const std::string& t)
{
    return std::find(list.begin(), list.end(), t) != list.end();
}

role role_of(const s_plan_step& step, const std::string& t)
{
    if (t == step.source)
        return role::source;
    if (t == step.measured)
        return role::measured;
    if (listed(step.earthed, t))
        return role::earthed;
    return listed(step.shorted, t) ? role::shorted : role::open;
}

// The terminals of the step by winding prefix ('1', '2', '3'), each in the
// order U, V, W, N.
std::map<char, std::vector<std::string>> terminals_of(const s_plan_step& step)
{
    std::vector<std::string> all{step.source, step.measured};
    for (const auto* list : {&step.shorted, &step.earthed, &step.open})
        all.insert(all.end(), list->begin(), list->end());
    std::map<char, std::vector<std::string>> rows;
    for (const std::string& t : all)
        if (t.size() == 2 && !listed(rows[t[0]], t))
            rows[t[0]].push_back(t);
    const std::string order = "UVWN";
    for (auto& [prefix, row] : rows)
        std::sort(row.begin(), row.end(), [&](const std::string& a, const std::string& b) {
            return order.find(a[1]) < order.find(b[1]);
        });
    return rows;
}

std::string winding_label(const s_transformer& unit, char prefix)
{
    for (const s_winding_spec& w : unit.windings)
        if (w.terminal == prefix)
            return w.label;
    return std::string(1, prefix);
}

void paint_terminal(QPainter& p, QPoint centre, const std::string& name, role r)
{
    const s_mark mark = mark_of(r);
    chart_text(p, QRect(centre.x() - 30, centre.y() - 24, 60, 16), Qt::AlignCenter,
               QString::fromStdString(name), INK, PAPER);
    p.setPen(chart_pen(mark.colour, 2));
    p.setBrush(mark.filled ? QBrush(mark.colour) : Qt::NoBrush);
    p.drawEllipse(centre, RADIUS, RADIUS);
    if (*mark.word)
        chart_text(p, QRect(centre.x() - 36, centre.y() + 10, 72, 16), Qt::AlignCenter,
                   QString::fromLatin1(mark.word), mark.colour, PAPER);
}

// The bar under the shorted terminals of a row, named "shorted".
void paint_short(QPainter& p, const std::vector<QPoint>& shorted)
{
    if (shorted.size() < 2)
        return;
    const int bar = shorted.front().y() + 30;
    p.setPen(chart_pen(INK, 2));
    for (const QPoint& c : shorted)
        p.drawLine(c.x(), c.y() + RADIUS, c.x(), bar);
    p.drawLine(shorted.front().x(), bar, shorted.back().x(), bar);
    const int mid = (shorted.front().x() + shorted.back().x()) / 2;
    chart_text(p, QRect(mid - 40, bar + 2, 80, 16), Qt::AlignCenter, QStringLiteral("shorted"), INK,
               PAPER);
}

} // namespace

void assessment_paint_terminals(QPainter& p, const QRect& area, const s_transformer& unit,
                                const s_plan_step& step)
{
    p.fillRect(area, PAPER);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(chart_font(FONT_PIXELS));
    const auto rows = terminals_of(step);
    int top =
        area.top() + std::max(0, (area.height() - TERMINALS_ROW_HEIGHT * int(rows.size())) / 2);
    // One column per phase letter in every row: 1U stands above 2U.
    size_t columns = 1;
    for (const auto& [prefix, terminals] : rows)
        columns = std::max(columns, terminals.size());
    const int spacing = (area.width() - LABEL_WIDTH - 8) / int(columns);
    for (const auto& [prefix, terminals] : rows) {
        chart_text(p, QRect(area.left() + 6, top + 20, LABEL_WIDTH - 6, 16),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(winding_label(unit, prefix)), INK, PAPER);
        std::vector<QPoint> shorted;
        for (size_t i = 0; i < terminals.size(); ++i) {
            const QPoint centre(area.left() + LABEL_WIDTH + spacing * int(i) + spacing / 2,
                                top + 28);
            const role r = role_of(step, terminals[i]);
            paint_terminal(p, centre, terminals[i], r);
            if (listed(step.shorted, terminals[i]))
                shorted.push_back(centre);
        }
        paint_short(p, shorted);
        top += TERMINALS_ROW_HEIGHT;
    }
}

QImage assessment_render_terminals(const s_transformer& unit, const s_plan_step& step, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    assessment_paint_terminals(p, image.rect(), unit, step);
    return image;
}
