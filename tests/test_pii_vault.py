"""The vault: JSON form, round trips over realistic prompts, and text that
must come back unchanged."""

import json
from pathlib import Path

import pytest
from hypothesis import given, settings
from hypothesis import strategies as st

from selvo import _core

PROMPTS = [json.loads(line) for line in (Path(__file__).parent / "data" / "pii_prompts.jsonl").open(encoding="utf-8")]

# Detector families of the fixture; every one of them runs in the pipeline.
BUILT_DETECTORS = {"pattern", "address", "terms", "checksum", "secrets", "spelled", "names"}


def test_fixture_is_realistic_and_varied():
    assert len(PROMPTS) >= 50
    assert {p["kind"] for p in PROMPTS} >= {"customer", "hr", "medical", "bank"}
    for p in PROMPTS:
        assert len({e["pii_type"] for e in p["entities"]}) >= 3, p["text"]


@pytest.mark.parametrize("prompt", PROMPTS, ids=lambda p: p["text"][:40])
def test_fixture_prompt_masks_and_restores(prompt):
    engine = _core.TurkishPiiEngine()
    vault = _core.PiiVault()
    result = engine.mask_with_vault(prompt["text"], vault)
    # The bare-card rule keeps the blank after a grouped number that a word
    # follows; the number itself is what the fixture lists.
    found = {(e["pii_type"], e["text"].rstrip(" ")) for e in result["entities"]}
    for expected in prompt["entities"]:
        if expected["detector"] in BUILT_DETECTORS:
            assert (expected["pii_type"], expected["value"]) in found, expected
            assert expected["value"] not in result["masked_text"], expected
    for original in result["mapping"].values():
        assert original not in result["masked_text"]
    assert vault.restore(result["masked_text"]) == prompt["text"]

    # A model answer that puts Turkish case endings after every placeholder,
    # with both apostrophes models write.
    entries = vault.to_dict()
    endings = [("'e", "dat"), ("'den", "abl"), ("’ın", "gen"), ("'da", "loc"), ("’yi", "acc")]
    parts, expected_parts = [], []
    for k, (placeholder, entry) in enumerate(entries.items()):
        ending, case = endings[k % len(endings)]
        parts.append(f"{placeholder}{ending} bakıyorum")
        expected_parts.append(f"{_core.harmonize_suffix(entry['original_stem'], case)} bakıyorum")
    answer = "Tamam. " + ", ".join(parts) + "."
    assert vault.restore(answer) == "Tamam. " + ", ".join(expected_parts) + "."


def test_one_vault_for_a_whole_conversation():
    engine = _core.TurkishPiiEngine()
    vault = _core.PiiVault()
    masked = [engine.mask_with_vault(p["text"], vault)["masked_text"] for p in PROMPTS]
    saved = _core.PiiVault.from_json(vault.to_json())
    assert saved.to_json() == vault.to_json()
    assert len(saved) == len(vault)
    for p, m in zip(PROMPTS, masked):
        assert saved.restore(m) == p["text"]


def test_vault_json_shape():
    engine = _core.TurkishPiiEngine()
    vault = _core.PiiVault()
    engine.mask_with_vault('Tel 0532 123 45 67, "tırnak" ve ali@ornek.com', vault)
    text = vault.to_json()
    assert " " not in text.replace("0532 123 45 67", "")
    doc = json.loads(text)
    assert list(doc) == ["placeholder_to_entry", "original_to_placeholder", "label_counters"]
    entry = doc["placeholder_to_entry"]["{{TEL_1}}"]
    assert entry == {
        "placeholder": "{{TEL_1}}",
        "original_text": "0532 123 45 67",
        "pii_label": "TEL",
        "original_stem": "0532 123 45 67",
        "original_suffix": None,
    }
    assert doc["label_counters"] == {"TEL": 1, "EMAIL": 1}
    assert vault.to_dict()["{{TEL_1}}"] == entry
    assert vault.get_mapping() == {"{{TEL_1}}": "0532 123 45 67", "{{EMAIL_1}}": "ali@ornek.com"}


GOOD = {
    "placeholder_to_entry": {
        "{{AD_1}}": {"placeholder": "{{AD_1}}", "original_text": "Ahmet", "pii_label": "AD", "original_stem": "Ahmet"}
    },
    "original_to_placeholder": {"Ahmet": "{{AD_1}}"},
    "label_counters": {"AD": 1},
}


def test_from_json_accepts_absent_suffix_and_unknown_keys():
    doc = dict(GOOD, extra=[1, 2])
    vault = _core.PiiVault.from_json(json.dumps(doc))
    assert len(vault) == 1
    assert vault.restore("{{AD_1}}'a") == "Ahmet'e"
    assert vault.to_dict()["{{AD_1}}"]["original_suffix"] is None


def broken(path, value):
    doc = json.loads(json.dumps(GOOD))
    target = doc
    for key in path[:-1]:
        target = target[key]
    if value is KeyError:
        del target[path[-1]]
    else:
        target[path[-1]] = value
    return json.dumps(doc)


@pytest.mark.parametrize(
    "text",
    [
        "",
        "{",
        "[]",
        "null",
        '{"placeholder_to_entry": {}}',
        broken(["label_counters"], KeyError),
        broken(["original_to_placeholder"], []),
        broken(["placeholder_to_entry", "{{AD_1}}", "original_stem"], KeyError),
        broken(["placeholder_to_entry", "{{AD_1}}", "original_text"], 5),
        broken(["placeholder_to_entry", "{{AD_1}}", "original_suffix"], 5),
        broken(["label_counters", "AD"], -1),
        broken(["label_counters", "AD"], 1.5),
        broken(["label_counters", "AD"], "1"),
        broken(["original_to_placeholder", "Ahmet"], None),
    ],
)
def test_from_json_errors(text):
    with pytest.raises(ValueError, match="^Invalid vault JSON: "):
        _core.PiiVault.from_json(text)


def test_from_json_refuses_non_str():
    with pytest.raises(TypeError, match="argument 'json_str'"):
        _core.PiiVault.from_json(b"{}")


def test_empty_vault():
    vault = _core.PiiVault()
    assert len(vault) == 0
    assert vault.restore("{{AD_1}} aynen") == "{{AD_1}} aynen"
    assert json.loads(vault.to_json()) == {"placeholder_to_entry": {}, "original_to_placeholder": {}, "label_counters": {}}


# Text without apostrophes: masking then restoring gives it back exactly.
# (After an apostrophe the ending is re-formed for the restored value.)
PIECES = st.one_of(
    st.text(st.characters(blacklist_categories=("Cs",), blacklist_characters="'\u2019\u00b4"), max_size=8),
    st.sampled_from(
        ["{{AD_1}}", "{{TEL_1}}", "{{EMAIL_2}}", "0532 123 45 67", "a@b.com", "diyabet", "İIıi", " ", "\n", "PIN 1234"]
    ),
)
TEXT = st.lists(PIECES, max_size=25).map("".join)


@settings(max_examples=300, deadline=None)
@given(TEXT)
def test_mask_restore_round_trip_random_text(text):
    engine = _core.TurkishPiiEngine(preserve_corporate_emails=False)
    vault = _core.PiiVault()
    masked = engine.mask_with_vault(text, vault)["masked_text"]
    assert vault.restore(masked) == text


@settings(max_examples=100, deadline=None)
@given(st.lists(TEXT, min_size=2, max_size=4))
def test_round_trip_across_a_conversation(texts):
    engine = _core.TurkishPiiEngine()
    vault = _core.PiiVault()
    masked = [engine.mask_with_vault(t, vault)["masked_text"] for t in texts]
    for t, m in zip(texts, masked):
        assert vault.restore(m) == t


def test_large_vault_round_trip():
    engine = _core.TurkishPiiEngine()
    vault = _core.PiiVault()
    text = " ".join(f"k{i}@ornek.com" for i in range(20000))
    masked = engine.mask_with_vault(text, vault)["masked_text"]
    assert len(vault) == 20000 and "@" not in masked
    assert vault.restore(masked) == text
    assert vault.restore("{{EMAIL_20000}}'e {{EMAIL_2}}") == "k19999@ornek.com'a k1@ornek.com"
