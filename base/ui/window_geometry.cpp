#include "base/ui/window_geometry.h"

#include "base/app_settings.h"
#include "base/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

s_place_rect to_place(const QRect& r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

QRect to_qrect(const s_place_rect& r)
{
    return QRect(r.x, r.y, r.width, r.height);
}

const std::string& settings_file()
{
    return current_app_paths().settings_file;
}

std::vector<s_place_rect> screen_areas()
{
    std::vector<s_place_rect> out;
    for (const QScreen* s : QGuiApplication::screens())
        out.push_back(to_place(s->availableGeometry()));
    return out;
}

} // namespace

QRect screen_area_of(const QWidget* widget)
{
    const QScreen* screen = widget ? widget->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 700);
}

void window_geometry_restore(QWidget* window, const std::string& name, QSize design,
                             const QWidget* centre_on)
{
    // The frame the window manager adds (none until the window is shown).
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    QRect area = screen_area_of(centre_on ? centre_on : window);
    area.setSize(area.size() - frame);
    const s_place_rect centre = to_place(centre_on ? centre_on->geometry() : area);
    const std::optional<s_window_geometry> saved =
        settings_file().empty() ? std::nullopt : settings_window_geometry(settings_file(), name);
    if (!saved) {
        const s_place_rect size = placement_first(to_place(area), design.width(), design.height());
        window->setGeometry(to_qrect(
            placement_centred(size, centre, to_place(area), design.width(), design.height())));
        return;
    }
    window->setGeometry(to_qrect(placement_restore(
        saved->rect, screen_areas(), centre, to_place(area), design.width(), design.height())));
    if (saved->maximized)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
}

void window_geometry_save(const QWidget* window, const std::string& name)
{
    if (settings_file().empty())
        return;
    s_window_geometry g;
    g.maximized = window->isMaximized();
    const QRect normal = window->normalGeometry();
    g.rect = to_place(g.maximized && !normal.isEmpty() ? normal : window->geometry());
    settings_set_window_geometry(settings_file(), name, g);
}

QSize window_size_remembered(const std::string& name, QSize fallback)
{
    if (settings_file().empty())
        return fallback;
    const std::optional<s_place_rect> size = settings_window_size(settings_file(), name);
    return size ? QSize(size->width, size->height) : fallback;
}

void window_size_remember(const std::string& name, QSize size)
{
    if (!settings_file().empty())
        settings_set_window_size(settings_file(), name, size.width(), size.height());
}
