#include "fra/sweep_complete.h"

#include "db/db_access.h"
#include "db/db_error.h"
#include "db/db_transaction.h"
#include "db/sweep_file.h"
#include "fra/fra_limits.h"

#include <algorithm>
#include <span>

std::string fra_table_row(int step, const s_fra_result& point)
{
    return sweep_file_row(step, std::span<const double>(point.v, FRA_VALUES_USUAL));
}

namespace {

bool store_test(s_test& test, const FraResults& results,
                const std::optional<s_test_verdict>& verdict)
{
    db_transaction_scope transaction;
    test_add_point(test, nullptr);
    for (int i = 0; i < results.count; ++i) {
        const s_fra_result& p = results.points[static_cast<size_t>(i)];
        const s_test_point point{p.frequency(), p.gain(), p.phase()};
        if (test_add_point(test, &point) != 0)
            return false;
    }
    if (!db_store_test(test))
        return false;
    int rc = verdict ? db_store_verdict(test.TestNo, *verdict) : 0;
    if (rc == 0)
        rc = transaction.commit();
    if (rc != 0) {
        db_report_error_code(rc);
        test.TestNo = 0;
    }
    return rc == 0;
}

} // namespace

s_sweep_outcome fra_complete_sweep(const FraSweepContext& ctx, FraResults& results,
                                   const s_sweep_store& store)
{
    results = ctx.sweep;
    s_sweep_outcome out;
    const int count = std::max(0, std::min(results.count, MAX_SWEEP_POINTS));
    out.rows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        out.rows.push_back(fra_table_row(i + 1, results.points[static_cast<size_t>(i)]));
    const std::string path = sweep_file_path(store.data_folder, store.sweep_number);
    out.file_written = sweep_file_write(path, store.when, out.rows) &&
                       sweep_file_mark_mode(store.data_folder, "FRA");
    if (out.file_written)
        out.file = path;
    if (store.limits)
        out.verdict = fra_judge(results, *store.limits);
    if (store.test)
        out.stored = store_test(*store.test, results, out.verdict);
    return out;
}
