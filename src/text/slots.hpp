// The program's tables: 1-based arrays of slots and series-by-year tables.
// Each owns its index function and the check of it, so that the store and
// the plots read the same layout.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <span>
#include <utility>
#include <vector>

namespace ruvela {

// Sanitizer and fuzz builds check every table index against its limit: a
// year or series out of range would otherwise land unnoticed in another row
// of the same table.
inline void check_index([[maybe_unused]] int i, [[maybe_unused]] int limit) {
#ifdef RUVELA_CHECK_INDEXES
    if (i < 1 || i > limit) {
        std::fprintf(stderr, "table index %d outside 1..%d\n", i, limit);
        std::abort();
    }
#endif
}

// Memory that comes zeroed from the system and is not written again when a
// vector is sized: the big tables then cost nothing until a cell is used,
// which on a machine with slow page faults is most of a run's time. Only for
// vectors sized once: shrinking and growing again would keep old values.
template <typename T>
struct ZeroedAllocator {
    using value_type = T;
    ZeroedAllocator() = default;
    template <typename U>
    ZeroedAllocator(const ZeroedAllocator<U>&) {}
    T* allocate(std::size_t n) {
        void* p = std::calloc(n, sizeof(T));
        if (p == nullptr) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) { std::free(p); }
    template <typename U>
    void construct(U*) {}  // already zero
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    friend bool operator==(const ZeroedAllocator&, const ZeroedAllocator&) { return true; }
};

template <typename T>
using ZeroedVector = std::vector<T, ZeroedAllocator<T>>;

// A 1-based array of `Extent` slots: slot i at [i-1], one per year, series
// or pair. As a span it shows every slot, slot 1 first.
template <typename T, int Extent>
class Slots {
  public:
    static constexpr int extent = Extent;

    T& operator()(int i) {
        check_index(i, Extent);
        return slots_[static_cast<std::size_t>(i - 1)];
    }
    const T& operator()(int i) const {
        check_index(i, Extent);
        return slots_[static_cast<std::size_t>(i - 1)];
    }

    operator std::span<T>() { return slots_; }
    operator std::span<const T>() const { return slots_; }
    auto begin() { return slots_.begin(); }
    auto end() { return slots_.end(); }
    auto begin() const { return slots_.begin(); }
    auto end() const { return slots_.end(); }

  private:
    std::vector<T> slots_ = std::vector<T>(Extent);
};

// Read access to the slots of any extent.
template <typename T>
class SlotView {
  public:
    template <int Extent>
    SlotView(const Slots<T, Extent>& slots) : slots_(slots) {}

    int extent() const { return static_cast<int>(slots_.size()); }
    const T& operator()(int i) const {
        check_index(i, extent());
        return slots_[static_cast<std::size_t>(i - 1)];
    }

  private:
    std::span<const T> slots_;
};

// A series-by-year table. The calendar year is the index: cell (s, y), both
// from 1, lives at (s-1)*years + (y-1), so a row is one series. A table
// written only once a pair's span is known can be narrowed to that span
// (narrow): the rows then follow each other without the years outside it,
// and a job touches no more pages than it has cells.
class SeriesYearTable {
  public:
    SeriesYearTable(int series, int years)
        : series_(series),
          years_(years),
          row_length_(years),
          cells_(static_cast<std::size_t>(series) * static_cast<std::size_t>(years)) {}

    int series() const { return series_; }
    int years() const { return years_; }

    // A cell to write: its year must be one of those kept.
    float& operator()(int s, int y) { return cells_[index(s, y)]; }
    // Any cell: one of a year that a narrowed table does not keep reads as 0.
    float operator()(int s, int y) const {
        if (y < first_year_ || y - first_year_ >= row_length_) {
            check_index(s, series_);
            check_index(y, years_);
            return 0.0f;
        }
        return cells_[index(s, y)];
    }

    // `count` years of series s from first_year on.
    std::span<const float> cells(int s, int first_year, std::size_t count) const {
        if (count == 0) return {};
        check_year(first_year + static_cast<int>(count) - 1);
        return std::span<const float>(cells_).subspan(index(s, first_year), count);
    }

    // Years first_year.. of series s, as many as `values` holds.
    void put(int s, int first_year, std::span<const float> values) {
        if (values.empty()) return;
        check_year(first_year + static_cast<int>(values.size()) - 1);
        std::copy(values.begin(), values.end(), cells_.begin() + offset(s, first_year));
    }

    // Zeroes years first_year..last_year of series 1..rows.
    void clear(int rows, int first_year, int last_year) {
        if (rows < 1 || first_year > last_year) return;
        check_index(rows, series_);
        for (int s = 1; s <= rows; ++s)
            std::fill(cells_.begin() + offset(s, first_year),
                      cells_.begin() + offset(s, last_year) + 1, 0.0f);
    }

    // Keeps only years first_year..last_year (within 1..years) from now on,
    // or every year again when called with 1 and years. Only for a table
    // that holds nothing but zeros: the cells do not move.
    void narrow(int first_year, int last_year) {
        check_index(first_year, years_);
        check_index(last_year, years_);
        first_year_ = first_year;
        row_length_ = last_year - first_year + 1;
    }

  private:
    void check_year([[maybe_unused]] int y) const {
        check_index(y, years_);
        check_index(y - first_year_ + 1, row_length_);
    }
    std::size_t index(int s, int y) const {
        check_index(s, series_);
        check_year(y);
        return static_cast<std::size_t>(s - 1) * static_cast<std::size_t>(row_length_) +
               static_cast<std::size_t>(y - first_year_);
    }
    std::ptrdiff_t offset(int s, int y) const { return static_cast<std::ptrdiff_t>(index(s, y)); }

    int series_;
    int years_;
    int first_year_ = 1;  // the years kept, first_year_ .. first_year_ + row_length_ - 1
    int row_length_;
    ZeroedVector<float> cells_;
};

}  // namespace ruvela
