#include "output/selection.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <new>
#include <stdexcept>

#include "remote/control_reader.h"

namespace tblf {
namespace {

// Every ASCII letter except I, L and S separates, so that "Icon lParam State"
// leaves the tokens "I", "l" and "S".
bool IsSeparator(wchar_t c) {
  if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z')) {
    return c != L'I' && c != L'i' && c != L'L' && c != L'l' && c != L'S' && c != L's';
  }
  switch (c) {
    case L' ': case L'\t': case L'\r': case L'\n': case L',': case L'+': case L'*':
    case L'/': case L'@': case L'%': case L'&': case L';': case L':': case L'.':
    case L'_': case L'>': case L'<': case L'^': case L'\\': case L'\'': case L'"':
    case L'!': case L'{': case L'}': case L'`':
      return true;
    default:
      return false;
  }
}

// Digits are the ASCII digits and the full-width digits U+FF10...U+FF19 that
// a Japanese input method types in its full-width mode, so "２-４" means the
// same as "2-4" rather than silently column 0. Other scripts' digits are
// ordinary token characters. The sign is the ASCII one only.
int DigitValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= 0xFF10 && c <= 0xFF19) return c - 0xFF10;
  return -1;
}

// The leading decimal number of [begin, end): an optional sign and digits;
// 0 when there are none. Values beyond the int range saturate, which never
// matters because everything outside 0 ... count-1 is dropped or clipped.
long long LeadingNumber(const wchar_t* begin, const wchar_t* end) {
  const wchar_t* p = begin;
  bool negative = false;
  if (p < end && (*p == L'-' || *p == L'+')) {
    negative = *p == L'-';
    ++p;
  }
  long long value = 0;
  bool any = false;
  for (; p < end; ++p) {
    const int digit = DigitValue(*p);
    if (digit < 0) break;
    any = true;
    if (value <= static_cast<long long>(INT_MAX)) value = value * 10 + digit;
  }
  if (!any) return 0;
  if (value > static_cast<long long>(INT_MAX)) value = static_cast<long long>(INT_MAX) + 1;
  return negative ? -value : value;
}

// Appends the values from `from` to `to` (either direction) that lie in
// 0 ... count-1, as one run.
void AppendRange(Selection& list, long long from, long long to, int count) {
  const long long last = static_cast<long long>(count) - 1;
  if (from <= to) {
    const long long lo = std::max(from, 0LL);
    const long long hi = std::min(to, last);
    if (lo <= hi) list.Append(static_cast<int>(lo), static_cast<int>(hi));
  } else {
    const long long hi = std::min(from, last);
    const long long lo = std::max(to, 0LL);
    if (lo <= hi) list.Append(static_cast<int>(hi), static_cast<int>(lo));
  }
}

void AppendOne(Selection& list, int value) { list.Append(value, value); }

void AppendToken(Selection& list, const wchar_t* begin, const wchar_t* end, int count) {
  const long long n = LeadingNumber(begin, end);
  const wchar_t* hyphen = std::find(begin, end, L'-');
  if (hyphen != end) {
    if (hyphen + 1 == end) {
      // Open-ended ranges only run upwards: "7-" with 5 columns is nothing.
      if (n < count) AppendRange(list, n, static_cast<long long>(count) - 1, count);
    } else {
      AppendRange(list, n, LeadingNumber(hyphen + 1, end), count);
    }
    return;
  }
  switch (*begin) {
    case L'#': AppendOne(list, kColumnRowNumber); return;
    case L'I': case L'i': AppendOne(list, kColumnIcon); return;
    case L'L': case L'l': AppendOne(list, kColumnLParam); return;
    case L'S': case L's': AppendOne(list, kColumnState); return;
    default:
      if (n >= 0 && n < count) AppendOne(list, static_cast<int>(n));
      return;
  }
}

}  // namespace

void Selection::Append(int first, int last) {
  runs_.push_back(Run{first, last});
  size_ += runs_.back().Length();
}

void Selection::ExtendLast(int first, int last) {
  size_ -= runs_.back().Length();
  runs_.back() = Run{first, last};
  size_ += runs_.back().Length();
}

Selection KeepOnly(const Selection& from, const std::vector<int>& kept) {
  // Each run costs a binary search and the values it keeps, so a long
  // selection over few kept values stays cheap. Neighbouring kept values
  // become one run.
  Selection result;
  auto append = [&](int value, bool up) {
    if (!result.Runs().empty()) {
      const Selection::Run& last = result.Runs().back();
      if (value == last.last + (up ? 1 : -1) && (last.first == last.last || (last.first < last.last) == up)) {
        const int first = last.first;
        result.ExtendLast(first, value);
        return;
      }
    }
    result.Append(value, value);
  };
  for (const Selection::Run& run : from.Runs()) {
    const bool up = run.first <= run.last;
    const int lo = up ? run.first : run.last;
    const int hi = up ? run.last : run.first;
    const auto begin = std::lower_bound(kept.begin(), kept.end(), lo);
    const auto end = std::upper_bound(begin, kept.end(), hi);
    if (up) {
      for (auto it = begin; it != end; ++it) append(*it, true);
    } else {
      for (auto it = end; it != begin;) append(*--it, false);
    }
  }
  return result;
}

std::optional<Selection> ParseSelection(const wchar_t* text, int count) {
  if (count < 0) count = 0;
  try {
    Selection list;
    if (text == nullptr) {
      if (count > 0) list.Append(0, count - 1);
      return list;
    }
    const wchar_t* p = text;
    while (*p != L'\0') {
      if (IsSeparator(*p)) {
        ++p;
        continue;
      }
      const wchar_t* begin = p;
      while (*p != L'\0' && !IsSeparator(*p)) ++p;
      AppendToken(list, begin, p, count);
    }
    return list;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  } catch (const std::length_error&) {
    return std::nullopt;
  }
}

}  // namespace tblf
