// Personal-data protection: validators, suffix harmonization, the vault and
// the engine.
#include <nlohmann/json.hpp>

#include <memory>

#include "bindings.h"
#include "embeddings/embeddings.h"
#include "pii/engine.h"
#include "pii/suffix.h"
#include "pii/text.h"
#include "pii/validators.h"
#include "pii/vault.h"

namespace selvo::py {

namespace {

// ---------------------------------------------------------------------------
// Functions

std::optional<std::string_view> validate_credit_card_py(std::string_view s) {
  std::optional<CardBrand> brand = validate_credit_card(s);
  if (!brand) return std::nullopt;
  return card_brand_name(*brand);
}

Result<std::string> harmonize_suffix_py(std::string_view stem, std::string_view case_name) {
  std::optional<SuffixCase> c = suffix_case_from_name(case_name);
  if (!c) return Error::domain("Unknown case: " + std::string(case_name));
  return harmonize_suffix(stem, *c);
}

// ---------------------------------------------------------------------------
// Dict builders

Ref entry_dict(const VaultEntry& e) {
  Ref d = check(PyDict_New());
  set_item(d.get(), "placeholder", check(str_from(e.placeholder)));
  set_item(d.get(), "original_text", check(str_from(e.original_text)));
  set_item(d.get(), "pii_label", check(str_from(e.pii_label)));
  set_item(d.get(), "original_stem", check(str_from(e.original_stem)));
  set_item(d.get(), "original_suffix", check(to_py(e.original_suffix)));
  return d;
}

Ref detailed_dict(const PiiVault& v) {
  Ref d = check(PyDict_New());
  for (const auto& [key, entry] : v.placeholder_to_entry()) set_item(d.get(), key, entry_dict(entry));
  return d;
}

Ref mapping_dict(const PlaceholderMapping& m) {
  Ref d = check(PyDict_New());
  for (const auto& [key, value] : m) set_item(d.get(), key, check(str_from(value)));
  return d;
}

// Entities as dicts with character offsets into `text`; `full` adds the
// stem and suffix (detect), the mask dict leaves them out.
Ref entity_list(std::string_view text, const std::vector<PiiEntity>& entities, bool full) {
  Ref list = check(PyList_New(static_cast<Py_ssize_t>(entities.size())));
  pii::CharOffsets offsets(text);
  for (size_t i = 0; i < entities.size(); ++i) {
    const PiiEntity& e = entities[i];
    Ref d = check(PyDict_New());
    set_item(d.get(), "text", check(str_from(e.text)));
    set_item(d.get(), "label", check(str_from(e.label)));
    set_item(d.get(), "pii_type", check(str_from(as_str(e.pii_type))));
    set_item(d.get(), "start", check(PyLong_FromSize_t(offsets.chars_before(e.start))));
    set_item(d.get(), "end", check(PyLong_FromSize_t(offsets.chars_before(e.end))));
    set_item(d.get(), "confidence", check(PyFloat_FromDouble(static_cast<double>(e.confidence))));
    if (full) {
      set_item(d.get(), "stem", check(str_from(e.stem)));
      set_item(d.get(), "suffix", check(to_py(e.suffix)));
    }
    PyList_SetItem(list.get(), static_cast<Py_ssize_t>(i), d.release());  // steals
  }
  return list;
}

Ref new_vault_object(PiiVault v) {
  auto* owned = new PiiVault(std::move(v));
  PyObject* o = wrap_new_instance(ClassInfo<PiiVault>::type, owned);
  if (!o) {
    delete owned;
    throw PyErrorAlreadySet{};
  }
  return Ref(o);
}

// A dict argument read as placeholder → value: str values as they are,
// dict values by their "original_text" (skipped without one), any other
// value skipped. Keys must be str.
PlaceholderMapping mapping_from_dict(PyObject* dict) {
  PlaceholderMapping m;
  Py_ssize_t pos = 0;
  PyObject* key = nullptr;
  PyObject* value = nullptr;
  while (PyDict_Next(dict, &pos, &key, &value)) {
    std::string k(text_from(key));
    if (PyUnicode_Check(value)) {
      m.emplace_back(std::move(k), std::string(text_from(value)));
    } else if (PyDict_Check(value)) {
      PyObject* original = PyDict_GetItemString(value, "original_text");  // borrowed
      if (original) m.emplace_back(std::move(k), std::string(text_from(original)));
    }
  }
  return m;
}

// ---------------------------------------------------------------------------
// PiiVault

PiiVault make_vault() { return PiiVault(); }
std::string vault_restore(const PiiVault& v, std::string_view text) { return v.restore(text); }
Result<std::string> vault_to_json(const PiiVault& v) { return v.to_json(); }

Result<NewInstance<PiiVault>> vault_from_json(std::string_view json) {
  Result<PiiVault> v = PiiVault::from_json(json);
  if (!v.ok()) return v.error();
  return NewInstance<PiiVault>{std::move(v).value()};
}

Ref vault_to_dict(const PiiVault& v) { return detailed_dict(v); }
Ref vault_get_mapping(const PiiVault& v) { return mapping_dict(v.get_mapping()); }
size_t vault_len(const PiiVault& v) { return v.size(); }

std::string vault_restore_with_mapping(std::string_view text, PyObject* mapping) {
  if (!PyDict_Check(mapping)) {
    throw_py(PyExc_TypeError, "argument 'mapping': expected a dict");
  }
  return PiiVault::restore_with_mapping(text, mapping_from_dict(mapping));
}

// ---------------------------------------------------------------------------
// TurkishPiiEngine

TurkishPiiEngine make_engine(bool use_embeddings, bool preserve_corporate_emails,
                             std::optional<std::vector<std::string>> disabled_types) {
  // One embeddings model for every engine built with embeddings; its table
  // is shared with the other models of the process.
  TurkishPiiEngine engine;
  if (use_embeddings) {
    static const std::shared_ptr<const TurkishEmbeddings> model = std::make_shared<const TurkishEmbeddings>();
    engine = TurkishPiiEngine::with_embeddings(model);
  }
  engine.set_preserve_corporate_emails(preserve_corporate_emails);
  if (disabled_types) {
    for (const std::string& name : *disabled_types) {
      if (std::optional<PiiType> t = pii_type_from_name(name)) engine.disable_type(*t);
    }
  }
  return engine;
}

Result<PiiType> known_type(std::string_view name) {
  std::optional<PiiType> t = pii_type_from_name(name);
  if (!t) return Error::domain(unknown_pii_type_message(name));
  return *t;
}

Result<void> engine_disable_type(TurkishPiiEngine& e, std::string_view name) {
  Result<PiiType> t = known_type(name);
  if (!t.ok()) return t.error();
  e.disable_type(t.value());
  return {};
}

Result<void> engine_enable_type(TurkishPiiEngine& e, std::string_view name) {
  Result<PiiType> t = known_type(name);
  if (!t.ok()) return t.error();
  e.enable_type(t.value());
  return {};
}

Result<void> engine_set_type_enabled(TurkishPiiEngine& e, std::string_view name, bool enabled) {
  Result<PiiType> t = known_type(name);
  if (!t.ok()) return t.error();
  e.set_type_enabled(t.value(), enabled);
  return {};
}

bool engine_is_type_enabled(const TurkishPiiEngine& e, std::string_view name) {
  std::optional<PiiType> t = pii_type_from_name(name);
  return t && e.is_type_enabled(*t);
}

Ref engine_detect(const TurkishPiiEngine& e, std::string_view text) {
  return entity_list(text, e.detect(text), true);
}

MaskMode mode_or_raise(std::string_view mode) {
  std::optional<MaskMode> m = mask_mode_from_name(mode);
  if (!m) throw_py(PyExc_ValueError, "Invalid mode: " + std::string(mode));
  return *m;
}

Ref mask_dict(const MaskResult& r) {
  Ref d = check(PyDict_New());
  set_item(d.get(), "original_text", check(str_from(r.original_text)));
  set_item(d.get(), "masked_text", check(str_from(r.masked_text)));
  set_item(d.get(), "mapping", mapping_dict(r.mapping));
  set_item(d.get(), "detailed_mapping", detailed_dict(r.vault));
  set_item(d.get(), "entities", entity_list(r.original_text, r.entities, false));
  set_item(d.get(), "vault", new_vault_object(r.vault));
  return d;
}

Ref engine_mask(const TurkishPiiEngine& e, std::string_view text, std::string_view mode,
                std::optional<Exclusive<PiiVault>> vault) {
  MaskMode m = mode_or_raise(mode);
  if (vault) return mask_dict(e.mask_with_vault(text, m, vault->value));
  return mask_dict(e.mask(text, m));
}

Ref engine_mask_with_vault(const TurkishPiiEngine& e, std::string_view text, Exclusive<PiiVault> vault,
                           std::string_view mode) {
  MaskMode m = mode_or_raise(mode);
  return mask_dict(e.mask_with_vault(text, m, vault.value));
}

std::string engine_restore(const TurkishPiiEngine&, std::string_view text, PyObject* mapping_or_vault) {
  PyObject* o = mapping_or_vault;
  if (PyObject_TypeCheck(o, ClassInfo<PiiVault>::type)) {
    Instance* inst = instance_of(o, ClassInfo<PiiVault>::type, ClassInfo<PiiVault>::name);
    Borrow borrow(inst, false);
    return static_cast<const PiiVault*>(inst->value)->restore(text);
  }
  if (PyDict_Check(o)) return PiiVault::restore_with_mapping(text, mapping_from_dict(o));
  if (PyUnicode_Check(o)) {
    std::string_view json = text_from(o);
    Result<PiiVault> v = PiiVault::from_json(json);
    if (v.ok()) return v.value().restore(text);
    if (std::optional<PlaceholderMapping> m = mapping_from_json(json)) {
      return PiiVault::restore_with_mapping(text, *m);
    }
    throw_py(PyExc_ValueError, "Invalid JSON format for mapping or vault");
  }
  throw_py(PyExc_TypeError, "Expected PiiVault, dict mapping, or JSON string for restoration");
}

std::string engine_restore_response(const TurkishPiiEngine& e, std::string_view text, Shared<PiiVault> vault) {
  return e.restore_response(text, vault.value);
}

}  // namespace

void register_pii(Registry& r) {
  r.function<&validate_tckn>("validate_tckn(s)");
  r.function<&validate_vkn>("validate_vkn(s)");
  r.function<&validate_iban>("validate_iban(s)");
  r.function<&validate_credit_card_py>("validate_credit_card(s)");
  r.function<&validate_plate>("validate_plate(s)");
  r.function<&validate_vin>("validate_vin(s)");
  r.function<&validate_imei>("validate_imei(s)");
  r.function<&validate_ssn>("validate_ssn(s)");
  r.function<&harmonize_suffix_py>("harmonize_suffix(stem, case)");

  r.cls("PiiVault")
      .wraps<PiiVault>()
      .constructor<&make_vault>("PiiVault()")
      .method<&vault_restore>("restore($self, llm_response)")
      .method<&vault_to_json>("to_json($self)")
      .static_method<&vault_from_json>("from_json(json_str)")
      .method<&vault_to_dict>("to_dict($self)")
      .method<&vault_get_mapping>("get_mapping($self)")
      .static_method<&vault_restore_with_mapping>("restore_with_mapping(llm_response, mapping)")
      .len<&vault_len>();

  r.cls("TurkishPiiEngine")
      .wraps<TurkishPiiEngine>()
      .constructor<&make_engine>(
          "TurkishPiiEngine(use_embeddings=False, preserve_corporate_emails=True, disabled_types=None)")
      .method<&engine_disable_type>("disable_type($self, pii_type)")
      .method<&engine_enable_type>("enable_type($self, pii_type)")
      .method<&engine_set_type_enabled>("set_type_enabled($self, pii_type, enabled)")
      .method<&engine_is_type_enabled>("is_type_enabled($self, pii_type)")
      .method<&engine_detect>("detect($self, text)")
      .method<&engine_mask>("mask($self, text, mode=\"placeholder\", vault=None)")
      .method<&engine_mask_with_vault>(
          "mask_with_vault($self, text, vault, mode=\"placeholder\")",
          "Intercepts outbound prompt and masks text using an existing PiiVault session instance.")
      .method<&engine_restore>(
          "restore($self, llm_response, mapping_or_vault)",
          "Flexible restore function: restores LLM response using either a PiiVault instance,\n"
          "a plain dictionary mapping (e.g. `{\"{{AD_1}}\": \"Ahmet\"}`), a detailed mapping, or a JSON string.")
      .method<&engine_restore_response>("restore_response($self, llm_response, vault)");
}

}  // namespace selvo::py
