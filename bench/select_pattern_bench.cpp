// One item text through the multi-selection helper's pattern: well-behaved
// patterns against the longest text a list view cell gives (2047
// characters), and catastrophic ones, which end with the error once the
// text's fixed budget of matching steps is spent, however long the pattern.
#include <benchmark/benchmark.h>

#include <string>

#include "remote/multi_select.h"

namespace {

std::wstring Repeat(const std::wstring& piece, int times) {
  std::wstring out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

void Match(benchmark::State& state, const std::wstring& pattern, const std::wstring& text) {
  const std::optional<tblf::SelectPattern> compiled = tblf::SelectPattern::Compile(pattern, false);
  if (!compiled) {
    state.SkipWithError("the pattern does not compile");
    return;
  }
  std::optional<bool> result;
  for (auto _ : state) {
    result = compiled->Matches(text);
    benchmark::DoNotOptimize(result);
  }
  state.SetLabel(!result ? "error" : *result ? "match" : "no match");
}

const std::wstring kAs = std::wstring(2047, L'a');

BENCHMARK_CAPTURE(Match, words_digits_match, L"(\\w+)-(\\d+)\\.txt", std::wstring(2000, L'w') + L"-123.txt")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Match, three_wildcards_no_match, L".*x.*y.*z", std::wstring(2047, L'q'))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Match, nested_plus_30, L"(a+)+b", std::wstring(30, L'a'))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Match, nested_plus_2047, L"(a+)+b", kAs)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Match, word_groups_2001, L"(\\w+\\s?)+$", std::wstring(2000, L'w') + L"!")
    ->Unit(benchmark::kMillisecond);
// 421 characters of pattern: Boost's own budget grows with its square and
// lets this one run for tens of seconds per item.
BENCHMARK_CAPTURE(Match, long_alternations_2047, Repeat(L"(a|aa)*", 60) + L"b", kAs)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Match, long_stars_2047, Repeat(L"a*", 300) + L"b", kAs)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
