#pragma once
// What the journeys through the LCR, piezo and capture modes share: the
// texts a control shows, the texts painted in a drawn view and whether they
// can be read, the menu bar's state, the files left behind, and the steps of
// a sweep.

#include "graph/ui/chart_parts.h"
#include "tests/journeys/journey.h"
#include "tests/support/chart_read.h"
#include "tests/support/zip_entry.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

namespace mode_journey_detail {

// Runs f on the window thread and returns its result; the caller waits.
template <class F> auto on_gui(F&& f)
{
    decltype(f()) r{};
    QMetaObject::invokeMethod(
        qApp, [&] { r = f(); }, Qt::BlockingQueuedConnection);
    return r;
}

// The shown widget of that control id, or of that window class.
inline QWidget* shown_widget(int id, const char* class_name = nullptr)
{
    for (QWidget* top : QApplication::topLevelWidgets())
        for (QWidget* w : top->findChildren<QWidget*>()) {
            if (!w->isVisible())
                continue;
            if (class_name ? w->objectName() == QLatin1String(class_name)
                           : w->property("control_id").toInt() == id)
                return w;
        }
    return nullptr;
}

} // namespace mode_journey_detail

// The texts of a readout of tiles that were cut where they were drawn. A
// tile is a label over a black value box as wide as the tile less two
// pixels a side; a value whose ink reaches its box's edge, or a label whose
// ink reaches its tile's sides, was clipped there. The boxes found are
// counted into boxes.
inline std::vector<std::string> cut_tile_texts(const QImage& picture, size_t* boxes = nullptr)
{
    const QImage im = picture.convertToFormat(QImage::Format_RGB32);
    const auto ink = [&](int x, int y) { // yellow value ink, even where it fades
        const QColor c = im.pixelColor(x, y);
        return c.blue() < c.red() / 2 && c.red() > 40;
    };
    // The box's black and its text's yellow, with the shades between.
    const auto boxed = [&](int x, int y) {
        const QColor c = im.pixelColor(x, y);
        return c.blue() <= 8 && std::abs(c.red() - c.green()) <= 8;
    };
    const auto dark = [&](int x, int y) { return im.pixelColor(x, y).lightness() < 128; };
    // The spans of the rows of the value boxes, their text and all.
    const int min_run = std::max(40, im.width() / 10);
    std::map<std::pair<int, int>, int> spans;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width();) {
            int end = x;
            while (end < im.width() && boxed(end, y))
                ++end;
            if (end - x >= min_run)
                ++spans[{x, end - 1}];
            x = end + 1;
        }
    // Only the widest span from each left edge, and to each right edge, is
    // a box.
    std::map<int, int> widest_from, widest_to;
    for (const auto& [span, rows] : spans)
        if (rows >= 2) {
            widest_from[span.first] = std::max(widest_from[span.first], span.second);
            auto to = widest_to.find(span.second);
            if (to == widest_to.end() || span.first < to->second)
                widest_to[span.second] = span.first;
        }
    std::vector<std::string> cut;
    const auto where = [](int x, int y) {
        return " at (" + std::to_string(x) + "," + std::to_string(y) + ")";
    };
    for (const auto& [span, rows] : spans) {
        const int x0 = span.first, x1 = span.second;
        if (rows < 2 || widest_from[x0] != x1 || widest_to[x1] != x0)
            continue;
        const auto in_box = [&](int y) { return boxed(x0, y) && boxed(x1, y); };
        for (int y = 0; y < im.height();) {
            int end = y;
            while (end < im.height() && in_box(end))
                ++end;
            const int ya = y, yb = end - 1, h = end - y;
            y = end + 1;
            if (h < 5)
                continue;
            if (boxes)
                ++*boxes;
            for (int yy = ya; yy <= yb; ++yy)
                if (ink(x0, yy) || ink(x1, yy)) {
                    cut.push_back("a value reaches the side of its box" + where(x0, yy));
                    break;
                }
            for (int x = x0; x <= x1; ++x)
                if (ink(x, ya) || ink(x, yb)) {
                    cut.push_back("a value reaches the top or foot of its box" + where(x, ya));
                    break;
                }
            const int top = std::max(ya - 1 - h, 0), foot = ya - 3;
            const int left = x0 - 2, right = std::min(x1 + 2, im.width() - 1);
            for (int yy = top; yy <= foot && left >= 0; ++yy)
                if (dark(left, yy) || dark(right, yy)) {
                    cut.push_back("a label reaches the side of its tile" + where(left, yy));
                    break;
                }
        }
    }
    return cut;
}

class mode_journey : public journey {
protected:
    // The user's desktop is the journey's own: a pictures folder in the
    // journey's folder and no application for the files a report writes,
    // so the program says where it wrote them and opens nothing.
    mode_journey()
    {
        const std::filesystem::path desktop = dir() / "desktop";
        std::filesystem::create_directories(desktop / "config");
        std::ofstream(desktop / "config" / "user-dirs.dirs")
            << "XDG_PICTURES_DIR=\"" << (dir() / "pictures").string() << "\"\n";
        for (const char* name : DESKTOP_VARIABLES) {
            const char* old = std::getenv(name);
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            setenv(name,
                   (desktop / (std::string(name) == "XDG_CONFIG_HOME" ? "config" : "none")).c_str(),
                   1);
        }
    }
    ~mode_journey() override
    {
        for (const auto& [name, value] : saved_)
            value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }

    // The text a shown label, button, field or list box of that control id shows; ""
    // when it is hidden or shows none.
    std::string control_text(int id)
    {
        return mode_journey_detail::on_gui([id] {
            QWidget* w = mode_journey_detail::shown_widget(id);
            QString text;
            if (auto* l = qobject_cast<QLabel*>(w))
                text = l->text();
            else if (auto* b = qobject_cast<QAbstractButton*>(w))
                text = b->text();
            else if (auto* e = qobject_cast<QLineEdit*>(w))
                text = e->text();
            else if (auto* c = qobject_cast<QComboBox*>(w))
                text = c->currentText();
            return text.remove(QLatin1Char('&')).toStdString();
        });
    }

    // Paints the shown view of that window class and returns what it
    // painted as text, and every text that cannot be read (outside the
    // view, over another text, too faint) as a fault.
    std::vector<std::string> painted(const char* class_name, std::vector<s_chart_text>& texts)
    {
        texts = painted_texts(class_name);
        return unreadable_texts(class_name);
    }

    // The shown view of that window class as the user sees it.
    QImage view_picture(const char* class_name)
    {
        return mode_journey_detail::on_gui([&] {
            QWidget* view = mode_journey_detail::shown_widget(0, class_name);
            return view ? view->grab(view->contentsRect()).toImage() : QImage();
        });
    }

    // Whether the top-level menu (or the item under it) can be chosen.
    bool menu_usable(const std::string& top, const std::string& item = "")
    {
        return mode_journey_detail::on_gui([&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* main = qobject_cast<QMainWindow*>(w);
                if (!main || !main->isVisible())
                    continue;
                for (QAction* a : main->menuBar()->actions()) {
                    if (a->text().remove(QLatin1Char('&')) != QString::fromStdString(top))
                        continue;
                    if (item.empty() || !a->isEnabled())
                        return a->isEnabled();
                    for (QAction* sub : a->menu()->actions())
                        if (sub->text().remove(QLatin1Char('&')) == QString::fromStdString(item))
                            return sub->isEnabled();
                }
            }
            return false;
        });
    }

private:
    static constexpr const char* DESKTOP_VARIABLES[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS",
                                                        "XDG_DATA_HOME", "XDG_DATA_DIRS"};
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;

protected:
    // Waits until a message box with this text has been shown.
    bool box_shown(const std::string& text, int ms = 20000)
    {
        return wait_for(
            [&] {
                const auto shown = boxes();
                return std::any_of(shown.begin(), shown.end(),
                                   [&](const ui_shown_box& b) { return b.text == text; });
            },
            ms);
    }

    // The first message box shown after `from` boxes, or an empty one.
    ui_shown_box box_after(size_t from)
    {
        const auto shown = boxes();
        return shown.size() > from ? shown[from] : ui_shown_box{};
    }

    // SWEEP of a sweep-mode window (its control id), a single test.
    void start_single_sweep(int sweep_button)
    {
        click_id(sweep_button);
        await_dialog("Test Details");
        click("Start Sweep");
        await_dialog("");
    }

    // Start Sweep of the piezo window; true once the analysis shows R.
    bool piezo_analysed()
    {
        click("Start Sweep");
        await_dialog("");
        return wait_for([&] { return !field_text("R").empty(); });
    }

    // The mode chosen from the menu bar; waits until its control is shown.
    void enter_mode(const std::string& item, int control)
    {
        menu({item});
        if (!wait_for([&] { return shown(std::to_string(control)); }))
            ADD_FAILURE() << item << " mode did not show " << control;
    }
};

// A file's bytes; "" when it cannot be read.
inline std::string file_bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// The file's lines without their line ends.
inline std::vector<std::string> file_lines(const std::filesystem::path& path)
{
    std::vector<std::string> lines;
    std::istringstream in(file_bytes(path));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The files under a folder whose names end in suffix, sorted.
inline std::vector<std::filesystem::path> files_under(const std::filesystem::path& folder,
                                                      const std::string& suffix)
{
    std::vector<std::filesystem::path> found;
    std::error_code error;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder, error)) {
        const std::string name = e.path().filename().string();
        if (e.is_regular_file() && name.size() >= suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            found.push_back(e.path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

// Every member of a workbook or document archive, joined: its texts can be
// searched for what the user will read in it.
inline std::string archive_text(const std::filesystem::path& archive)
{
    std::string all;
    for (const std::string& name : zip_names(archive.string()))
        all += zip_entry(archive.string(), name);
    return all;
}
