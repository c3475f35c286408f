#include "graph/ui/chart_file.h"

#include "base/export_texts.h"
#include "base/text_file.h"
#include "base/ui_seam.h"
#include "graph/ui/bode_plot.h"

#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>

const char* const CHART_FILE_FILTERS = "Bitmap (*.bmp);;PNG image (*.png);;SVG drawing (*.svg)";

namespace {

constexpr const char* SUFFIXES[] = {".bmp", ".png", ".svg"};

int suffix_index(const std::string& path)
{
    if (path.size() < 4)
        return -1;
    std::string tail = path.substr(path.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    for (int i = 0; i < 3; ++i)
        if (tail == SUFFIXES[i])
            return i;
    return -1;
}

QImage paint_image(const chart_painter& paint, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    paint(p, image.rect());
    return image;
}

int save_svg(const chart_painter& paint, QSize size, const QString& path)
{
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QStringLiteral("Tarvelo2 chart"));
    QPainter p;
    if (!p.begin(&svg))
        return -1;
    paint(p, QRect(QPoint(0, 0), size));
    return p.end() ? 0 : -1;
}

} // namespace

chart_format chart_format_of(const std::string& path, int filter)
{
    const int by_suffix = suffix_index(path);
    const int index = by_suffix >= 0 ? by_suffix : std::clamp(filter, 0, 2);
    return static_cast<chart_format>(index);
}

std::string chart_file_path(const std::string& path, chart_format format)
{
    return suffix_index(path) >= 0 ? path : path + SUFFIXES[static_cast<int>(format)];
}

int chart_save(const chart_painter& paint, QSize size, const QString& path, chart_format format)
{
    if (size.isEmpty())
        return -1;
    if (format == chart_format::bmp) // its writer goes through a temporary file itself
        return bode_save_bmp(paint_image(paint, size), path);
    const auto write = [&](const std::string& temporary) {
        const QString file = QString::fromLocal8Bit(temporary.c_str());
        return format == chart_format::png ? paint_image(paint, size).save(file, "PNG")
                                           : save_svg(paint, size, file) == 0;
    };
    return file_write_replacing(path.toLocal8Bit().toStdString(), write) ? 0 : -1;
}

bool chart_save_as(QWidget* owner, const std::string& caption, const chart_painter& paint,
                   QSize size)
{
    ui_file_request request;
    request.save = true;
    request.caption = caption;
    request.filters = CHART_FILE_FILTERS;
    // No default suffix: a name without one takes the chosen filter's.
    ui_file_choice choice;
    if (!ui_choose_file(owner, request, choice))
        return false;
    const chart_format format = chart_format_of(choice.path, choice.filter);
    const std::string path = chart_file_path(choice.path, format);
    if (!export_may_replace(owner, path))
        return false;
    if (chart_save(paint, size, QString::fromLocal8Bit(path.c_str()), format) == 0)
        return true;
    ui_message_box(owner, "Unable to save the chart to " + path, "Tarvelo2",
                   MB_OK | MB_ICONINFORMATION);
    return false;
}

QSize chart_export_size(QSize shown)
{
    return shown.expandedTo(QSize(640, 400));
}
