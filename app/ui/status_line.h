#pragma once
// The main window's status bar: the instrument it is connected to (or "Not
// connected"), the open database and the outcome of the last action that
// any part of the program reported through ui_status().

#include <QObject>
#include <string>

class QLabel;
class QMainWindow;

class status_line : public QObject {
    Q_OBJECT
public:
    // Builds the status bar of window and takes the ui_status() reports.
    explicit status_line(QMainWindow* window);
    ~status_line() override;

    // Instrument, database and the window title ("default.db — Tarvelo2").
    void refresh(const std::string& database_path);
    void show_outcome(const QString& text);

private:
    QMainWindow* window_;
    QLabel* instrument_;
    QLabel* database_;
    QLabel* outcome_;
};
