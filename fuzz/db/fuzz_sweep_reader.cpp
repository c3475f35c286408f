// Any bytes a user may import as a sweep file, through both sweep readers.
// Besides crashes, it checks what a caller relies on: an accepted file has
// between 1 and 3000 points, a refused one leaves no points behind, and the
// per-sweep reader keeps its rows of equal width.

#include "db/sweep_file.h"
#include "db/sweep_import.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::vector<s_test_point> points;
    const sweep_import_result imported = sweep_import_parse(text, points);
    if (imported.status == sweep_import_status::ok
            ? points.empty() || points.size() > SWEEP_IMPORT_MAX_POINTS
            : !points.empty())
        std::abort();

    sweep_file_contents contents;
    if (sweep_file_parse(text, contents) == sweep_file_status::ok)
        for (const auto& row : contents.rows)
            if (row.size() != contents.rows.front().size() || row.size() < 2)
                std::abort();
    return 0;
}
