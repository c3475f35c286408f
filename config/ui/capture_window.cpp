#include "config/ui/capture_window.h"

#include "base/export_texts.h"
#include "base/ui/control_windows.h"
#include "base/ui/exchange_dialog.h"
#include "base/ui/mode_windows.h"
#include "base/ui_seam.h"
#include "config/screen_capture.h"
#include "link/link.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <memory>

namespace {

constexpr int IMAGE_LEFT = 240;
constexpr int BEVEL = 5;

QImage to_qimage(const s_bmp_image& image)
{
    QImage out(image.rgb.data(), image.width, image.height, image.width * 3, QImage::Format_RGB888);
    return out.copy();
}

// Fetches the instrument's screen on a worker into a record of its own: the
// shown picture is not touched while it paints, and a cancelled download
// leaves it as it was.
void download_screen(QWidget* owner)
{
    auto fetched = std::make_unique<s_screen_capture>(screen_capture_record());
    const exchange_outcome outcome = run_exchange(owner, "Downloading the instrument's screen\x85",
                                                  [&fetched](const std::atomic<bool>& cancel) {
                                                      const link_cancel_scope scope(g_link, cancel);
                                                      return screen_download(g_link, *fetched) == 0;
                                                  });
    if (outcome != exchange_outcome::cancelled)
        screen_capture_record() = *fetched;
}

} // namespace

capture_window::capture_window(QWidget* parent, const s_control& row)
    : table_window(parent, row.class_name, control_frame(row))
{
    client()->installEventFilter(this);
}

QRect capture_window::image_area() const
{
    const QWidget* title = control_by_id(CAPTURE_TITLE);
    const int title_height = title ? title->height() : 24;
    const s_screen_capture& c = screen_capture_record();
    const bool sized = c.width > 0 && c.height > 0;
    return {IMAGE_LEFT, 2 * title_height, sized ? c.width : 320, sized ? c.height : 240};
}

void capture_window::paint_area(QPainter& painter) const
{
    const QRect area = image_area();
    painter.drawImage(area.topLeft(), to_qimage(screen_picture(screen_capture_record())));
    const QColor rings[BEVEL] = {Qt::gray, Qt::lightGray, Qt::lightGray, Qt::gray, Qt::darkGray};
    for (int i = 0; i < BEVEL; ++i) {
        painter.setPen(rings[i]);
        const int grow = BEVEL - i;
        painter.drawRect(area.adjusted(-grow, -grow, grow - 1, grow - 1));
    }
}

QImage capture_window::picture()
{
    const s_screen_capture& capture = screen_capture_record();
    return capture.valid ? to_qimage(screen_picture(capture)) : QImage();
}

bool capture_window::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client() && event->type() == QEvent::Paint) {
        QPainter painter(client());
        paint_area(painter);
        return true;
    }
    return table_window::eventFilter(watched, event);
}

void capture_window::export_picture(bool word)
{
    ui_file_request request;
    request.save = true;
    request.caption = "Save Screen Capture";
    request.filters = "Bitmap (*.bmp)";
    request.default_suffix = "bmp";
    request.start = "*.bmp";
    ui_file_choice choice;
    if (!ui_choose_file(this, request, choice))
        return; // cancelled: no file, no document
    if (!export_may_replace(this, choice.path))
        return;
    screen_export_file(screen_capture_record(), choice.path, word);
}

void capture_window::on_command(int id, intptr_t lparam)
{
    switch (id) {
    case CAPTURE_DOWNLOAD:
        download_screen(this);
        client()->update();
        break;
    case CAPTURE_CLIPBOARD:
        QApplication::clipboard()->setImage(to_qimage(screen_picture(screen_capture_record())));
        break;
    case CAPTURE_BMP: export_picture(false); break;
    case CAPTURE_WORD: export_picture(true); break;
    case CAPTURE_RELAYOUT: client()->update(); break;
    default: table_window::on_command(id, lparam); break;
    }
}

table_window* make_capture_window(QWidget* parent, const s_control& row)
{
    return new capture_window(parent, row);
}

void capture_register_window()
{
    set_mode_window_factory("QXTarvelo2CapWClass", make_capture_window);
}
