// Expression evaluation speed: a compiled index key over two fields, and a stored filter text
// with an aliased field, RIGHT() and '$', through a tiny in-memory field resolver.
#include <benchmark/benchmark.h>

#include <string>

#include "runtime/core/context.h"
#include "runtime/core/core_functions.h"
#include "runtime/core/error.h"
#include "runtime/core/expr.h"
#include "runtime/core/functions.h"
#include "runtime/core/std_functions.h"

namespace {

// Two work areas with fixed fields: the selected one (nr_prac, do, wart) and "SL" (kod).
class TinyResolver : public rt::FieldResolver {
 public:
  rt::Value nrPrac = rt::Value::text("  123");
  rt::Value doDate = rt::Value::date(2460341);
  rt::Value wart = rt::Value::text("3");
  rt::Value slKod = rt::Value::text("A   ");

  bool readField(std::string_view name, rt::Value& out) override {
    if (name == "NR_PRAC") out = nrPrac;
    else if (name == "DO") out = doDate;
    else if (name == "WART") out = wart;
    else return false;
    return true;
  }
  bool writeField(std::string_view, const rt::Value&) override { return false; }
  rt::Value readAliasField(std::string_view alias, std::string_view field) override {
    if (alias == "SL" && field == "KOD") return slKod;
    throw rt::Error(rt::ErrorKind::NoAlias, "Alias does not exist", std::string(alias));
  }
  void writeAliasField(std::string_view, std::string_view, const rt::Value&) override {}
  rt::Value withAlias(std::string_view, const std::function<rt::Value()>& body) override {
    return body();
  }
};

void setUp() {
  static bool done = false;
  if (done) return;
  done = true;
  rt::registerStandardFunctions();
  rt::registerCoreFunctions();
  static TinyResolver resolver;
  rt::installFieldResolver(&resolver);
}

void BM_CompileKey(benchmark::State& state) {
  setUp();
  for (auto _ : state) {
    rt::clearExpressionCache();
    benchmark::DoNotOptimize(rt::compile("nr_prac + DTOS(do)"));
  }
}
BENCHMARK(BM_CompileKey);

void BM_EvalKey(benchmark::State& state) {
  setUp();
  rt::Expr key = rt::compile("nr_prac + DTOS(do)");
  for (auto _ : state) benchmark::DoNotOptimize(rt::eval(key));
}
BENCHMARK(BM_EvalKey);

void BM_EvalFilter(benchmark::State& state) {
  setUp();
  rt::Expr filter = rt::compile("right(sl->kod, 2) == \"  \" .and. right(wart, 1) $ \"13\"");
  for (auto _ : state) benchmark::DoNotOptimize(rt::eval(filter));
}
BENCHMARK(BM_EvalFilter);

void BM_EvalPart(benchmark::State& state, const char* text) {
  setUp();
  rt::Expr e = rt::compile(text);
  for (auto _ : state) benchmark::DoNotOptimize(rt::eval(e));
}
BENCHMARK_CAPTURE(BM_EvalPart, field, "nr_prac");
BENCHMARK_CAPTURE(BM_EvalPart, dtos, "DTOS(do)");
BENCHMARK_CAPTURE(BM_EvalPart, join, "'  123' + '20240131'");

void BM_EvalTextCached(benchmark::State& state) {
  setUp();
  for (auto _ : state) benchmark::DoNotOptimize(rt::evalText("nr_prac + DTOS(do)"));
}
BENCHMARK(BM_EvalTextCached);

}  // namespace

BENCHMARK_MAIN();
