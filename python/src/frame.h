// The binding frame: a small layer over the CPython limited API (3.11,
// abi3) that turns C++ functions into Python functions, methods and classes.
//
// A binding is declared by its text signature and a C++ function:
//
//     reg.function<&selvo::to_turkish_lower>("to_turkish_lower(text)");
//
// The frame parses the signature once (names, defaults), checks it against
// the C++ parameter list, writes the docstring in CPython's text-signature
// form, binds positional and keyword arguments with CPython's errors,
// converts each argument by its C++ type, runs the function and converts the
// result. C++ exceptions never leave the frame: they become Python errors
// (see translate_exception).
#pragma once

#ifndef Py_LIMITED_API
#define Py_LIMITED_API 0x030B0000
#endif
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "util/error.h"

namespace selvo::py {

// ---------------------------------------------------------------------------
// References and errors

// An owned reference.
class Ref {
 public:
  Ref() = default;
  explicit Ref(PyObject* owned) noexcept : p_(owned) {}
  static Ref borrow(PyObject* o) noexcept {
    Py_XINCREF(o);
    return Ref(o);
  }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  Ref(Ref&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  Ref& operator=(Ref&& o) noexcept {
    if (this != &o) {
      Py_XDECREF(p_);
      p_ = o.p_;
      o.p_ = nullptr;
    }
    return *this;
  }
  ~Ref() { Py_XDECREF(p_); }
  PyObject* get() const noexcept { return p_; }
  PyObject* release() noexcept {
    PyObject* p = p_;
    p_ = nullptr;
    return p;
  }
  explicit operator bool() const noexcept { return p_ != nullptr; }

 private:
  PyObject* p_ = nullptr;
};

// Thrown inside the frame when a Python exception is already set.
struct PyErrorAlreadySet {};

// Throws PyErrorAlreadySet if `o` is null (a failed C API call), else
// returns it as an owned reference.
Ref check(PyObject* o);

// The module's own exception type for internal faults (derived from
// BaseException, so `except Exception` does not swallow it).
PyObject* internal_fault_type();
void create_internal_fault_type(const char* qualified_name);

// Sets the Python exception for a library error value.
void raise(const Error& e);

// Converts the C++ exception in flight into a Python exception; returns null
// so that a caller can `return translate_exception();` from a catch block.
PyObject* translate_exception() noexcept;

// Raises `type` with `message` and returns PyErrorAlreadySet to throw.
[[noreturn]] void throw_py(PyObject* type, const std::string& message);

// ---------------------------------------------------------------------------
// Signatures

struct Param {
  std::string name;
  std::string default_text;  // as written after '=', empty when required
  Ref default_value;         // the default as a Python object
  bool required() const { return default_text.empty(); }
};

struct Signature {
  std::string name;   // function or method name
  std::string text;   // the whole text signature, e.g. "f(a, b=None)"
  std::string doc;    // "f(a, b=None)\n--\n\n" + body
  bool has_self = false;
  std::vector<Param> params;  // without $self
  size_t required = 0;        // leading required parameters

  // Fills `slots` (params.size() entries) with borrowed references: the
  // argument passed, or the parameter's default. Raises CPython-style
  // TypeErrors for missing, surplus, unknown and duplicated arguments.
  void bind(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, PyObject** slots) const;
  // The same for the (tuple, dict) calling convention of tp_new / tp_call.
  void bind_tuple(PyObject* args, PyObject* kwargs, PyObject** slots) const;
};

// Parses "name(a, b=None, c=\"x\")" or "name($self, a)". `body` is appended
// to the docstring after the signature block.
std::unique_ptr<Signature> parse_signature(std::string_view text, std::string_view body = {});

// Formats "argument 'name': " + the pending TypeError's message as a new
// TypeError whose cause is the original; other exceptions pass unchanged.
void prefix_argument_error(const std::string& name);

// ---------------------------------------------------------------------------
// Argument kinds

// A Python bytes argument, viewed without copying.
struct BytesArg {
  std::string_view data;
};
// A bytes result.
struct Bytes {
  std::string data;
};

template <class T>
struct ArgConv;

std::string_view text_from(PyObject* o);

template <>
struct ArgConv<std::string_view> {
  using Holder = std::string_view;
  static Holder convert(PyObject* o) { return text_from(o); }
  static std::string_view get(Holder& h) { return h; }
};

template <>
struct ArgConv<std::string> {
  using Holder = std::string;
  static Holder convert(PyObject* o) { return std::string(text_from(o)); }
  static std::string& get(Holder& h) { return h; }
};

std::vector<std::string> text_list_from(PyObject* o);
template <>
struct ArgConv<std::vector<std::string>> {
  using Holder = std::vector<std::string>;
  static Holder convert(PyObject* o) { return text_list_from(o); }
  static Holder& get(Holder& h) { return h; }
};

int64_t int64_from(PyObject* o);
uint64_t uint64_from(PyObject* o);
double double_from(PyObject* o);
bool bool_from(PyObject* o);
BytesArg bytes_from(PyObject* o);

inline float float_from(PyObject* o) { return static_cast<float>(double_from(o)); }

// Arguments converted by value, without a holder of their own.
template <class T, T (*From)(PyObject*)>
struct ScalarArgConv {
  using Holder = T;
  static Holder convert(PyObject* o) { return From(o); }
  static Holder get(Holder h) { return h; }
};
template <>
struct ArgConv<int64_t> : ScalarArgConv<int64_t, &int64_from> {};
template <>
struct ArgConv<uint64_t> : ScalarArgConv<uint64_t, &uint64_from> {};
template <>
struct ArgConv<double> : ScalarArgConv<double, &double_from> {};
template <>
struct ArgConv<float> : ScalarArgConv<float, &float_from> {};
template <>
struct ArgConv<bool> : ScalarArgConv<bool, &bool_from> {};
template <>
struct ArgConv<BytesArg> : ScalarArgConv<BytesArg, &bytes_from> {};

// Items of a sequence argument; refuses str (a str is not a list of str).
std::vector<Ref> sequence_items(PyObject* o);

template <class F>
  requires std::is_floating_point_v<F>
struct ArgConv<std::vector<F>> {
  using Holder = std::vector<F>;
  static Holder convert(PyObject* o) {
    std::vector<Ref> items = sequence_items(o);
    Holder out;
    out.reserve(items.size());
    for (Ref& item : items) out.push_back(static_cast<F>(double_from(item.get())));
    return out;
  }
  static Holder& get(Holder& h) { return h; }
};

template <class I, class F>
  requires std::is_integral_v<I> && std::is_floating_point_v<F>
struct ArgConv<std::vector<std::pair<I, F>>> {
  using Holder = std::vector<std::pair<I, F>>;
  static Holder convert(PyObject* o) {
    std::vector<Ref> items = sequence_items(o);
    Holder out;
    out.reserve(items.size());
    for (Ref& item : items) {
      std::vector<Ref> pair = sequence_items(item.get());
      if (pair.size() != 2) {
        throw_py(PyExc_TypeError, "expected a sequence of 2 items, got " + std::to_string(pair.size()));
      }
      I first = ArgConv<std::conditional_t<std::is_signed_v<I>, int64_t, uint64_t>>::convert(pair[0].get());
      F second = static_cast<F>(double_from(pair[1].get()));
      out.emplace_back(first, second);
    }
    return out;
  }
  static Holder& get(Holder& h) { return h; }
};

template <class T>
struct ArgConv<std::optional<T>> {
  using Inner = ArgConv<T>;
  using Holder = std::optional<typename Inner::Holder>;
  static Holder convert(PyObject* o) {
    if (o == Py_None) return std::nullopt;
    return Inner::convert(o);
  }
  static std::optional<T> get(Holder& h) {
    if (!h) return std::nullopt;
    return std::optional<T>(Inner::get(*h));
  }
};

// A raw Python object (borrowed for the duration of the call).
template <>
struct ArgConv<PyObject*> {
  using Holder = PyObject*;
  static Holder convert(PyObject* o) { return o; }
  static Holder get(Holder h) { return h; }
};

template <class T>
struct is_optional : std::false_type {};
template <class T>
struct is_optional<std::optional<T>> : std::true_type {};

// ---------------------------------------------------------------------------
// Class instances and borrows

// The layout of every wrapped instance: one library value plus a borrow
// count (> 0: that many shared borrows; -1: one exclusive borrow).
struct Instance {
  PyObject_HEAD
  void* value;
  Py_ssize_t borrows;
};

template <class T>
struct ClassInfo {
  static inline PyTypeObject* type = nullptr;
  static inline const char* name = nullptr;
};

// RAII borrow of an instance.
class Borrow {
 public:
  Borrow(Instance* inst, bool exclusive);
  ~Borrow();
  Borrow(const Borrow&) = delete;
  Borrow& operator=(const Borrow&) = delete;

 private:
  Instance* inst_;
  bool exclusive_;
};

Instance* instance_of(PyObject* o, PyTypeObject* type, const char* type_name);

// An argument that must be an instance of a bound class, borrowed shared
// (const T&) or exclusively (T&) for the call.
template <class T>
struct Shared {
  const T& value;
};
template <class T>
struct Exclusive {
  T& value;
};

// Checks the type at conversion; the borrow starts when the value is taken
// (after every argument has converted) and ends with the call.
template <class T, bool kExclusive>
struct InstanceArgConv {
  struct Holder {
    Instance* inst;
    std::unique_ptr<Borrow> borrow;
  };
  static Holder convert(PyObject* o) { return Holder{instance_of(o, ClassInfo<T>::type, ClassInfo<T>::name), nullptr}; }
  static auto get(Holder& h) {
    h.borrow = std::make_unique<Borrow>(h.inst, kExclusive);
    if constexpr (kExclusive) {
      return Exclusive<T>{*static_cast<T*>(h.inst->value)};
    } else {
      return Shared<T>{*static_cast<const T*>(h.inst->value)};
    }
  }
};
template <class T>
struct ArgConv<Shared<T>> : InstanceArgConv<T, false> {};
template <class T>
struct ArgConv<Exclusive<T>> : InstanceArgConv<T, true> {};

// A result that is a new instance of a bound class.
template <class T>
struct NewInstance {
  T value;
};

PyObject* wrap_new_instance(PyTypeObject* type, void* value);

// dict[key] = value for dicts built key by key (insertion order is the
// order the keys appear in).
void set_item(PyObject* dict, std::string_view key, Ref value);

// ---------------------------------------------------------------------------
// Results

PyObject* str_from(std::string_view s);

template <class T>
struct ResultConv;

template <class T>
PyObject* to_py(T&& v) {
  return ResultConv<std::remove_cvref_t<T>>::convert(std::forward<T>(v));
}

template <>
struct ResultConv<std::string> {
  static PyObject* convert(const std::string& s) { return str_from(s); }
};
template <>
struct ResultConv<std::string_view> {
  static PyObject* convert(std::string_view s) { return str_from(s); }
};
template <>
struct ResultConv<bool> {
  static PyObject* convert(bool b) { return PyBool_FromLong(b); }
};
template <class T>
  requires(std::is_integral_v<T> && !std::is_same_v<T, bool>)
struct ResultConv<T> {
  static PyObject* convert(T v) {
    if constexpr (std::is_signed_v<T>) {
      return PyLong_FromLongLong(static_cast<long long>(v));
    } else {
      return PyLong_FromUnsignedLongLong(static_cast<unsigned long long>(v));
    }
  }
};
template <class T>
  requires std::is_floating_point_v<T>
struct ResultConv<T> {
  static PyObject* convert(T v) { return PyFloat_FromDouble(static_cast<double>(v)); }
};
template <>
struct ResultConv<Bytes> {
  static PyObject* convert(const Bytes& b) {
    return PyBytes_FromStringAndSize(b.data.data(), static_cast<Py_ssize_t>(b.data.size()));
  }
};
template <>
struct ResultConv<Ref> {
  static PyObject* convert(Ref&& r) { return r.release(); }
};
template <class T>
struct ResultConv<std::optional<T>> {
  static PyObject* convert(const std::optional<T>& v) {
    if (!v) Py_RETURN_NONE;
    return to_py(*v);
  }
  static PyObject* convert(std::optional<T>&& v) {
    if (!v) Py_RETURN_NONE;
    return to_py(std::move(*v));
  }
};
template <class A, class B>
struct ResultConv<std::pair<A, B>> {
  static PyObject* convert(const std::pair<A, B>& p) {
    Ref a = check(to_py(p.first));
    Ref b = check(to_py(p.second));
    return PyTuple_Pack(2, a.get(), b.get());
  }
};
template <class... T>
struct ResultConv<std::tuple<T...>> {
  static PyObject* convert(const std::tuple<T...>& t) {
    return convert(t, std::index_sequence_for<T...>{});
  }

 private:
  template <size_t... I>
  static PyObject* convert(const std::tuple<T...>& t, std::index_sequence<I...>) {
    Ref tuple = check(PyTuple_New(sizeof...(T)));
    (PyTuple_SetItem(tuple.get(), I, check(to_py(std::get<I>(t))).release()), ...);  // steals
    return tuple.release();
  }
};
template <class T>
struct ResultConv<std::vector<T>> {
  template <class V>
  static PyObject* convert(V&& v) {
    Ref list = check(PyList_New(static_cast<Py_ssize_t>(v.size())));
    Py_ssize_t i = 0;
    for (auto& item : v) {
      PyObject* o;
      if constexpr (std::is_rvalue_reference_v<V&&>) {
        o = to_py(std::move(item));
      } else {
        o = to_py(item);
      }
      if (!o) throw PyErrorAlreadySet{};
      PyList_SetItem(list.get(), i++, o);  // steals o
    }
    return list.release();
  }
};
template <class T>
struct ResultConv<Result<T>> {
  template <class R>
  static PyObject* convert(R&& r) {
    if (!r.ok()) {
      raise(r.error());
      return nullptr;
    }
    if constexpr (std::is_void_v<T>) {
      Py_RETURN_NONE;
    } else {
      return to_py(std::forward<R>(r).value());
    }
  }
};
template <class T>
struct ResultConv<NewInstance<T>> {
  static PyObject* convert(NewInstance<T>&& v) {
    auto* owned = new T(std::move(v.value));
    PyObject* o = wrap_new_instance(ClassInfo<T>::type, owned);
    if (!o) delete owned;
    return o;
  }
};

// ---------------------------------------------------------------------------
// Invocation

template <class F>
struct FnTraits;
template <class R, class... A>
struct FnTraits<R (*)(A...)> {
  using ret = R;
  using args = std::tuple<A...>;
  static constexpr size_t arity = sizeof...(A);
};
template <class R, class... A>
struct FnTraits<R (*)(A...) noexcept> : FnTraits<R (*)(A...)> {};

template <class A>
using arg_t = std::remove_cvref_t<A>;

// Checks a parsed signature against the C++ parameters: the counts agree,
// and every "=None" default belongs to an optional parameter.
template <class Tuple, size_t... I>
void check_params(const Signature& sig, std::index_sequence<I...>) {
  constexpr bool optional_flags[] = {is_optional<arg_t<std::tuple_element_t<I, Tuple>>>::value..., false};
  SELVO_ASSERT(sig.params.size() == sizeof...(I),
               "binding " + sig.name + ": the signature lists " + std::to_string(sig.params.size()) +
                   " parameters, the C++ function takes " + std::to_string(sizeof...(I)));
  for (size_t i = 0; i < sizeof...(I); ++i) {
    const Param& p = sig.params[i];
    SELVO_ASSERT(p.default_text != "None" || optional_flags[i],
                 "binding " + sig.name + ": parameter '" + p.name + "' defaults to None but is not optional");
  }
}

template <class A>
typename ArgConv<arg_t<A>>::Holder convert_arg(PyObject* o, const Param& p) {
  try {
    return ArgConv<arg_t<A>>::convert(o);
  } catch (PyErrorAlreadySet&) {
    prefix_argument_error(p.name);
    throw;
  }
}

// Upper bound on parameters of any binding.
inline constexpr size_t kMaxParams = 12;

// Converts the Python arguments of F that follow its first `Skip` C++
// parameters (left to right; the first failure propagates and stops the
// rest), then calls run(converted...) while the converted values are alive.
template <auto F, size_t Skip>
struct Converted {
  using Tr = FnTraits<decltype(F)>;
  template <size_t I>
  using A = arg_t<std::tuple_element_t<I + Skip, typename Tr::args>>;

  template <class Run>
  static decltype(auto) apply(const Signature& sig, PyObject** slots, Run&& run) {
    return apply(sig, slots, std::forward<Run>(run), std::make_index_sequence<Tr::arity - Skip>{});
  }

 private:
  template <class Run, size_t... I>
  static decltype(auto) apply(const Signature& sig, PyObject** slots, Run&& run, std::index_sequence<I...>) {
    // Braced initialisation is evaluated left to right.
    std::tuple<typename ArgConv<A<I>>::Holder...> holders{convert_arg<A<I>>(slots[I], sig.params[I])...};
    (void)holders;
    return run(ArgConv<A<I>>::get(std::get<I>(holders))...);
  }
};

// Runs `call` and converts what it returns (None for void).
template <class R, class Call>
PyObject* finish(Call&& call) {
  if constexpr (std::is_void_v<R>) {
    call();
    Py_RETURN_NONE;
  } else {
    return to_py(call());
  }
}

template <auto F>
struct FunctionBinding {
  static inline const Signature* sig = nullptr;
  using Tr = FnTraits<decltype(F)>;

  static PyObject* call(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    try {
      PyObject* slots[kMaxParams + 1];
      sig->bind(args, nargs, kwnames, slots);
      return finish<typename Tr::ret>([&]() -> decltype(auto) {
        return Converted<F, 0>::apply(*sig, slots, [](auto&&... a) -> decltype(auto) {
          return F(std::forward<decltype(a)>(a)...);
        });
      });
    } catch (...) {
      return translate_exception();
    }
  }
};

template <auto F>
struct MethodBinding {
  static inline const Signature* sig = nullptr;
  using Tr = FnTraits<decltype(F)>;
  using SelfRef = std::tuple_element_t<0, typename Tr::args>;
  static_assert(std::is_lvalue_reference_v<SelfRef>, "a method takes its instance by reference");
  using SelfT = std::remove_reference_t<SelfRef>;
  static constexpr bool kMutating = !std::is_const_v<SelfT>;

  static PyObject* call(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    try {
      PyObject* slots[kMaxParams + 1];
      sig->bind(args, nargs, kwnames, slots);
      return call_borrowed(reinterpret_cast<Instance*>(self), slots);
    } catch (...) {
      return translate_exception();
    }
  }

  static PyObject* call_tuple(PyObject* self, PyObject* args, PyObject* kwargs) {
    try {
      PyObject* slots[kMaxParams + 1];
      sig->bind_tuple(args, kwargs, slots);
      return call_borrowed(reinterpret_cast<Instance*>(self), slots);
    } catch (...) {
      return translate_exception();
    }
  }

 private:
  // Arguments convert before the instance is borrowed.
  static PyObject* call_borrowed(Instance* inst, PyObject** slots) {
    return finish<typename Tr::ret>([&]() -> decltype(auto) {
      return Converted<F, 1>::apply(*sig, slots, [inst](auto&&... a) -> decltype(auto) {
        Borrow borrow(inst, kMutating);
        return F(*static_cast<SelfT*>(inst->value), std::forward<decltype(a)>(a)...);
      });
    });
  }
};

// ---------------------------------------------------------------------------
// Registration

struct FunctionDef {
  std::string name;
  PyMethodDef* def;
};

class ClassBuilder;

// What a module registers. Binding files add their entries; the module then
// adds them to the module object in its canonical order.
class Registry {
 public:
  template <auto F>
  void function(std::string_view text_signature, std::string_view body = {}) {
    using Tr = FnTraits<decltype(F)>;
    static_assert(Tr::arity <= kMaxParams, "too many parameters");
    const Signature* sig = keep(parse_signature(text_signature, body));
    check_params<typename Tr::args>(*sig, std::make_index_sequence<Tr::arity>{});
    FunctionBinding<F>::sig = sig;
    add_function(sig, reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&FunctionBinding<F>::call)));
  }

  void constant(std::string name, Ref value);
  ClassBuilder& cls(std::string name);

  // Used by the module: entries in registration order of the binding files.
  const std::vector<FunctionDef>& functions() const { return functions_; }
  const std::vector<std::pair<std::string, Ref>>& constants() const { return constants_; }
  std::deque<ClassBuilder>& classes() { return classes_; }

  const Signature* keep(std::unique_ptr<Signature> sig);
  PyMethodDef* method_def(const Signature* sig, PyCFunction fn, int flags);

 private:
  void add_function(const Signature* sig, PyCFunction fn);

  std::deque<std::unique_ptr<Signature>> signatures_;
  std::deque<PyMethodDef> method_defs_;
  std::vector<FunctionDef> functions_;
  std::vector<std::pair<std::string, Ref>> constants_;
  std::deque<ClassBuilder> classes_;
};

class ClassBuilder {
 public:
  ClassBuilder(Registry& reg, std::string name) : reg_(&reg), name_(std::move(name)) {}

  // Binds the class to C++ type T. Must come first.
  template <class T>
  ClassBuilder& wraps() {
    dealloc_ = &dealloc<T>;
    type_slot_ = &ClassInfo<T>::type;
    ClassInfo<T>::name = keep_name();
    return *this;
  }

  // A constructor: F returns the new value (T, or Result<T>).
  template <auto F>
  ClassBuilder& constructor(std::string_view text_signature) {
    using Tr = FnTraits<decltype(F)>;
    const Signature* sig = reg_->keep(parse_signature(text_signature));
    SELVO_ASSERT(sig->name == name_, "constructor signature of " + name_ + " names " + sig->name);
    check_params<typename Tr::args>(*sig, std::make_index_sequence<Tr::arity>{});
    ctor_sig_ = sig;
    CtorBinding<F>::sig = sig;
    new_ = &CtorBinding<F>::tp_new;
    return *this;
  }

  // Calling the class raises TypeError "No constructor defined for <Name>".
  ClassBuilder& no_constructor() {
    new_ = nullptr;
    ctor_sig_ = nullptr;
    return *this;
  }

  template <auto F>
  ClassBuilder& method(std::string_view text_signature, std::string_view body = {}) {
    using B = MethodBinding<F>;
    const Signature* sig = reg_->keep(parse_signature(text_signature, body));
    SELVO_ASSERT(sig->has_self, "method " + sig->name + " of " + name_ + " needs $self");
    check_params<drop_first<typename B::Tr::args>>(*sig, std::make_index_sequence<B::Tr::arity - 1>{});
    B::sig = sig;
    methods_.push_back(reg_->method_def(
        sig, reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&B::call)), METH_FASTCALL | METH_KEYWORDS));
    return *this;
  }

  template <auto F>
  ClassBuilder& static_method(std::string_view text_signature) {
    using Tr = FnTraits<decltype(F)>;
    const Signature* sig = reg_->keep(parse_signature(text_signature));
    SELVO_ASSERT(!sig->has_self, "static method " + sig->name + " takes no $self");
    check_params<typename Tr::args>(*sig, std::make_index_sequence<Tr::arity>{});
    FunctionBinding<F>::sig = sig;
    methods_.push_back(reg_->method_def(
        sig, reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&FunctionBinding<F>::call)),
        METH_FASTCALL | METH_KEYWORDS | METH_STATIC));
    return *this;
  }

  // A read-only property: F(const T&) -> value.
  template <auto F>
  ClassBuilder& property(const char* name) {
    properties_.push_back({name, &PropertyBinding<F>::get});
    return *this;
  }

  // __len__: F(const T&) -> size_t.
  template <auto F>
  ClassBuilder& len() {
    len_ = &LenBinding<F>::len;
    return *this;
  }

  // __repr__: F(const T&) -> std::string.
  template <auto F>
  ClassBuilder& repr() {
    repr_ = &ReprBinding<F>::repr;
    return *this;
  }

  // Instances are callable: the call is method F, whose text signature is
  // given as for a method (its name is ignored by Python).
  template <auto F>
  ClassBuilder& call(std::string_view text_signature) {
    using B = MethodBinding<F>;
    const Signature* sig = reg_->keep(parse_signature(text_signature));
    check_params<drop_first<typename B::Tr::args>>(*sig, std::make_index_sequence<B::Tr::arity - 1>{});
    B::sig = sig;
    call_ = &B::call_tuple;
    return *this;
  }

  const std::string& name() const { return name_; }

  // Creates the Python type (once the module name is known).
  Ref create_type(const std::string& module_name);

 private:
  template <class Tuple>
  struct DropFirst;
  template <class A, class... R>
  struct DropFirst<std::tuple<A, R...>> {
    using type = std::tuple<R...>;
  };
  template <class Tuple>
  using drop_first = typename DropFirst<Tuple>::type;

  template <auto F>
  struct CtorBinding {
    static inline const Signature* sig = nullptr;
    using Tr = FnTraits<decltype(F)>;
    using R = typename Tr::ret;

    static PyObject* tp_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
      try {
        PyObject* slots[kMaxParams + 1];
        sig->bind_tuple(args, kwargs, slots);
        auto made = Converted<F, 0>::apply(*sig, slots, [](auto&&... a) { return F(std::forward<decltype(a)>(a)...); });
        using V = std::remove_cvref_t<decltype(made)>;
        if constexpr (is_result<V>::value) {
          if (!made.ok()) {
            raise(made.error());
            return nullptr;
          }
          return adopt(type, std::move(made).value());
        } else {
          return adopt(type, std::move(made));
        }
      } catch (...) {
        return translate_exception();
      }
    }

    template <class V>
    static PyObject* adopt(PyTypeObject* type, V&& v) {
      auto* owned = new std::remove_cvref_t<V>(std::forward<V>(v));
      PyObject* o = wrap_new_instance(type, owned);
      if (!o) delete owned;
      return o;
    }
  };

  template <class V>
  struct is_result : std::false_type {};
  template <class V>
  struct is_result<Result<V>> : std::true_type {};

  template <auto F>
  struct PropertyBinding {
    using Tr = FnTraits<decltype(F)>;
    using SelfT = std::remove_reference_t<std::tuple_element_t<0, typename Tr::args>>;
    static PyObject* get(PyObject* self, void*) {
      try {
        auto* inst = reinterpret_cast<Instance*>(self);
        Borrow borrow(inst, false);
        return to_py(F(*static_cast<SelfT*>(inst->value)));
      } catch (...) {
        return translate_exception();
      }
    }
  };

  template <auto F>
  struct LenBinding {
    using Tr = FnTraits<decltype(F)>;
    using SelfT = std::remove_reference_t<std::tuple_element_t<0, typename Tr::args>>;
    static Py_ssize_t len(PyObject* self) {
      try {
        auto* inst = reinterpret_cast<Instance*>(self);
        Borrow borrow(inst, false);
        auto n = F(*static_cast<SelfT*>(inst->value));
        if (static_cast<unsigned long long>(n) > static_cast<unsigned long long>(PY_SSIZE_T_MAX)) {
          PyErr_SetNone(PyExc_OverflowError);
          return -1;
        }
        return static_cast<Py_ssize_t>(n);
      } catch (...) {
        translate_exception();
        return -1;
      }
    }
  };

  template <auto F>
  struct ReprBinding {
    using Tr = FnTraits<decltype(F)>;
    using SelfT = std::remove_reference_t<std::tuple_element_t<0, typename Tr::args>>;
    static PyObject* repr(PyObject* self) {
      try {
        auto* inst = reinterpret_cast<Instance*>(self);
        Borrow borrow(inst, false);
        return to_py(F(*static_cast<SelfT*>(inst->value)));
      } catch (...) {
        return translate_exception();
      }
    }
  };

  template <class T>
  static void dealloc(PyObject* self) {
    auto* inst = reinterpret_cast<Instance*>(self);
    delete static_cast<T*>(inst->value);
    inst->value = nullptr;
    free_instance(self);
  }
  static void free_instance(PyObject* self);

  const char* keep_name();

  Registry* reg_;
  std::string name_;
  std::string qualified_;
  std::string doc_;
  destructor dealloc_ = nullptr;
  PyTypeObject** type_slot_ = nullptr;
  const Signature* ctor_sig_ = nullptr;
  newfunc new_ = nullptr;
  std::vector<PyMethodDef*> methods_;
  std::vector<std::pair<const char*, getter>> properties_;
  lenfunc len_ = nullptr;
  reprfunc repr_ = nullptr;
  ternaryfunc call_ = nullptr;
  std::vector<PyMethodDef> method_table_;
  std::vector<PyGetSetDef> getset_table_;
  std::vector<PyType_Slot> slots_;
  std::string doc_storage_;
};

// ---------------------------------------------------------------------------
// Module creation

// Registers `registry`'s entries on a new module in the given order of
// names (functions, constants and classes mixed); names not listed are
// refused. Returns null with a Python error on failure.
PyObject* create_module(PyModuleDef* def, Registry& registry, const std::vector<std::string_view>& order);

// Builds an extension module: creates its internal-fault type, runs
// `register_fn` once on a registry that lives as long as the process (the
// function objects point into it) and adds the entries in `order`, or in
// registration order when `order` is null.
PyObject* build_module(PyModuleDef* def, const char* fault_type_name, void (*register_fn)(Registry&),
                       const std::vector<std::string_view>* order);

// Single-phase initialisation shared by the extension modules: a second
// call in the same interpreter returns the module already made; a call from
// another interpreter raises ImportError.
class ModuleOnce {
 public:
  template <class Build>
  PyObject* init(Build&& build) {
    int64_t interp = PyInterpreterState_GetID(PyInterpreterState_Get());
    if (module_) {
      if (interp != interpreter_) {
        PyErr_SetString(PyExc_ImportError,
                        "selvo's extension modules cannot be loaded in a sub-interpreter");
        return nullptr;
      }
      Py_INCREF(module_);
      return module_;
    }
    PyObject* m = build();
    if (!m) return nullptr;
    interpreter_ = interp;
    module_ = m;
    Py_INCREF(module_);  // kept for the life of the process
    return m;
  }

 private:
  PyObject* module_ = nullptr;
  int64_t interpreter_ = -1;
};

// ---------------------------------------------------------------------------
// Shared engines

// A process-wide engine built on first use and then only read. A build that
// fails leaves the slot failed for good: every later use raises the
// internal-fault exception again.
template <class T>
class EngineSlot {
 public:
  template <class Make>
  const T& get(Make&& make) {
    switch (state_) {
      case State::Ready:
        return *engine_;
      case State::Failed:
        throw InternalFault(failure_);
      case State::Building:
        throw InternalFault("shared engine used while it is being built");
      case State::Empty:
        break;
    }
    state_ = State::Building;
    try {
      engine_ = make();
      SELVO_ASSERT(engine_ != nullptr, "shared engine builder returned nothing");
      state_ = State::Ready;
      return *engine_;
    } catch (const std::exception& e) {
      failure_ = std::string("building a shared engine failed: ") + e.what();
    } catch (...) {
      failure_ = "building a shared engine failed";
    }
    state_ = State::Failed;
    throw InternalFault(failure_);
  }

  const T& get() {
    return get([] { return std::make_unique<T>(); });
  }

  bool ready() const { return state_ == State::Ready; }

 private:
  enum class State { Empty, Building, Ready, Failed };
  State state_ = State::Empty;
  std::unique_ptr<T> engine_;
  std::string failure_;
};

}  // namespace selvo::py
