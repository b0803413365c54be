#include "frame.h"

#include <cerrno>
#include <cstring>
#include <new>

namespace selvo::py {

namespace {

PyObject* g_internal_fault = nullptr;

std::string type_name(PyObject* o) {
  Ref name(PyType_GetName(Py_TYPE(o)));
  if (!name) {
    PyErr_Clear();
    return "object";
  }
  Py_ssize_t n = 0;
  const char* s = PyUnicode_AsUTF8AndSize(name.get(), &n);
  if (!s) {
    PyErr_Clear();
    return "object";
  }
  return std::string(s, static_cast<size_t>(n));
}

std::string plural(size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

// ---------------------------------------------------------------------------
// Errors

Ref check(PyObject* o) {
  if (!o) throw PyErrorAlreadySet{};
  return Ref(o);
}

PyObject* internal_fault_type() { return g_internal_fault; }

void create_internal_fault_type(const char* qualified_name) {
  if (g_internal_fault) return;
  g_internal_fault = PyErr_NewException(qualified_name, PyExc_BaseException, nullptr);
  if (!g_internal_fault) throw PyErrorAlreadySet{};
}

static void set_internal_fault(const std::string& message) {
  PyErr_SetString(g_internal_fault ? g_internal_fault : PyExc_SystemError, message.c_str());
}

void raise(const Error& e) {
  switch (e.kind) {
    case ErrorKind::Domain:
    case ErrorKind::Json:
      PyErr_SetString(PyExc_ValueError, e.message.c_str());
      return;
    case ErrorKind::Type:
      PyErr_SetString(PyExc_TypeError, e.message.c_str());
      return;
    case ErrorKind::Io: {
      // OSError(errno, text) picks the matching subclass (FileNotFoundError…).
      PyObject* exc = PyObject_CallFunction(PyExc_OSError, "is", e.os_errno, e.message.c_str());
      if (exc) {
        PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(exc)), exc);
        Py_DECREF(exc);
      }
      return;
    }
  }
  set_internal_fault("unknown error kind: " + e.message);
}

PyObject* translate_exception() noexcept {
  try {
    throw;
  } catch (const PyErrorAlreadySet&) {
    if (!PyErr_Occurred()) set_internal_fault("a failure was reported without a Python error");
  } catch (const InternalFault& e) {
    set_internal_fault(e.what());
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
  } catch (const std::exception& e) {
    set_internal_fault(std::string("internal error: ") + e.what());
  } catch (...) {
    set_internal_fault("internal error: unknown exception");
  }
  return nullptr;
}

void throw_py(PyObject* type, const std::string& message) {
  PyErr_SetString(type, message.c_str());
  throw PyErrorAlreadySet{};
}

void prefix_argument_error(const std::string& name) {
  if (!PyErr_ExceptionMatches(PyExc_TypeError)) return;
  PyObject *type = nullptr, *value = nullptr, *tb = nullptr;
  PyErr_Fetch(&type, &value, &tb);
  PyErr_NormalizeException(&type, &value, &tb);
  if (tb && value) PyException_SetTraceback(value, tb);
  Py_XDECREF(tb);
  Py_XDECREF(type);
  std::string message = "argument '" + name + "': ";
  if (value) {
    Ref text(PyObject_Str(value));
    const char* s = text ? PyUnicode_AsUTF8AndSize(text.get(), nullptr) : nullptr;
    if (s) {
      message += s;
    } else {
      PyErr_Clear();
    }
  }
  PyObject* outer = PyObject_CallFunction(PyExc_TypeError, "s", message.c_str());
  if (!outer) {
    Py_XDECREF(value);
    return;
  }
  if (value) {
    Py_INCREF(value);
    PyException_SetContext(outer, value);  // steals
    PyException_SetCause(outer, value);    // steals
  }
  PyErr_SetObject(PyExc_TypeError, outer);
  Py_DECREF(outer);
}

// ---------------------------------------------------------------------------
// Signatures

namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// Splits the parameter list at top-level commas (quoted defaults may hold
// commas).
std::vector<std::string_view> split_params(std::string_view list) {
  std::vector<std::string_view> out;
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i < list.size(); ++i) {
    char c = list[i];
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) {
      out.push_back(trim(list.substr(start, i - start)));
      start = i + 1;
    }
  }
  std::string_view last = trim(list.substr(start));
  if (!last.empty() || !out.empty()) out.push_back(last);
  return out;
}

Ref default_object(std::string_view text) {
  if (text == "None") return Ref::borrow(Py_None);
  if (text == "True") return Ref::borrow(Py_True);
  if (text == "False") return Ref::borrow(Py_False);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    std::string_view inner = text.substr(1, text.size() - 2);
    return check(PyUnicode_FromStringAndSize(inner.data(), static_cast<Py_ssize_t>(inner.size())));
  }
  std::string s(text);
  char* end = nullptr;
  errno = 0;
  long long n = std::strtoll(s.c_str(), &end, 10);
  if (end && *end == '\0' && errno == 0) return check(PyLong_FromLongLong(n));
  double d = std::strtod(s.c_str(), &end);
  if (end && *end == '\0') return check(PyFloat_FromDouble(d));
  internal_fault(__FILE__, __LINE__, "unsupported default in a text signature: " + s);
}

}  // namespace

std::unique_ptr<Signature> parse_signature(std::string_view text, std::string_view body) {
  auto sig = std::make_unique<Signature>();
  size_t open = text.find('(');
  SELVO_ASSERT(open != std::string_view::npos && !text.empty() && text.back() == ')',
               "malformed text signature: " + std::string(text));
  sig->name = std::string(text.substr(0, open));
  sig->text = std::string(text);
  sig->doc = sig->text + "\n--\n\n" + std::string(body);
  std::vector<std::string_view> params = split_params(text.substr(open + 1, text.size() - open - 2));
  bool seen_default = false;
  for (size_t i = 0; i < params.size(); ++i) {
    std::string_view p = params[i];
    SELVO_ASSERT(!p.empty(), "empty parameter in " + sig->text);
    if (i == 0 && p == "$self") {
      sig->has_self = true;
      continue;
    }
    Param param;
    size_t eq = p.find('=');
    if (eq == std::string_view::npos) {
      SELVO_ASSERT(!seen_default, "required parameter after a default in " + sig->text);
      param.name = std::string(p);
      ++sig->required;
    } else {
      seen_default = true;
      param.name = std::string(trim(p.substr(0, eq)));
      param.default_text = std::string(trim(p.substr(eq + 1)));
      param.default_value = default_object(param.default_text);
    }
    sig->params.push_back(std::move(param));
  }
  SELVO_ASSERT(sig->params.size() <= kMaxParams, "too many parameters in " + sig->text);
  return sig;
}

namespace {

[[noreturn]] void missing_arguments(const Signature& sig, PyObject** slots) {
  std::vector<std::string> names;
  for (size_t i = 0; i < sig.required; ++i) {
    if (!slots[i]) names.push_back("'" + sig.params[i].name + "'");
  }
  std::string list;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) list += (i + 1 == names.size()) ? (names.size() > 2 ? ", and " : " and ") : ", ";
    list += names[i];
  }
  throw_py(PyExc_TypeError, sig.name + "() missing " +
                                plural(names.size(), "required positional argument", "required positional arguments") +
                                ": " + list);
}

[[noreturn]] void too_many_positional(const Signature& sig, Py_ssize_t given) {
  size_t total = sig.params.size();
  std::string takes;
  if (sig.required == total) {
    takes = plural(total, "positional argument", "positional arguments");
  } else {
    takes = "from " + std::to_string(sig.required) + " to " + std::to_string(total) + " positional arguments";
  }
  std::string g = std::to_string(given) + (given == 1 ? " was given" : " were given");
  throw_py(PyExc_TypeError, sig.name + "() takes " + takes + " but " + g);
}

void assign_keyword(const Signature& sig, PyObject* key, PyObject* value, PyObject** slots) {
  if (!PyUnicode_Check(key)) throw_py(PyExc_TypeError, sig.name + "() keywords must be strings");
  for (size_t i = 0; i < sig.params.size(); ++i) {
    if (PyUnicode_CompareWithASCIIString(key, sig.params[i].name.c_str()) == 0) {
      if (slots[i]) throw_py(PyExc_TypeError, sig.name + "() got multiple values for argument '" + sig.params[i].name + "'");
      slots[i] = value;
      return;
    }
  }
  const char* k = PyUnicode_AsUTF8AndSize(key, nullptr);
  if (!k) throw PyErrorAlreadySet{};
  throw_py(PyExc_TypeError, sig.name + "() got an unexpected keyword argument '" + k + "'");
}

void finish_binding(const Signature& sig, PyObject** slots) {
  for (size_t i = 0; i < sig.required; ++i) {
    if (!slots[i]) missing_arguments(sig, slots);
  }
  for (size_t i = sig.required; i < sig.params.size(); ++i) {
    if (!slots[i]) slots[i] = sig.params[i].default_value.get();
  }
}

}  // namespace

void Signature::bind(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, PyObject** slots) const {
  size_t n = params.size();
  for (size_t i = 0; i < n; ++i) slots[i] = nullptr;
  if (nargs > static_cast<Py_ssize_t>(n)) too_many_positional(*this, nargs);
  for (Py_ssize_t i = 0; i < nargs; ++i) slots[i] = args[i];
  if (kwnames) {
    Py_ssize_t nk = PyTuple_Size(kwnames);
    for (Py_ssize_t k = 0; k < nk; ++k) {
      assign_keyword(*this, PyTuple_GetItem(kwnames, k), args[nargs + k], slots);
    }
  }
  finish_binding(*this, slots);
}

void Signature::bind_tuple(PyObject* args, PyObject* kwargs, PyObject** slots) const {
  size_t n = params.size();
  for (size_t i = 0; i < n; ++i) slots[i] = nullptr;
  Py_ssize_t nargs = args ? PyTuple_Size(args) : 0;
  if (nargs > static_cast<Py_ssize_t>(n)) too_many_positional(*this, nargs);
  for (Py_ssize_t i = 0; i < nargs; ++i) slots[i] = PyTuple_GetItem(args, i);
  if (kwargs) {
    Py_ssize_t pos = 0;
    PyObject *key, *value;
    while (PyDict_Next(kwargs, &pos, &key, &value)) assign_keyword(*this, key, value, slots);
  }
  finish_binding(*this, slots);
}

// ---------------------------------------------------------------------------
// Arguments

std::string_view text_from(PyObject* o) {
  if (!PyUnicode_Check(o)) throw_py(PyExc_TypeError, "expected str, got " + type_name(o));
  Py_ssize_t n = 0;
  const char* s = PyUnicode_AsUTF8AndSize(o, &n);  // UnicodeEncodeError on lone surrogates
  if (!s) throw PyErrorAlreadySet{};
  return std::string_view(s, static_cast<size_t>(n));
}

std::vector<Ref> sequence_items(PyObject* o) {
  if (PyUnicode_Check(o)) throw_py(PyExc_TypeError, "expected a sequence, got str");
  if (!PySequence_Check(o)) throw_py(PyExc_TypeError, "expected a sequence, got " + type_name(o));
  Py_ssize_t n = PySequence_Size(o);
  if (n < 0) throw PyErrorAlreadySet{};
  std::vector<Ref> items;
  items.reserve(static_cast<size_t>(n));
  for (Py_ssize_t i = 0; i < n; ++i) items.push_back(check(PySequence_GetItem(o, i)));
  return items;
}

std::vector<std::string> text_list_from(PyObject* o) {
  std::vector<Ref> items = sequence_items(o);
  std::vector<std::string> out;
  out.reserve(items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    PyObject* item = items[i].get();
    if (!PyUnicode_Check(item)) {
      throw_py(PyExc_TypeError, "item " + std::to_string(i) + ": expected str, got " + type_name(item));
    }
    out.emplace_back(text_from(item));
  }
  return out;
}

int64_t int64_from(PyObject* o) {
  if (!PyLong_Check(o)) {
    Ref index(PyNumber_Index(o));  // TypeError for floats, str, …
    if (!index) throw PyErrorAlreadySet{};
    return int64_from(index.get());
  }
  long long v = PyLong_AsLongLong(o);
  if (v == -1 && PyErr_Occurred()) throw PyErrorAlreadySet{};  // OverflowError
  return static_cast<int64_t>(v);
}

uint64_t uint64_from(PyObject* o) {
  Ref index(PyNumber_Index(o));
  if (!index) throw PyErrorAlreadySet{};
  unsigned long long v = PyLong_AsUnsignedLongLong(index.get());
  if (v == static_cast<unsigned long long>(-1) && PyErr_Occurred()) throw PyErrorAlreadySet{};  // OverflowError
  return static_cast<uint64_t>(v);
}

double double_from(PyObject* o) {
  double v = PyFloat_AsDouble(o);
  if (v == -1.0 && PyErr_Occurred()) throw PyErrorAlreadySet{};
  return v;
}

bool bool_from(PyObject* o) {
  if (o == Py_True) return true;
  if (o == Py_False) return false;
  throw_py(PyExc_TypeError, "expected bool, got " + type_name(o));
}

BytesArg bytes_from(PyObject* o) {
  if (!PyBytes_Check(o)) throw_py(PyExc_TypeError, "expected bytes, got " + type_name(o));
  char* data = nullptr;
  Py_ssize_t n = 0;
  if (PyBytes_AsStringAndSize(o, &data, &n) < 0) throw PyErrorAlreadySet{};
  return BytesArg{std::string_view(data, static_cast<size_t>(n))};
}

void set_item(PyObject* dict, std::string_view key, Ref value) {
  if (!value) throw PyErrorAlreadySet{};
  Ref k = check(str_from(key));
  if (PyDict_SetItem(dict, k.get(), value.get()) < 0) throw PyErrorAlreadySet{};
}

PyObject* str_from(std::string_view s) {
  return PyUnicode_FromStringAndSize(s.data(), static_cast<Py_ssize_t>(s.size()));
}

// ---------------------------------------------------------------------------
// Instances

Borrow::Borrow(Instance* inst, bool exclusive) : inst_(inst), exclusive_(exclusive) {
  SELVO_ASSERT(inst_->value != nullptr, "instance holds no value");
  if (exclusive_) {
    if (inst_->borrows != 0) throw_py(PyExc_RuntimeError, "Already borrowed");
    inst_->borrows = -1;
  } else {
    if (inst_->borrows < 0) throw_py(PyExc_RuntimeError, "Already mutably borrowed");
    ++inst_->borrows;
  }
}

Borrow::~Borrow() {
  if (exclusive_) {
    inst_->borrows = 0;
  } else {
    --inst_->borrows;
  }
}

Instance* instance_of(PyObject* o, PyTypeObject* type, const char* name) {
  SELVO_ASSERT(type != nullptr, std::string("class ") + (name ? name : "?") + " is not registered");
  if (!PyObject_TypeCheck(o, type)) {
    throw_py(PyExc_TypeError, std::string("expected ") + name + ", got " + type_name(o));
  }
  return reinterpret_cast<Instance*>(o);
}

PyObject* wrap_new_instance(PyTypeObject* type, void* value) {
  SELVO_ASSERT(type != nullptr, "class is not registered");
  auto alloc = reinterpret_cast<allocfunc>(PyType_GetSlot(type, Py_tp_alloc));
  PyObject* o = alloc(type, 0);
  if (!o) return nullptr;
  auto* inst = reinterpret_cast<Instance*>(o);
  inst->value = value;
  inst->borrows = 0;
  return o;
}

void ClassBuilder::free_instance(PyObject* self) {
  PyTypeObject* type = Py_TYPE(self);
  auto free_fn = reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free));
  free_fn(self);
  Py_DECREF(type);
}

namespace {

PyObject* refuse_construction(PyTypeObject* type, PyObject*, PyObject*) {
  Ref name(PyType_GetName(type));
  const char* s = name ? PyUnicode_AsUTF8AndSize(name.get(), nullptr) : nullptr;
  if (!s) return nullptr;
  PyErr_Format(PyExc_TypeError, "No constructor defined for %s", s);
  return nullptr;
}

}  // namespace

const char* ClassBuilder::keep_name() { return name_.c_str(); }

Ref ClassBuilder::create_type(const std::string& module_name) {
  SELVO_ASSERT(dealloc_ != nullptr, "class " + name_ + " wraps no C++ type");
  qualified_ = module_name + "." + name_;
  doc_storage_ = ctor_sig_ ? ctor_sig_->doc : std::string();

  method_table_.clear();
  for (PyMethodDef* m : methods_) method_table_.push_back(*m);
  method_table_.push_back(PyMethodDef{nullptr, nullptr, 0, nullptr});

  getset_table_.clear();
  for (auto& [name, get] : properties_) getset_table_.push_back(PyGetSetDef{name, get, nullptr, nullptr, nullptr});
  getset_table_.push_back(PyGetSetDef{nullptr, nullptr, nullptr, nullptr, nullptr});

  slots_.clear();
  slots_.push_back({Py_tp_doc, const_cast<char*>(doc_storage_.c_str())});
  slots_.push_back({Py_tp_new, reinterpret_cast<void*>(new_ ? new_ : &refuse_construction)});
  slots_.push_back({Py_tp_dealloc, reinterpret_cast<void*>(dealloc_)});
  slots_.push_back({Py_tp_methods, method_table_.data()});
  slots_.push_back({Py_tp_getset, getset_table_.data()});
  if (len_) slots_.push_back({Py_sq_length, reinterpret_cast<void*>(len_)});
  if (repr_) slots_.push_back({Py_tp_repr, reinterpret_cast<void*>(repr_)});
  if (call_) slots_.push_back({Py_tp_call, reinterpret_cast<void*>(call_)});
  slots_.push_back({0, nullptr});

  PyType_Spec spec{qualified_.c_str(), static_cast<int>(sizeof(Instance)), 0, Py_TPFLAGS_DEFAULT, slots_.data()};
  Ref type = check(PyType_FromSpec(&spec));
  *type_slot_ = reinterpret_cast<PyTypeObject*>(type.get());
  return type;
}

// ---------------------------------------------------------------------------
// Registry

const Signature* Registry::keep(std::unique_ptr<Signature> sig) {
  signatures_.push_back(std::move(sig));
  return signatures_.back().get();
}

PyMethodDef* Registry::method_def(const Signature* sig, PyCFunction fn, int flags) {
  method_defs_.push_back(PyMethodDef{sig->name.c_str(), fn, flags, sig->doc.c_str()});
  return &method_defs_.back();
}

void Registry::add_function(const Signature* sig, PyCFunction fn) {
  functions_.push_back({sig->name, method_def(sig, fn, METH_FASTCALL | METH_KEYWORDS)});
}

void Registry::constant(std::string name, Ref value) { constants_.emplace_back(std::move(name), std::move(value)); }

ClassBuilder& Registry::cls(std::string name) {
  classes_.emplace_back(*this, std::move(name));
  return classes_.back();
}

// ---------------------------------------------------------------------------
// Module

PyObject* create_module(PyModuleDef* def, Registry& registry, const std::vector<std::string_view>& order) {
  try {
    Ref module = check(PyModule_Create(def));
    // Inside a package the module is named by its full dotted name.
    Ref module_name = check(PyModule_GetNameObject(module.get()));
    const char* full = PyUnicode_AsUTF8AndSize(module_name.get(), nullptr);
    if (!full) throw PyErrorAlreadySet{};
    std::string qualified = full;

    auto add = [&](const std::string& name, PyObject* owned) {
      Ref value = check(owned);
      if (PyModule_AddObjectRef(module.get(), name.c_str(), value.get()) < 0) throw PyErrorAlreadySet{};
    };

    // Every registered name must have its place in the order; underscore
    // names are private helpers and go last.
    std::vector<std::string> privates;
    auto listed = [&](const std::string& name) {
      for (std::string_view n : order) {
        if (n == name) return true;
      }
      SELVO_ASSERT(!name.empty() && name[0] == '_', "registered name '" + name + "' has no place in the module order");
      privates.push_back(name);
      return false;
    };
    for (const FunctionDef& f : registry.functions()) listed(f.name);
    for (const auto& c : registry.constants()) listed(c.first);
    for (ClassBuilder& c : registry.classes()) listed(c.name());

    auto add_named = [&](std::string_view name) {
      for (const FunctionDef& f : registry.functions()) {
        if (f.name == name) return add(f.name, PyCFunction_NewEx(f.def, nullptr, module_name.get()));
      }
      for (const auto& c : registry.constants()) {
        if (c.first == name) return add(c.first, Ref::borrow(c.second.get()).release());
      }
      for (ClassBuilder& c : registry.classes()) {
        if (c.name() == name) return add(c.name(), c.create_type(qualified).release());
      }
    };
    for (std::string_view name : order) add_named(name);
    for (const std::string& name : privates) add_named(name);

    if (g_internal_fault) {
      if (PyModule_AddObjectRef(module.get(), "_InternalFault", g_internal_fault) < 0) throw PyErrorAlreadySet{};
    }
    return module.release();
  } catch (...) {
    return translate_exception();
  }
}

PyObject* build_module(PyModuleDef* def, const char* fault_type_name, void (*register_fn)(Registry&),
                       const std::vector<std::string_view>* order) {
  try {
    create_internal_fault_type(fault_type_name);
    auto* registry = new Registry();  // never freed: function objects point into it
    register_fn(*registry);
    std::vector<std::string_view> names;
    if (!order) {
      for (const FunctionDef& f : registry->functions()) names.push_back(f.name);
      for (const auto& c : registry->constants()) names.push_back(c.first);
      for (ClassBuilder& c : registry->classes()) names.push_back(c.name());
      order = &names;
    }
    return create_module(def, *registry, *order);
  } catch (...) {
    return translate_exception();
  }
}

}  // namespace selvo::py
