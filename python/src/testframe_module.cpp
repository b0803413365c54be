// selvo._testframe: a test-only extension, compiled only when the build
// enables test hooks. It registers one function per argument kind and a
// class with every kind of slot, all on the same frame as selvo._core, so
// the tests can reach behaviours that no real binding uses yet.
#include <cstring>
#include <new>
#include <stdexcept>

#include "frame.h"

namespace {

using namespace selvo;
using namespace selvo::py;

std::string echo_text(std::string_view text) { return std::string(text); }
std::vector<std::string> echo_texts(std::vector<std::string> texts) { return texts; }
int64_t echo_i64(int64_t n) { return n; }
uint64_t echo_u64(uint64_t n) { return n; }
double echo_f64(double x) { return x; }
float echo_f32(float x) { return x; }
bool echo_bool(bool flag) { return flag; }
Bytes echo_bytes(BytesArg data) { return Bytes{std::string(data.data)}; }
std::vector<float> echo_floats(std::vector<float> values) { return values; }
std::vector<std::pair<int64_t, float>> echo_pairs(std::vector<std::pair<int64_t, float>> pairs) { return pairs; }
std::optional<std::string> echo_optional(std::optional<std::string_view> value) {
  if (!value) return std::nullopt;
  return std::string(*value);
}
std::vector<std::vector<std::string>> nested(uint64_t n) {
  return std::vector<std::vector<std::string>>(n, std::vector<std::string>{"a", "b"});
}
// Echoes its arguments so a test can see what defaults arrived.
std::string with_defaults(std::string_view text, std::string_view mode, bool flag, int64_t n,
                          std::optional<double> x) {
  return std::string(text) + "|" + std::string(mode) + "|" + (flag ? "True" : "False") + "|" + std::to_string(n) +
         "|" + (x ? std::to_string(*x) : "None");
}
std::string documented(std::string_view text) { return std::string(text); }

Result<int64_t> fail_domain(std::string_view message) { return Error::domain(std::string(message)); }
Result<int64_t> fail_type(std::string_view message) { return Error::type(std::string(message)); }
Result<std::string> fail_io(int64_t err) { return Error::io(static_cast<int>(err), std::strerror(static_cast<int>(err))); }
Result<std::string> fail_json(std::string_view message) { return Error::json(std::string(message)); }
int64_t fault_assert(bool trip) {
  SELVO_ASSERT(!trip, "tripped on purpose");
  return 1;
}
int64_t fault_std() { throw std::out_of_range("index 7 outside its table"); }
int64_t fault_alloc() { throw std::bad_alloc(); }
int64_t fault_unknown() { throw 42; }

// Shared engines: one that builds, one whose first build fails.
struct Engine {
  static inline int builds = 0;
  int id;
  Engine() : id(++builds) {}
};
EngineSlot<Engine> g_engine;
EngineSlot<Engine> g_broken;
int g_broken_attempts = 0;

int64_t engine_id() { return g_engine.get().id; }
int64_t engine_builds() { return Engine::builds; }
int64_t broken_engine() {
  return g_broken
      .get([] {
        ++g_broken_attempts;
        if (g_broken_attempts == 1) throw std::runtime_error("resource is corrupt");
        return std::make_unique<Engine>();
      })
      .id;
}
int64_t broken_attempts() { return g_broken_attempts; }

// A class with every kind of slot.
struct Counter {
  int64_t value = 0;
};

Counter make_counter(int64_t start) { return Counter{start}; }
int64_t counter_get(const Counter& c) { return c.value; }
int64_t counter_add(Counter& c, int64_t n) { return c.value += n; }
Ref call_back(PyObject* callback) { return check(PyObject_CallNoArgs(callback)); }
Ref counter_peek(const Counter&, PyObject* callback) { return call_back(callback); }
Ref counter_poke(Counter&, PyObject* callback) { return call_back(callback); }
uint64_t counter_len(const Counter& c) { return static_cast<uint64_t>(c.value < 0 ? -c.value : c.value); }
std::string counter_repr(const Counter& c) { return "Counter(" + std::to_string(c.value) + ")"; }
int64_t counter_call(const Counter& c, int64_t times) { return c.value * times; }
NewInstance<Counter> counter_make(int64_t n) { return {Counter{n}}; }
int64_t counter_value(const Counter& c) { return c.value; }
struct Checked {
  int64_t value = 0;
};
Result<Checked> make_checked(int64_t start) {
  if (start < 0) return Error::domain("start must not be negative");
  return Checked{start};
}

int64_t read_counter(Shared<Counter> c) { return c.value.value; }
int64_t bump_counter(Exclusive<Counter> c, int64_t n) { return c.value.value += n; }
// Reads the counter while a callback runs (to show argument borrows).
Ref read_while(Shared<Counter>, PyObject* callback) { return call_back(callback); }

struct Sealed {
  int64_t v = 5;
};
NewInstance<Sealed> make_sealed() { return {Sealed{}}; }
int64_t sealed_value(const Sealed& s) { return s.v; }

void register_testframe(Registry& r) {
  r.function<&echo_text>("echo_text(text)");
  r.function<&echo_texts>("echo_texts(texts)");
  r.function<&echo_i64>("echo_i64(n)");
  r.function<&echo_u64>("echo_u64(n)");
  r.function<&echo_f64>("echo_f64(x)");
  r.function<&echo_f32>("echo_f32(x)");
  r.function<&echo_bool>("echo_bool(flag)");
  r.function<&echo_bytes>("echo_bytes(data)");
  r.function<&echo_floats>("echo_floats(values)");
  r.function<&echo_pairs>("echo_pairs(pairs)");
  r.function<&echo_optional>("echo_optional(value=None)");
  r.function<&nested>("nested(n)");
  r.function<&with_defaults>("with_defaults(text, mode=\"placeholder\", flag=False, n=3, x=None)");
  r.function<&documented>("documented(text)", "First line of the body.\nSecond line.");
  r.function<&fail_domain>("fail_domain(message)");
  r.function<&fail_type>("fail_type(message)");
  r.function<&fail_io>("fail_io(err)");
  r.function<&fail_json>("fail_json(message)");
  r.function<&fault_assert>("fault_assert(trip)");
  r.function<&fault_std>("fault_std()");
  r.function<&fault_alloc>("fault_alloc()");
  r.function<&fault_unknown>("fault_unknown()");
  r.function<&engine_id>("engine_id()");
  r.function<&engine_builds>("engine_builds()");
  r.function<&broken_engine>("broken_engine()");
  r.function<&broken_attempts>("broken_attempts()");
  r.function<&read_counter>("read_counter(counter)");
  r.function<&bump_counter>("bump_counter(counter, n)");
  r.function<&read_while>("read_while(counter, callback)");
  r.function<&make_sealed>("make_sealed()");
  r.cls("Counter")
      .wraps<Counter>()
      .constructor<&make_counter>("Counter(start=0)")
      .method<&counter_get>("get($self)")
      .method<&counter_add>("add($self, n)")
      .method<&counter_peek>("peek($self, callback)")
      .method<&counter_poke>("poke($self, callback)")
      .static_method<&counter_make>("make(n)")
      .property<&counter_value>("value")
      .len<&counter_len>()
      .repr<&counter_repr>()
      .call<&counter_call>("__call__($self, times=2)");
  r.cls("Checked").wraps<Checked>().constructor<&make_checked>("Checked(start)");
  r.cls("Sealed").wraps<Sealed>().no_constructor().method<&sealed_value>("value($self)");
}

PyModuleDef g_def = {PyModuleDef_HEAD_INIT, "_testframe", "", 0, nullptr, nullptr, nullptr, nullptr, nullptr};
ModuleOnce g_once;

PyObject* build() { return build_module(&g_def, "selvo._testframe.InternalFault", &register_testframe, nullptr); }

}  // namespace

PyMODINIT_FUNC PyInit__testframe(void) { return g_once.init(build); }
