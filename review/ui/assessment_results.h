#pragma once
// The assessment window's comparisons: the fingerprint and sister sessions
// chosen, the summary (measurement x comparison -> judgement, worst first),
// the phase that stands out and the note on phase symmetry, and for the
// comparison chosen in the summary its overlay and Difference charts and
// its indicators per band.
#include "review/assessment_view.h"
#include "review/graph_compare.h"

#include <QGroupBox>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QPainter;
class QPushButton;
class QTreeWidget;
class eliding_combo;

// A widget that paints itself with a painter function (the window's charts
// and drawing), named for the checks that read what it paints.
class painted_view : public QWidget {
public:
    using paint_function = std::function<void(QPainter&, const QRect&)>;
    painted_view(QWidget* parent, const char* name, QSize smallest);
    void set_painter(paint_function paint);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    paint_function paint_;
};

// The chart's smallest size, the window's at its smallest.
constexpr int ASSESSMENT_CHART_WIDTH = 860;
constexpr int ASSESSMENT_CHART_HEIGHT = 280;

// A session as the window's drop-down lists offer it.
struct s_session_choice {
    int64_t session_no = 0;
    std::string name;
    std::string text; // "Name (Unit, Location, D/M/Y)"
};

// The comparison's two curves as the charts draw them, into an empty model:
// the reference first, on white, without phase.
void assessment_chart_model(graph_model& m, const s_compared_curves& curves);

// The list's columns from..to-1 as wide as their texts.
void assessment_fit_columns(QTreeWidget* list, int from, int to);

class assessment_results : public QGroupBox {
    Q_OBJECT
public:
    explicit assessment_results(QWidget* parent);

    // The sessions the fingerprint and the sister may be; the choices stay
    // where the sessions are still there.
    void set_sessions(const std::vector<s_session_choice>& sessions);
    int64_t fingerprint() const;
    int64_t sister() const;
    // The comparisons of freshly read inputs, or none with the reason.
    void show_inputs(const s_assessment_inputs& inputs);
    void show_nothing(const QString& why);

    QPushButton* archive_button() const { return archive_; }

signals:
    // The user asks for the comparisons (Compare, or another choice).
    void compare_requested();

private:
    void show_comparison(int index);
    QTreeWidget* list(const char* name, const std::vector<std::string>& columns);

    eliding_combo* fingerprint_ = nullptr;
    eliding_combo* sister_ = nullptr;
    QPushButton* archive_ = nullptr;
    QTreeWidget* summary_ = nullptr;
    QLabel* suspect_ = nullptr;
    QLabel* note_ = nullptr;
    painted_view* overlay_ = nullptr;
    painted_view* difference_ = nullptr;
    QTreeWidget* indicators_ = nullptr;
    s_assessment_inputs inputs_;
};
