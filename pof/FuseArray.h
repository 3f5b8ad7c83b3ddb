#pragma once
// A fuse image field: a plain array of fuse characters ('1' erased, '0'
// programmed) addressed by up to three indexes, last index fastest.

#include <cassert>
#include <cstddef>
#include <vector>

namespace fusecvt {

class FuseArray {
 public:
  FuseArray() = default;
  explicit FuseArray(int d0, int d1 = 1, int d2 = 1, char fill = '1')
      : d0_(d0), d1_(d1), d2_(d2),
        data_(static_cast<std::size_t>(d0) * static_cast<std::size_t>(d1) *
                  static_cast<std::size_t>(d2),
              fill) {}

  bool empty() const { return data_.empty(); }
  std::size_t size() const { return data_.size(); }
  int dim0() const { return d0_; }
  int dim1() const { return d1_; }
  int dim2() const { return d2_; }

  char* data() { return data_.data(); }
  const char* data() const { return data_.data(); }

  char& at(int i) { return data_[index(i, 0, 0, true)]; }
  char at(int i) const { return data_[index(i, 0, 0, true)]; }
  char& at(int i, int j) { return data_[index(i, j, 0, false)]; }
  char at(int i, int j) const { return data_[index(i, j, 0, false)]; }
  char& at(int i, int j, int k) { return data_[index(i, j, k, false)]; }
  char at(int i, int j, int k) const { return data_[index(i, j, k, false)]; }

  // Row i of a two-dimensional field (or plane i of a three-dimensional one).
  char* row(int i) { return data_.data() + index(i, 0, 0, false); }
  const char* row(int i) const { return data_.data() + index(i, 0, 0, false); }
  // Row (i, j) of a three-dimensional field.
  char* row(int i, int j) { return data_.data() + index(i, j, 0, false); }
  const char* row(int i, int j) const { return data_.data() + index(i, j, 0, false); }

  void fill(char c) { data_.assign(data_.size(), c); }

 private:
  // flat: index i runs over the whole array (one-dimensional use).
  std::size_t index(int i, int j, int k, bool flat) const {
    if (flat) {
      assert(i >= 0 && static_cast<std::size_t>(i) < data_.size());
      return static_cast<std::size_t>(i);
    }
    assert(i >= 0 && i < d0_ && j >= 0 && j < d1_ && k >= 0 && k < d2_);
    return (static_cast<std::size_t>(i) * static_cast<std::size_t>(d1_) +
            static_cast<std::size_t>(j)) *
               static_cast<std::size_t>(d2_) +
           static_cast<std::size_t>(k);
  }

  int d0_ = 0;
  int d1_ = 1;
  int d2_ = 1;
  std::vector<char> data_;
};

}  // namespace fusecvt
