// Array functions: ARRAY, AADD, ASIZE, ADEL, AINS, AFILL, ACOPY, ACLONE, ATAIL, ASCAN, ASORT, AEVAL.
//
// Positions outside 1..LEN are ignored by the functions that shift or fill, as the runtime does.
// ASORT merges rather than calling std::sort, so a block that is no strict order (`x <= y`) can
// give an odd order but never breaks the array.
#include "runtime/core/std_arrays.h"

#include <algorithm>

#include "runtime/core/context.h"
#include "runtime/core/operators.h"
#include "runtime/core/std_args.h"
#include "runtime/core/std_register.h"

namespace rt {
namespace {

using namespace stdargs;

Array& needArray(const Args& a, size_t i, const char* fn) {
  if (!a[i].isArray()) argumentError(fn);
  return a[i].arr();
}

Value callBlock(const Value& block, std::vector<Value> args) { return block.blockPtr()->eval(args); }

int typeRank(Type t) {
  switch (t) {
    case Type::Array: return 0;
    case Type::Char: return 1;
    case Type::Logical: return 2;
    case Type::Date: return 3;
    case Type::Num: return 4;
    case Type::Nil: return 5;
    case Type::Block: return 6;
  }
  return 7;
}

// The [from, to) range of `start` and `count` (1-based, count defaulting to the rest).
std::pair<size_t, size_t> range(const Array& arr, const Args& a, size_t startArg, const char* fn) {
  int64_t n = int64_t(arr.size());
  int64_t start = optInt(a, startArg, 1, fn);
  if (start < 1) start = 1;
  int64_t count = optInt(a, startArg + 1, n - start + 1, fn);
  if (start > n || count <= 0) return {arr.size(), arr.size()};
  int64_t end = std::min(n, start - 1 + count);
  return {size_t(start - 1), size_t(end)};
}

template <typename Less>
void mergeSort(std::vector<Value>& v, Less less) {
  if (v.size() < 2) return;
  std::vector<Value> left(v.begin(), v.begin() + ptrdiff_t(v.size() / 2));
  std::vector<Value> right(v.begin() + ptrdiff_t(v.size() / 2), v.end());
  mergeSort(left, less);
  mergeSort(right, less);
  size_t i = 0, j = 0, k = 0;
  while (i < left.size() && j < right.size()) v[k++] = less(right[j], left[i]) ? right[j++] : left[i++];
  while (i < left.size()) v[k++] = left[i++];
  while (j < right.size()) v[k++] = right[j++];
}

Value makeArray(const Args& a, size_t dim) {
  int64_t n = needInt(a, dim, "ARRAY");
  if (n < 0 || n > 4096 * 1024) argumentError("ARRAY");
  Value result = Value::newArray(size_t(n));
  if (dim + 1 < a.count() && !a[dim + 1].isNil())
    for (Value& e : result.arr()) e = makeArray(a, dim + 1);
  return result;
}

}  // namespace

bool sortsBefore(const Value& a, const Value& b) {
  if (a.type() != b.type()) return typeRank(a.type()) < typeRank(b.type());
  switch (a.type()) {
    case Type::Char: return a.str() < b.str();  // std::string compares as unsigned bytes
    case Type::Num: return a.num() < b.num();
    case Type::Date: return a.date() < b.date();
    case Type::Logical: return !a.logical() && b.logical();
    default: return false;
  }
}

Value cloneArray(const Value& array) {
  Value copy = Value::newArray(array.arr().size());
  Array& dst = copy.arr();
  const Array& src = array.arr();
  for (size_t i = 0; i < src.size(); ++i) dst[i] = src[i].isArray() ? cloneArray(src[i]) : src[i];
  return copy;
}

namespace detail {

void registerArrayFunctions(Functions& f) {
  f.add("ARRAY", [](Args& a) { return makeArray(a, 0); });
  f.add("AADD", [](Args& a) {
    needArray(a, 0, "AADD").push_back(a[1]);
    return a[1];
  });
  f.add("ASIZE", [](Args& a) {
    Array& arr = needArray(a, 0, "ASIZE");
    int64_t n = needInt(a, 1, "ASIZE");
    if (n > 4096 * 1024) argumentError("ASIZE");
    arr.resize(size_t(std::max<int64_t>(n, 0)));
    return a[0];
  });
  f.add("ADEL", [](Args& a) {
    Array& arr = needArray(a, 0, "ADEL");
    int64_t i = needInt(a, 1, "ADEL");
    if (i >= 1 && i <= int64_t(arr.size())) {
      arr.erase(arr.begin() + ptrdiff_t(i - 1));
      arr.emplace_back();
    }
    return a[0];
  });
  f.add("AINS", [](Args& a) {
    Array& arr = needArray(a, 0, "AINS");
    int64_t i = needInt(a, 1, "AINS");
    if (i >= 1 && i <= int64_t(arr.size())) {
      arr.pop_back();
      arr.insert(arr.begin() + ptrdiff_t(i - 1), Value());
    }
    return a[0];
  });
  f.add("AFILL", [](Args& a) {
    Array& arr = needArray(a, 0, "AFILL");
    auto [from, to] = range(arr, a, 2, "AFILL");
    for (size_t i = from; i < to; ++i) arr[i] = a[1];
    return a[0];
  });
  f.add("ACOPY", [](Args& a) {
    Array& src = needArray(a, 0, "ACOPY");
    Array& dst = needArray(a, 1, "ACOPY");
    auto [from, to] = range(src, a, 2, "ACOPY");
    int64_t target = optInt(a, 4, 1, "ACOPY");
    if (target < 1) target = 1;
    for (size_t i = from, j = size_t(target - 1); i < to && j < dst.size(); ++i, ++j) dst[j] = src[i];
    return a[1];
  });
  f.add("ACLONE", [](Args& a) { return a[0].isArray() ? cloneArray(a[0]) : Value(); });
  f.add("ATAIL", [](Args& a) {
    Array& arr = needArray(a, 0, "ATAIL");
    return arr.empty() ? Value() : arr.back();
  });
  f.add("ASCAN", [](Args& a) {
    if (!a[0].isArray()) return integer(0);
    Array& arr = a[0].arr();
    auto [from, to] = range(arr, a, 2, "ASCAN");
    const Value& target = a[1];
    for (size_t i = from; i < to && i < arr.size(); ++i) {
      bool hit = target.isBlock() ? callBlock(target, {arr[i]}).logicalOr(false) : scanEquals(arr[i], target, context().settings.exact);
      if (hit) return integer(int64_t(i) + 1);
    }
    return integer(0);
  });
  f.add("ASORT", [](Args& a) {
    Array& arr = needArray(a, 0, "ASORT");
    auto [from, to] = range(arr, a, 1, "ASORT");
    std::vector<Value> part(arr.begin() + ptrdiff_t(from), arr.begin() + ptrdiff_t(to));
    if (a[3].isBlock()) {
      Value block = a[3];
      mergeSort(part, [&](const Value& x, const Value& y) { return callBlock(block, {x, y}).logicalOr(false); });
    } else {
      mergeSort(part, sortsBefore);
    }
    std::copy(part.begin(), part.end(), arr.begin() + ptrdiff_t(from));
    return a[0];
  });
  f.add("AEVAL", [](Args& a) {
    Array& arr = needArray(a, 0, "AEVAL");
    if (!a[1].isBlock()) argumentError("AEVAL");
    auto [from, to] = range(arr, a, 2, "AEVAL");
    Value keep = a[0];  // the block may shrink the array: index it afresh each time
    for (size_t i = from; i < to && i < keep.arr().size(); ++i) callBlock(a[1], {keep.arr()[i], integer(int64_t(i) + 1)});
    return a[0];
  });
}

}  // namespace detail
}  // namespace rt
