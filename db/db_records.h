#pragma once
// In-memory records of the test database: one Session row, one Test row with
// the points of its sweep, and one stored point.
//
// Texts are Windows-1252 bytes. The widths are the column widths of the
// database file; texts read back are cut to them, also when a file holds
// longer ones.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

constexpr size_t DB_NAME_WIDTH = 50;
constexpr size_t DB_UNIT_WIDTH = 50;
constexpr size_t DB_LOCATION_WIDTH = 50;
constexpr size_t DB_PERFORMED_BY_WIDTH = 70;
constexpr size_t DB_COMMENTS_WIDTH = 150;
constexpr size_t DB_WINDING_WIDTH = 50;
constexpr size_t DB_DESCRIPTION_WIDTH = 100;

// The key a read leaves in a record when the row it asked for does not exist.
constexpr int64_t DB_NO_SUCH_ROW = -1;

struct s_session {
    int64_t SessionNo = 0; // 0: not yet stored
    std::string Name;      // shown as "Contract" and "Session Name"
    std::string Unit;
    int year = 0;
    int month = 0;
    int day = 0;
    std::string Location;
    std::string PerformedBy;
    std::string Comments;
};

// One stored point. For an FRA sweep Amplitude is the gain in dB and Phase
// the phase in degrees.
struct s_test_point {
    double Frequency = 0.0;
    double Amplitude = 0.0;
    double Phase = 0.0;
};

// The growable point array of a test. A sweep worker appends while the
// window may read the count, so the count is published only after the entry
// is written.
class s_test_points {
public:
    s_test_points() = default;
    s_test_points(const s_test_points& other);
    s_test_points& operator=(const s_test_points& other);
    s_test_points(s_test_points&& other) noexcept;
    s_test_points& operator=(s_test_points&& other) noexcept;

    int count() const { return count_.load(std::memory_order_acquire); }
    int capacity() const { return capacity_; }
    const s_test_point& operator[](int i) const { return block_[i]; }
    const s_test_point* begin() const { return block_.get(); }
    const s_test_point* end() const { return block_.get() + count(); }

    // Appends one point, growing the block by 100 entries when full.
    // Returns 0, or -1 when the block could not grow (the point is dropped
    // and the points already held stay).
    int append(const s_test_point& point);
    void clear();

private:
    std::unique_ptr<s_test_point[]> block_;
    int capacity_ = 0;
    std::atomic<int> count_{0};
};

struct s_test {
    int64_t TestNo = 0;    // 0: not yet stored
    int64_t SessionNo = 0; // the owning session
    std::string Name;
    std::string Winding;
    std::string TestDescription;
    s_test_points points;
};

// Appends point to the test's array; with no point, frees the array.
// Returns 0, or -1 when the point could not be kept.
int test_add_point(s_test& test, const s_test_point* point);

// Cuts text to a column width.
std::string db_fit(const std::string& text, size_t width);
