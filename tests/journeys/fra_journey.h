#pragma once
// Steps the FRA journeys share: a sweep started from the FRA window's SWEEP
// through the Test Details dialog, and the files a user finds afterwards
// read back as numbers.

#include "tests/journeys/journey.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

enum : int {
    FRA_TABLE = 14500,
    FRA_REALTIME = 14502,
    FRA_GRAPH = 14503,
    FRA_TABLE_VIEW = 14504,
    FRA_START = 14506,
    FRA_SWEEP = 14507,
    FRA_EXPORT = 14509,
    FRA_COUNTDOWN = 14511,
    FRA_SWEEP_NO = 14513,
};

class fra_journey : public journey {
protected:
    // Selects everything in the field and types over it.
    void retype(const std::string& label, const std::string& text)
    {
        click_field(label);
        key(Qt::Key_A, Qt::ControlModifier);
        type(text);
    }

    // SWEEP, and the Test Details dialog filled in: a repeating test of that
    // many sweeps a minute apart, or a single one; stored as the named test
    // (winding W1) when one is given, in a new session when one is named,
    // else in the current one. Returns with the sweep started.
    void start_sweep(int repeat_count = 0, const std::string& test = "",
                     const std::string& new_session = "")
    {
        click_id(FRA_SWEEP);
        await_dialog("Test Details");
        if (repeat_count > 0) {
            click("Repeating Test");
            retype("Tests to run", std::to_string(repeat_count));
            retype("Interval (mins)", "1");
        }
        if (checked("Save Sweep to Database") != !test.empty())
            click("Save Sweep to Database");
        if (!test.empty()) {
            if (!new_session.empty()) {
                click("New Session");
                await_dialog("Add Session");
                fill_new_session(new_session);
                await_dialog("Test Details");
            }
            retype("Test Name", test);
            retype("Winding", "W1");
        }
        click("Start Sweep");
    }

    // Waits until the sweep (or series) has ended and the progress dialog
    // is gone: SWEEP reads CLEAR or SWEEP again.
    bool sweep_ended(int ms = 30000)
    {
        const bool ended = wait_for(
            [&] {
                // While a dialog is open the window behind it reads "".
                const std::string caption = window_text(FRA_SWEEP);
                return caption == "CLEAR" || caption == "SWEEP";
            },
            ms);
        if (!ended) {
            ADD_FAILURE() << "the sweep has not ended; open dialog: \"" << modal_title() << "\"";
            screenshot("not_ended");
        }
        return ended;
    }

    bool dialog_open() { return !modal_title().empty(); }

    // The database view with the session's tests listed, each of tests then
    // added to the selection; false when the list does not come to hold as
    // many tests.
    bool select_stored_tests(const std::string& session, const std::vector<std::string>& tests)
    {
        click("DATABASE");
        click_row("15100", session);
        if (!wait_for([&] { return list_rows("15101").size() == tests.size(); }))
            return false;
        for (const std::string& test : tests) {
            click_row("15101", test);
            click("Add Test to Selection");
        }
        return true;
    }

    // The text of the FRA window's label or button, or "" while a dialog
    // hides it or it is not shown. One look, so a dialog that opens while a
    // wait polls cannot come between finding the control and reading it.
    std::string window_text(int control_id)
    {
        std::string text;
        look([&] {
            if (QApplication::activeModalWidget())
                return;
            for (QWidget* w : reachable()) {
                if (w->property("control_id").toInt() != control_id)
                    continue;
                if (auto* label = qobject_cast<QLabel*>(w))
                    text = label->text().toStdString();
                else if (auto* button = qobject_cast<QAbstractButton*>(w))
                    text = button->text().remove(QLatin1Char('&')).trimmed().toStdString();
                return;
            }
        });
        return text;
    }
};

// The numbers of a text file's data lines: those after the column header,
// which starts "Frequency (Hz)".
inline std::vector<std::vector<double>> exported_numbers(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<std::vector<double>> rows;
    std::string line;
    bool data = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!data) {
            data = line.rfind("Frequency (Hz)", 0) == 0;
            continue;
        }
        std::vector<double> row;
        std::stringstream fields(line);
        std::string field;
        while (std::getline(fields, field, ','))
            row.push_back(std::strtod(field.c_str(), nullptr));
        rows.push_back(row);
    }
    return rows;
}

// A table's cell as a number.
inline double cell_number(const std::string& text)
{
    return std::strtod(text.c_str(), nullptr);
}

// The files of a folder whose names start with stem, sorted.
inline std::vector<std::string> files_starting(const std::filesystem::path& folder,
                                               const std::string& stem)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().rfind(stem, 0) == 0)
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
