#include "db/db_records.h"

#include <algorithm>
#include <new>

namespace {

constexpr int GROWTH = 100;

} // namespace

s_test_points::s_test_points(const s_test_points& other)
{
    *this = other;
}

s_test_points& s_test_points::operator=(const s_test_points& other)
{
    if (this == &other)
        return *this;
    const int n = other.count();
    std::unique_ptr<s_test_point[]> copy(n ? new s_test_point[other.capacity_] : nullptr);
    std::copy(other.begin(), other.begin() + n, copy.get());
    block_ = std::move(copy);
    capacity_ = n ? other.capacity_ : 0;
    count_.store(n, std::memory_order_release);
    return *this;
}

s_test_points::s_test_points(s_test_points&& other) noexcept
{
    *this = std::move(other);
}

s_test_points& s_test_points::operator=(s_test_points&& other) noexcept
{
    if (this == &other)
        return *this;
    block_ = std::move(other.block_);
    capacity_ = other.capacity_;
    count_.store(other.count(), std::memory_order_release);
    other.capacity_ = 0;
    other.count_.store(0, std::memory_order_release);
    return *this;
}

int s_test_points::append(const s_test_point& point)
{
    const int n = count();
    if (n == capacity_) {
        std::unique_ptr<s_test_point[]> grown(new (std::nothrow) s_test_point[capacity_ + GROWTH]);
        if (!grown)
            return -1;
        std::copy(block_.get(), block_.get() + n, grown.get());
        block_ = std::move(grown);
        capacity_ += GROWTH;
    }
    block_[n] = point;
    count_.store(n + 1, std::memory_order_release);
    return 0;
}

void s_test_points::clear()
{
    count_.store(0, std::memory_order_release);
    block_.reset();
    capacity_ = 0;
}

int test_add_point(s_test& test, const s_test_point* point)
{
    if (!point) {
        test.points.clear();
        return 0;
    }
    return test.points.append(*point);
}

std::string db_fit(const std::string& text, size_t width)
{
    return text.size() > width ? text.substr(0, width) : text;
}
