// Listing 10 000 sessions into the database form's session list: the
// query, the form's rows and the list widget's items.

#include "base/ui/control_windows.h"
#include "bench/support/bench_app.h"
#include "db/db_connection.h"
#include "db/ui/db_form_windows.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>

namespace {

void BM_ListTenThousandSessions(benchmark::State& state)
{
    bench_app();
    const std::string file = "/tmp/tarvelo-db-form-bench-" + std::to_string(::getpid()) + ".db";
    std::filesystem::remove(file);
    bool is_new = false;
    db_open(file, DB_OPEN_OR_CREATE, &is_new);
    db_exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
            "INSERT INTO Session (Name, Unit, Date, Location) SELECT printf('Session %05d', i), "
            "'Unit ' || (i % 13), '2024-01-01 00:00:00', 'Bay ' || (i % 7) FROM n");
    auto* view = new db_view_window(nullptr, 0);
    create_table(view->client(), TABLE_DB_LISTS);
    view->resize(1004, 489);
    for (auto _ : state) {
        view->form().refresh_sessions(false);
        view->sync();
    }
    state.counters["rows"] = double(view->form().sessions.rows.size());
    forget_table_windows();
    delete view;
    db_close();
    std::filesystem::remove(file);
}
BENCHMARK(BM_ListTenThousandSessions)->Unit(benchmark::kMillisecond);

} // namespace
