// What every desktop program does, done here: a status line that names the
// instrument and the database and tells the outcome of each action, a title
// that names the open database, Quit on Ctrl+Q, the user guide on F1, About
// on Alt+? with the licences a click away, and a tooltip on every button
// that shows only an icon.

#include "tests/journeys/fra_journey.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr const char* EM_DASH_TITLE = " \xE2\x80\x94 Tarvelo2";

class desktop_journey : public fra_journey {
protected:
    QMainWindow* main() const
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("QXTarvelo2WClass"))
                return qobject_cast<QMainWindow*>(w);
        return nullptr;
    }
    bool outcome_is(const std::string& text)
    {
        return wait_for([&] { return status("status_outcome") == text; });
    }
    // The lightness of the darkest pixel a shown button's icon shows.
    int darkest_icon_pixel(int id)
    {
        int darkest = 255;
        look([&] {
            for (QWidget* top : QApplication::topLevelWidgets())
                for (auto* b : top->findChildren<QAbstractButton*>()) {
                    if (!b->isVisible() || b->property("control_id").toInt() != id)
                        continue;
                    const QImage shot = b->grab().toImage();
                    QRect icon(QPoint(), b->iconSize());
                    icon.moveCenter(shot.rect().center());
                    for (int y = icon.top(); y <= icon.bottom(); ++y)
                        for (int x = icon.left(); x <= icon.right(); ++x)
                            darkest = std::min(darkest, shot.pixelColor(x, y).lightness());
                }
        });
        return darkest;
    }
    // Every shown, usable button that shows no text and has no tooltip.
    std::vector<std::string> silent_buttons()
    {
        std::vector<std::string> found;
        look([&] {
            for (QWidget* w : reachable())
                if (auto* b = qobject_cast<QAbstractButton*>(w);
                    b && b->isEnabled() && b->text().trimmed().isEmpty() && b->toolTip().isEmpty())
                    found.push_back(b->objectName().toStdString() + " id " +
                                    b->property("control_id").toString().toStdString());
        });
        return found;
    }
};

} // namespace

TEST_F(desktop_journey, StatusLineAndTitleFollowConnectionSweepExportAndDatabase)
{
    // Folder and file names beyond ASCII reach the status line and the
    // title as they are spelt.
    const fs::path exported = dir() / "Pr\u00FCfung" / "single.txt";
    fs::create_directories(exported.parent_path());
    const fs::path second = dir() / "zweite Pr\u00FCfung.db";
    run("HXM4100", [&] {
        EXPECT_TRUE(wait_for([&] { return status("status_instrument") == "Not connected"; }));
        const std::string first_db = status("status_database");
        ASSERT_FALSE(first_db.empty());
        const std::string first_title = fs::path(first_db).filename().string() + EM_DASH_TITLE;
        EXPECT_TRUE(wait_for([&] { return main_title() == first_title; })) << main_title();

        connect_to_instrument();
        EXPECT_TRUE(wait_for([&] {
            const std::string s = status("status_instrument");
            return s.rfind("HXM4100 serial ", 0) == 0 && s.ends_with(", LAN 127.0.0.1");
        })) << status("status_instrument");
        click("READ HXM");
        EXPECT_TRUE(outcome_is("Configuration read"));
        click("SET UP HXM");
        EXPECT_TRUE(outcome_is("Configuration written"));

        start_sweep(0, "status", "Status line");
        ASSERT_TRUE(sweep_ended());
        EXPECT_TRUE(outcome_is("Sweep stored"));
        click_id(FRA_SWEEP); // CLEAR
        start_sweep();
        ASSERT_TRUE(sweep_ended());
        EXPECT_TRUE(outcome_is("Sweep done"));
        click_id(FRA_EXPORT);
        await_dialog("Export Tests");
        click("CSV");
        test_ui().push_file(exported.string());
        click("OK");
        await_dialog("");
        EXPECT_TRUE(outcome_is("Wrote 1 file to " + exported.parent_path().string()));
        screenshot("exported");

        click("DATABASE");
        test_ui().push_file(second.string());
        click("New Database");
        EXPECT_TRUE(outcome_is("Database created: " + second.string()));
        EXPECT_TRUE(wait_for([&] {
            return main_title() == second.filename().string() + EM_DASH_TITLE;
        })) << main_title();
        EXPECT_EQ(status("status_database"), second.string());
        test_ui().push_answer(IDYES); // break the connection to second.db
        test_ui().push_file(first_db);
        click("Open Database");
        EXPECT_TRUE(outcome_is("Database opened: " + first_db));
        EXPECT_TRUE(wait_for([&] { return main_title() == first_title; })) << main_title();
        screenshot("database_opened");
    });
    EXPECT_TRUE(fs::exists(exported));
}

TEST_F(desktop_journey, StatusLineTellsACancelledSweep)
{
    run("HXM4100",
        [&] {
            connect_to_instrument();
            start_sweep();
            await_dialog("Performing Sweep");
            ASSERT_TRUE(wait_for([&] { return enabled("Cancel"); }));
            click("Cancel");
            ASSERT_TRUE(sweep_ended(60000));
            EXPECT_TRUE(outcome_is("Sweep cancelled")) << status("status_outcome");
        },
        {"--time-scale", "20"});
}

// F1 shows the guide with its pictures from the folder TARVELO2_DOC_DIR
// names, a picture wider than the window drawn at the window's width; Alt+? (with the Shift a "?"
// needs) opens About, whose licence buttons show each text; Ctrl+Q closes the window as its close
// button does.
TEST_F(desktop_journey, GuideAboutLicencesAndQuitFromTheKeyboard)
{
    const fs::path docs = dir() / "docs";
    fs::create_directories(docs / "shots");
    std::ofstream(docs / "guide.md") << "# Practice guide\n\nConnect first.\n\n"
                                        "![The main window](shots/main.png)\n";
    {
        QImage picture(3000, 300, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        picture.save(QString::fromStdString((docs / "shots" / "main.png").string()));
    }
    ::setenv("TARVELO2_DOC_DIR", docs.c_str(), 1);
    run("HXM4100", [&] {
        act([&] {
            main()->activateWindow();
            main()->setFocus();
        });
        key(Qt::Key_F1);
        await_window("Tarvelo2 User Guide");
        std::string guide;
        bool pictured = false;
        int drawn = 0;
        int room = 0;
        look([&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QStringLiteral("help_window")) {
                    EXPECT_TRUE(w->screen()->availableGeometry().contains(w->geometry()))
                        << "the guide lies off its screen";
                }
            for (QWidget* w : reachable())
                if (auto* b = qobject_cast<QTextBrowser*>(w)) {
                    guide = b->toPlainText().toStdString();
                    const QVariant image = b->document()->resource(
                        QTextDocument::ImageResource, QUrl(QStringLiteral("shots/main.png")));
                    pictured = image.isValid();
                    room = b->viewport()->width();
                    drawn = int(b->document()->size().width());
                }
        });
        EXPECT_NE(guide.find("Practice guide"), std::string::npos) << guide;
        EXPECT_TRUE(pictured) << "the guide's picture was not loaded";
        EXPECT_GT(drawn, 0);
        EXPECT_LE(drawn, room) << "the picture is wider than the guide's window";
        screenshot("guide");
        look([&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QStringLiteral("help_window"))
                    w->close();
            if (QMainWindow* m = main())
                m->activateWindow();
        });

        act([&] { main()->setFocus(); });
        key(Qt::Key_Question, Qt::AltModifier | Qt::ShiftModifier);
        await_dialog("About");
        std::string release;
        look([&] {
            for (QWidget* w : reachable())
                if (w->objectName() == QStringLiteral("release"))
                    release = qobject_cast<QLabel*>(w)->text().toStdString();
        });
        EXPECT_EQ(release.rfind("Release ", 0), 0u) << release;
        for (const char* name :
             {"Qt 6", "SQLite", "libxlsxwriter", "libzip", "libpq", "OpenSSL", "DejaVu fonts"}) {
            click(std::string(name) + " licence");
            await_dialog(std::string(name) + " licence");
            std::string text;
            look([&] {
                for (QWidget* w : reachable())
                    if (auto* t = qobject_cast<QPlainTextEdit*>(w))
                        text = t->isReadOnly() ? t->toPlainText().toStdString() : "(editable)";
            });
            EXPECT_GT(text.size(), 500u) << name << ": " << text;
            if (std::string(name) == "Qt 6") {
                EXPECT_NE(text.find("GNU LESSER GENERAL PUBLIC LICENSE"), std::string::npos);
                screenshot("licence");
            }
            click("Close");
            await_dialog("About");
        }
        screenshot("about");
        click("OK");
        await_dialog("");
        EXPECT_TRUE(boxes().empty()) << boxes().front().text;

        act([&] {
            QApplication::setQuitOnLastWindowClosed(false); // the journey's loop runs on
            main()->activateWindow();
            main()->setFocus();
        });
        key(Qt::Key_Q, Qt::ControlModifier);
        EXPECT_TRUE(wait_for([&] {
            bool visible = true;
            look([&] { visible = main() && main()->isVisible(); });
            return !visible;
        })) << "Ctrl+Q left the window open";
    });
    ::unsetenv("TARVELO2_DOC_DIR");
}

// In every view each button that shows only an icon says what it does, and
// the database strip's buttons without an action are greyed.
TEST_F(desktop_journey, IconButtonsHaveTooltipsInEveryView)
{
    run("HXM4100", [&] {
        connect_to_instrument();
        for (const char* mode : {"FRA", "LCR", "Piezo", "Capture"}) {
            menu({mode});
            settle();
            EXPECT_EQ(silent_buttons(), std::vector<std::string>{}) << mode;
        }
        EXPECT_EQ(text_of("13002"), "ACQU");
        EXPECT_TRUE(shown("Acquisition Control")) << "ACQU has no tooltip";
        click("DATABASE");
        EXPECT_EQ(silent_buttons(), std::vector<std::string>{}) << "database";
        // Greyed buttons look greyed, even those whose icons are drawn in greys.
        for (const int idle : {15002, 15005, 15007, 15008}) {
            EXPECT_FALSE(enabled(std::to_string(idle))) << idle;
            EXPECT_GT(darkest_icon_pixel(idle), 150) << idle << " looks usable";
        }
        EXPECT_LT(darkest_icon_pixel(15006), 100) << "the usable Graph button looks greyed";
        EXPECT_EQ(lists_scrolling_sideways(), std::vector<std::string>{});
        EXPECT_TRUE(enabled("Import Sweep File as a Test"));
        screenshot("database_tools");
    });
}

TEST_F(desktop_journey, QuitDuringARepeatingTestAsksFirst)
{
    run("HXM4100", [&] {
        connect_to_instrument();
        start_sweep(3);
        ASSERT_TRUE(wait_for([&] { return window_text(FRA_SWEEP_NO) == "1/3"; }, 30000));
        const size_t shown_before = boxes().size();
        act([&] {
            QApplication::setQuitOnLastWindowClosed(false); // the journey's loop runs on
            main()->activateWindow();
            main()->setFocus();
        });
        key(Qt::Key_Q, Qt::ControlModifier);
        ASSERT_TRUE(wait_for([&] { return boxes().size() > shown_before; }));
        EXPECT_EQ(boxes().back().text, "A repeating test is running. Stop it and quit?");
        EXPECT_EQ(boxes().back().style & MB_BUTTON_MASK, MB_YESNO);
        // Answered No: the window stays and the series goes on.
        bool visible = false;
        look([&] { visible = main()->isVisible(); });
        EXPECT_TRUE(visible);
        EXPECT_TRUE(shown("CANCEL"));
        EXPECT_EQ(window_text(FRA_SWEEP_NO), "1/3");
    });
}
