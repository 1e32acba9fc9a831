#pragma once
// Row and column selection texts ("2,0", "3-1", "Icon lParam State", "#")
// turned into index lists. Negative values are the pseudo columns
// (kColumnRowNumber ... kColumnState in remote/control_reader.h).
//
// A selection keeps each token as a run of values, so that "0-" typed ten
// thousand times against a hundred thousand rows costs ten thousand runs,
// not a billion numbers; the values are produced as the engine walks them.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <vector>

namespace tblf {

class Selection {
 public:
  // One token's values: first, first +/- 1, ..., last (descending when
  // first > last).
  struct Run {
    int first;
    int last;
    std::uint64_t Length() const {
      return static_cast<std::uint64_t>(first <= last ? static_cast<long long>(last) - first
                                                      : static_cast<long long>(first) - last) + 1;
    }
  };

  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = int;
    using difference_type = std::ptrdiff_t;
    using pointer = const int*;
    using reference = int;

    Iterator() = default;
    Iterator(const std::vector<Run>* runs, std::size_t run) : runs_(runs), run_(run) { Load(); }
    int operator*() const { return value_; }
    Iterator& operator++() {
      const Run& r = (*runs_)[run_];
      if (value_ == r.last) {
        ++run_;
        Load();
      } else {
        value_ += r.first <= r.last ? 1 : -1;
      }
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++*this;
      return before;
    }
    bool operator==(const Iterator& other) const { return run_ == other.run_ && value_ == other.value_; }
    bool operator!=(const Iterator& other) const { return !(*this == other); }

   private:
    void Load() { value_ = run_ < runs_->size() ? (*runs_)[run_].first : 0; }
    const std::vector<Run>* runs_ = nullptr;
    std::size_t run_ = 0;
    int value_ = 0;
  };

  void Append(int first, int last);
  // Replaces the last run (there is one).
  void ExtendLast(int first, int last);
  Iterator begin() const { return Iterator(&runs_, 0); }
  Iterator end() const { return Iterator(&runs_, runs_.size()); }
  // How many values the walk produces.
  std::uint64_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }
  const std::vector<Run>& Runs() const { return runs_; }

 private:
  std::vector<Run> runs_;
  std::uint64_t size_ = 0;
};

// No text (null): 0 ... count-1. Otherwise the values of the tokens, left to
// right, ranges clipped to 0 ... count-1. Nothing when memory runs out.
std::optional<Selection> ParseSelection(const wchar_t* text, int count);

// The values of `from`, in its order, that `kept` (ascending) holds.
// Throws std::bad_alloc when memory runs out.
Selection KeepOnly(const Selection& from, const std::vector<int>& kept);

}  // namespace tblf
