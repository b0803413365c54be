"""Personal-data protection through the Python surface: categories and engine
settings, validators, detection offsets, masking modes and restoring."""

import json
import subprocess
import sys

import pytest

from selvo import _core


# --------------------------------------------------------------------------
# Validators and suffixes


@pytest.mark.parametrize(
    "fn,arg,expected",
    [
        ("validate_tckn", "10000000146", True),
        ("validate_tckn", "100 000 001 46", True),
        ("validate_tckn", "11111111110", False),
        ("validate_vkn", "1234567890", True),
        ("validate_vkn", "1234567891", False),
        ("validate_iban", "tr33 0006 1005 1978 6457 8413 26", True),
        ("validate_iban", "TR33000610051978645784132", False),
        ("validate_credit_card", "4111 1111 1111 1111", "Visa"),
        ("validate_credit_card", "2721000000000004", "Unknown"),
        ("validate_credit_card", "400000000002", None),
        ("validate_plate", "35 ÇŞ 456", True),
        ("validate_plate", "82 ABC 123", False),
        ("validate_vin", "1M8GDM9AXKP042788", True),
        ("validate_imei", "356938030000005", True),
        ("validate_ssn", "123-45-6789", True),
        ("validate_ssn", "123456789", False),
    ],
)
def test_validators(fn, arg, expected):
    assert getattr(_core, fn)(arg) == expected


@pytest.mark.parametrize("fn", ["validate_tckn", "validate_credit_card", "validate_ssn"])
def test_validators_refuse_non_str(fn):
    with pytest.raises(TypeError, match="argument 's'"):
        getattr(_core, fn)(10000000146)


@pytest.mark.parametrize(
    "stem,case,expected",
    [
        ("Ahmet", "dat", "Ahmet'e"),
        ("Ankara", "GEN", "Ankara'nın"),
        ("Sinop", "ablative", "Sinop'tan"),
        ("İzmir", "bulunma", "İzmir'de"),
        ("ANKARA", "Yonelme", "ANKARA'ya"),
        ("THY", "loc", "THY'de"),
        ("", "dative", "'ye"),
        ("Göksu", "ins", "Göksu'yla"),
    ],
)
def test_harmonize_suffix(stem, case, expected):
    assert _core.harmonize_suffix(stem, case) == expected


def test_harmonize_suffix_unknown_case():
    with pytest.raises(ValueError, match="^Unknown case: Yönelme$"):
        _core.harmonize_suffix("Ahmet", "Yönelme")


# --------------------------------------------------------------------------
# Engine settings


@pytest.mark.parametrize("name", ["ad", " NAME ", "Ad", "name\t"])
def test_type_names_answer_for_the_same_category(name):
    engine = _core.TurkishPiiEngine()
    assert engine.is_type_enabled(name)
    engine.disable_type("AD")
    assert not engine.is_type_enabled(name)


def test_enable_disable_and_errors():
    engine = _core.TurkishPiiEngine(disabled_types=["TEL", "nonsense"])
    assert not engine.is_type_enabled("phone")
    assert engine.is_type_enabled("EMAIL")
    engine.set_type_enabled("TEL", True)
    assert engine.is_type_enabled("TEL")
    engine.set_type_enabled("tel", False)
    engine.disable_type("tel")  # twice is fine
    assert not engine.is_type_enabled("PHONE")
    engine.enable_type("tel")
    engine.enable_type("VIN")  # never disabled: fine
    assert engine.is_type_enabled("TEL")
    engine.disable_type("kisi")
    with pytest.raises(ValueError, match="^Unknown PiiType: kişi$"):
        engine.disable_type("kişi")
    with pytest.raises(ValueError, match="^Unknown PiiType:  nope $"):
        engine.set_type_enabled(" nope ", True)
    assert engine.is_type_enabled("nope") is False


@pytest.mark.parametrize(
    "kwargs,exc",
    [
        ({"disabled_types": "TEL"}, TypeError),
        ({"disabled_types": ["TEL", 3]}, TypeError),
        ({"disabled_types": 5}, TypeError),
        ({"preserve_corporate_emails": 1}, TypeError),
        ({"use_embeddings": 1}, TypeError),
    ],
)
def test_constructor_errors(kwargs, exc):
    with pytest.raises(exc):
        _core.TurkishPiiEngine(**kwargs)


def test_disabled_types_accepts_a_tuple():
    assert not _core.TurkishPiiEngine(disabled_types=("EMAIL",)).is_type_enabled("EMAIL")


def test_signatures_and_docstrings():
    assert _core.TurkishPiiEngine.__text_signature__ == (
        "(use_embeddings=False, preserve_corporate_emails=True, disabled_types=None)"
    )
    assert _core.PiiVault.__text_signature__ == "()"
    assert _core.TurkishPiiEngine.mask.__text_signature__ == '($self, text, mode="placeholder", vault=None)'
    assert _core.TurkishPiiEngine.mask_with_vault.__doc__.endswith(
        "Intercepts outbound prompt and masks text using an existing PiiVault session instance."
    )
    assert _core.TurkishPiiEngine.restore.__doc__.endswith(
        "Flexible restore function: restores LLM response using either a PiiVault instance,\n"
        'a plain dictionary mapping (e.g. `{"{{AD_1}}": "Ahmet"}`), a detailed mapping, or a JSON string.'
    )
    names = list(vars(_core))
    assert names.index("validate_tckn") < names.index("harmonize_suffix") < names.index("PiiVault")
    assert names.index("PiiVault") + 1 == names.index("TurkishPiiEngine")


# --------------------------------------------------------------------------
# Detection


def test_detect_reports_character_offsets():
    text = "Çiçek 0532 123 45 67 ve İİİ ali@ornek.com"
    found = _core.TurkishPiiEngine().detect(text)
    assert [list(e) for e in found] == [["text", "label", "pii_type", "start", "end", "confidence", "stem", "suffix"]] * 2
    for e in found:
        assert text[e["start"] : e["end"]] == e["text"]
        assert e["stem"] == e["text"] and e["suffix"] is None
    assert found[0]["start"] == 6 and found[0]["pii_type"] == "TEL"
    assert found[1]["pii_type"] == "EMAIL" and found[1]["confidence"] == 1.0


@pytest.mark.parametrize(
    "text,expected",
    [
        ("", []),
        ("destek@firma.com ile yazışın", []),
        ("Bana ayse.kaya@ornek.com yaz", [("EMAIL", "ayse.kaya@ornek.com")]),
        ("x@ayarlar.json ve y@readme.md", []),
        ("ali [at] ornek [dot] com", [("EMAIL", "ali [at] ornek [dot] com")]),
        ("Hepatit B tanısı", [("SAGLIK", "Hepatit B")]),
        ("kan grubum A Rh+", [("KAN_GRUBU", "A Rh+")]),
        ("PIN: 4831 ve ŞIFRE: Gizli99x", [("SIFRE", "4831"), ("SIFRE", "Gizli99x")]),
        ("iki adres: a.b@ornek.com, a.b@ornek.com", [("EMAIL", "a.b@ornek.com"), ("EMAIL", "a.b@ornek.com")]),
    ],
)
def test_detect_cases(text, expected):
    found = _core.TurkishPiiEngine().detect(text)
    assert [(e["pii_type"], e["text"]) for e in found] == expected


def test_corporate_emails_reported_when_asked():
    found = _core.TurkishPiiEngine(preserve_corporate_emails=False).detect("destek@firma.com")
    assert [(e["text"], e["confidence"]) for e in found] == [("destek@firma.com", 1.0)]


def test_disabled_types_are_dropped():
    text = "Tel 0532 123 45 67, e-posta ali@ornek.com, diyabet"
    engine = _core.TurkishPiiEngine(disabled_types=["TEL", "saglik"])
    assert [e["pii_type"] for e in engine.detect(text)] == ["EMAIL"]
    masked = engine.mask(text)["masked_text"]
    assert "0532 123 45 67" in masked and "diyabet" in masked and "ali@ornek.com" not in masked


@pytest.mark.parametrize(
    "text",
    [
        "1" * 200_000,
        "a@" * 50_000,
        "x" * 300_000,
        "İ" * 100_000 + "PIN 1234",
        "\u0000\ud7ff\U0010ffff\u200d\u0301" * 1000,
        "0532 123 45 67 " * 5000,
        "Ab Mahallesi " * 20000,  # a street-name run must not be re-scanned from every match
        "https://" * 30000,
    ],
)
def test_hostile_input_terminates_and_round_trips(text):
    engine = _core.TurkishPiiEngine()
    result = engine.mask(text)
    assert result["vault"].restore(result["masked_text"]) == text


def test_lone_surrogates_are_refused():
    with pytest.raises(UnicodeEncodeError):
        _core.TurkishPiiEngine().detect("a\ud800b")


# --------------------------------------------------------------------------
# Masking and restoring


def test_mask_dict_shape_and_vault_copy():
    engine = _core.TurkishPiiEngine()
    vault = _core.PiiVault()
    r = engine.mask("Ara: 0532 123 45 67, ali@ornek.com", vault=vault)
    assert list(r) == ["original_text", "masked_text", "mapping", "detailed_mapping", "entities", "vault"]
    assert r["masked_text"] == "Ara: {{TEL_1}}, {{EMAIL_1}}"
    assert r["mapping"] == {"{{TEL_1}}": "0532 123 45 67", "{{EMAIL_1}}": "ali@ornek.com"}
    assert list(r["detailed_mapping"]["{{TEL_1}}"]) == [
        "placeholder", "original_text", "pii_label", "original_stem", "original_suffix"]
    assert list(r["entities"][0]) == ["text", "label", "pii_type", "start", "end", "confidence"]
    assert r["vault"] is not vault and len(r["vault"]) == len(vault) == 2
    engine.mask("ve veli@ornek.com", vault=vault)
    assert len(vault) == 3 and len(r["vault"]) == 2


def test_placeholders_are_reused_across_prompts():
    engine = _core.TurkishPiiEngine()
    vault = _core.PiiVault()
    a = engine.mask_with_vault("ali@ornek.com ali@ornek.com veli@ornek.com", vault)
    assert a["masked_text"] == "{{EMAIL_1}} {{EMAIL_1}} {{EMAIL_2}}"
    b = engine.mask_with_vault("tekrar veli@ornek.com ve yeni@ornek.com", vault)
    assert b["masked_text"] == "tekrar {{EMAIL_2}} ve {{EMAIL_3}}"
    # Counters survive the JSON form.
    again = _core.PiiVault.from_json(vault.to_json())
    c = engine.mask_with_vault("bir de son@ornek.com", again)
    assert c["masked_text"] == "bir de {{EMAIL_4}}"


@pytest.mark.parametrize(
    "mode,masked",
    [
        ("placeholder", "{{EMAIL_1}} {{EMAIL_2}}"),
        ("PLACEHOLDER", "{{EMAIL_1}} {{EMAIL_2}}"),
        ("tag", "[EMAIL] [EMAIL]"),
        ("anonymize", "[EMAIL] [EMAIL]"),
        ("surrogate", "[EMAIL_1] [EMAIL_2]"),
        ("SyntheticSurrogate", "[EMAIL_1] [EMAIL_2]"),
    ],
)
def test_mask_modes(mode, masked):
    r = _core.TurkishPiiEngine().mask("a.b@ornek.com c.d@ornek.com", mode)
    assert r["masked_text"] == masked


def test_surrogate_values_look_real_and_tag_restores_last():
    engine = _core.TurkishPiiEngine()
    r = engine.mask("0532 111 22 33 ve 0533 444 55 66", "surrogate")
    first, second = r["masked_text"].split(" ve ")
    assert first != second
    for value in (first, second):
        assert len(value) == 14 and value.startswith("05") and value[4] == value[8] == value[11] == " "
    tag = engine.mask("a.b@ornek.com ve c.d@ornek.com", "tag")
    assert tag["vault"].restore("[EMAIL]") == "c.d@ornek.com"


@pytest.mark.parametrize("mode", ["synthetic_surrogate", "", "mask"])
def test_invalid_mode(mode):
    engine = _core.TurkishPiiEngine()
    with pytest.raises(ValueError, match=f"^Invalid mode: {mode}$"):
        engine.mask("x", mode)
    with pytest.raises(ValueError, match="^Invalid mode: "):
        engine.mask_with_vault("x", _core.PiiVault(), mode)


def test_vault_argument_must_be_a_vault():
    engine = _core.TurkishPiiEngine()
    with pytest.raises(TypeError, match="argument 'vault'"):
        engine.mask("x", vault={})
    with pytest.raises(TypeError, match="argument 'vault'"):
        engine.restore_response("x", "{}")


def vault_with(text):
    engine = _core.TurkishPiiEngine()
    vault = _core.PiiVault()
    masked = engine.mask_with_vault(text, vault)["masked_text"]
    return engine, vault, masked


def test_restore_accepts_vault_dicts_and_json():
    engine, vault, masked = vault_with("Yaz: ali@ornek.com")
    assert masked == "Yaz: {{EMAIL_1}}"
    expected = "Yaz: ali@ornek.com"
    assert engine.restore(masked, vault) == expected
    assert engine.restore_response(masked, vault) == expected
    assert engine.restore(masked, vault.get_mapping()) == expected
    assert engine.restore(masked, vault.to_dict()) == expected
    assert engine.restore(masked, vault.to_json()) == expected
    assert engine.restore(masked, json.dumps(vault.get_mapping())) == expected
    assert engine.restore(masked, {"{{EMAIL_1}}": {"pii_label": "x"}, "{{X}}": 5}) == masked
    assert _core.PiiVault.restore_with_mapping("{{AD_1}}'e", {"{{AD_1}}": "Ahmet"}) == "Ahmet'e"


@pytest.mark.parametrize(
    "arg,exc,message",
    [
        ("not json", ValueError, "^Invalid JSON format for mapping or vault$"),
        ('{"a": 1}', ValueError, "^Invalid JSON format for mapping or vault$"),
        ("[1]", ValueError, "^Invalid JSON format for mapping or vault$"),
        (5, TypeError, "^Expected PiiVault, dict mapping, or JSON string for restoration$"),
        (None, TypeError, "^Expected PiiVault, dict mapping, or JSON string for restoration$"),
        ({1: "x"}, TypeError, "str"),
        ({"{{A}}": {"original_text": 3}}, TypeError, "str"),
    ],
)
def test_restore_errors(arg, exc, message):
    with pytest.raises(exc, match=message):
        _core.TurkishPiiEngine().restore("x", arg)


def test_restore_with_mapping_needs_a_dict():
    with pytest.raises(TypeError, match="argument 'mapping'"):
        _core.PiiVault.restore_with_mapping("x", [("a", "b")])


@pytest.mark.parametrize(
    "answer,expected",
    [
        ("{{AD_1}}'e sor", "Ahmet'e sor"),
        ("{{AD_1}}'a sor", "Ahmet'e sor"),
        ("{{AD_1}}’den", "Ahmet'ten"),
        ("{{AD_1}}´ın", "Ahmet'in"),
        ("{{AD_1}}'cığım", "Ahmet'cığım"),
        ("{{AD_2}}'ye ve {{AD_1}}'ye", "Ankara'ya ve Ahmet'e"),
        ("{{AD_10}} {{AD_1}}", "Kerem {{AD_1}}"),
        ("{{AD_1 }} {{ad_1}}", "{{AD_1 }} {{ad_1}}"),
    ],
)
def test_restore_apostrophe_forms(answer, expected):
    mapping = {"{{AD_1}}": "Ahmet", "{{AD_2}}": "Ankara", "{{AD_10}}": "Kerem"}
    if "{{AD_10}} {{AD_1}}" in answer:
        mapping.pop("{{AD_1}}")
    assert _core.PiiVault.restore_with_mapping(answer, mapping) == expected


def test_placeholder_like_text_in_a_prompt_survives():
    engine = _core.TurkishPiiEngine()
    vault = _core.PiiVault()
    first = "Şablon: {{EMAIL_1}} yerine adresimi yaz: ali@ornek.com"
    r1 = engine.mask_with_vault(first, vault)
    assert r1["masked_text"] == "Şablon: {{EMAIL_1}} yerine adresimi yaz: {{EMAIL_2}}"
    assert vault.restore(r1["masked_text"]) == first
    second = "Az önce {{EMAIL_2}} yazdım, {{EMAIL_2}}'yi sil."
    r2 = engine.mask_with_vault(second, vault)
    assert "{{EMAIL_2}}" not in r2["masked_text"]
    assert vault.restore(r2["masked_text"]) == second


# --------------------------------------------------------------------------
# Command-line tool


def run(*args, stdin=None):
    return subprocess.run(
        [sys.executable, "-m", "selvo", *args], input=stdin, capture_output=True, text=True, timeout=60
    )


def test_cli_mask_then_restore(tmp_path):
    vault = tmp_path / "kasa.json"
    prompt = "Bana 0532 123 45 67 numarasından ya da ali@ornek.com adresinden ulaşın."
    masked = run("mask", "--vault", str(vault), stdin=prompt + "\n")
    assert masked.returncode == 0, masked.stderr
    assert masked.stdout.strip() == "Bana {{TEL_1}} numarasından ya da {{EMAIL_1}} adresinden ulaşın."
    assert len(_core.PiiVault.from_json(vault.read_text(encoding="utf-8"))) == 2
    answer = "{{TEL_1}}'i aradım, {{EMAIL_1}}'e de yazdım."
    restored = run("restore", "--vault", str(vault), answer)
    assert restored.returncode == 0, restored.stderr
    assert restored.stdout.strip() == "0532 123 45 67'i aradım, ali@ornek.com'a de yazdım."
    detected = run("detect", prompt)
    assert [e["pii_type"] for e in json.loads(detected.stdout)] == ["TEL", "EMAIL"]


def test_cli_mask_continues_a_saved_vault(tmp_path):
    vault = tmp_path / "kasa.json"
    assert run("mask", "--vault", str(vault), "ali@ornek.com").stdout.strip() == "{{EMAIL_1}}"
    second = run("mask", "--vault", str(vault), "--append", "veli@ornek.com ve ali@ornek.com")
    assert second.stdout.strip() == "{{EMAIL_2}} ve {{EMAIL_1}}"
    assert run("restore", "--vault", str(vault), "{{EMAIL_1}} {{EMAIL_2}}").stdout.strip() == (
        "ali@ornek.com veli@ornek.com"
    )
    bad = run("mask", "--mode", "gizle", "x")
    assert bad.returncode == 1 and "Invalid mode: gizle" in bad.stderr


def test_cli_restore_with_a_broken_vault(tmp_path):
    vault = tmp_path / "kasa.json"
    vault.write_text("{bozuk", encoding="utf-8")
    r = run("restore", "--vault", str(vault), "x")
    assert r.returncode == 1 and "Invalid vault JSON" in r.stderr


@pytest.mark.parametrize(
    "text,expected",
    [
        ("Çığ düştü, İŞ", "Cig dustu, IS"),
        ("ÂŞIK kâr îmân Ûmit", "ASIK kar iman Umit"),
        ("ğĞıIiİöÖşŞüÜçÇ", "gGiIiIoOsSuUcC"),
        ("Ǆemal ß 𐐀 x", "Ǆemal ß 𐐀 x"),
        ("", ""),
    ],
)
def test_asciify(text, expected):
    out = _core.asciify(text)
    assert out == expected and len(out) == len(text)
