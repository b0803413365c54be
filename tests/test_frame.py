"""The binding frame: registration, signatures, argument conversion, errors,
classes, borrows, shared engines and module initialisation."""

import errno
import math
import subprocess
import sys
import textwrap

import pytest

# Every public name of selvo._core in registration order.
MODULE_ORDER = """
to_turkish_lower to_turkish_upper to_turkish_title check_major_vowel_harmony check_minor_vowel_harmony
asciify deasciify normalize_informal tokenize_words analyze_document_json analyze_readability_json
syllabify hyphenate count_syllables number_to_words ordinal_to_words currency_to_words words_to_number
stem is_stopword remove_stopwords extract_entities_json extract_keywords_json summarize audit_ai_style_json
generate_humanizer_prompt check_grammar_json correct_grammar embed embed_packed_2bit embed_packed_1bit
embed_batch_packed_2bit embed_batch_packed_1bit sparse_embed hybrid_embed embed_hybrid embed_batch_hybrid
get_usearch_metric_pointer_2bit get_usearch_metric_pointer_1bit get_usearch_metric_pointer_hybrid
set_hybrid_metric_alpha get_hybrid_metric_alpha reciprocal_rank_fusion
EMBEDDING_SCALE_2BIT HYBRID_VECTOR_BYTES PACKED_2BIT_BYTES PACKED_1BIT_BYTES
tokenize_embedding_text embed_batch similarity similarity_vectors chunk_semantic chunk_sentences chunk_sdpm
validate_tckn validate_vkn validate_iban validate_credit_card validate_plate validate_vin validate_imei
validate_ssn harmonize_suffix
SpellChecker Morphology SyntacticMorphology CompoundDecomposer Disambiguator DependencyParser GrammarChecker
Embeddings Chunk SemanticChunker SentenceChunker SDPMChunker PiiVault TurkishPiiEngine
""".split()

SIGNATURES = {
    "to_turkish_lower": "(text)",
    "to_turkish_upper": "(text)",
    "to_turkish_title": "(text)",
    "check_major_vowel_harmony": "(word)",
    "check_minor_vowel_harmony": "(word)",
    "syllabify": "(word)",
    "hyphenate": "(word, delimiter=None)",
    "count_syllables": "(word)",
    "number_to_words": "(n)",
    "ordinal_to_words": "(n)",
    "currency_to_words": "(amount, currency=None)",
    "words_to_number": "(text)",
}


def public_names(module):
    return [name for name in vars(module) if not name.startswith("_")]


class TestRegistration:
    def test_public_names_follow_the_module_order(self, core):
        names = public_names(core)
        assert names, "nothing registered"
        assert set(names) <= set(MODULE_ORDER), set(names) - set(MODULE_ORDER)
        assert names == sorted(names, key=MODULE_ORDER.index)

    def test_what_exists_now(self, core):
        for name in SIGNATURES:
            assert hasattr(core, name)

    def test_constants(self, core):
        assert core.EMBEDDING_SCALE_2BIT == 0.0625 and type(core.EMBEDDING_SCALE_2BIT) is float
        assert core.HYBRID_VECTOR_BYTES == 128 and type(core.HYBRID_VECTOR_BYTES) is int
        assert core.PACKED_2BIT_BYTES == 64
        assert core.PACKED_1BIT_BYTES == 32

    @pytest.mark.parametrize("name,signature", sorted(SIGNATURES.items()))
    def test_text_signatures(self, core, name, signature):
        fn = getattr(core, name)
        assert fn.__name__ == name
        assert fn.__text_signature__ == signature
        assert fn.__doc__ is None  # the docstring is the signature alone
        assert fn.__module__ == "selvo._core"

    def test_module_doc_and_name(self, core):
        assert core.__name__ == "selvo._core"
        assert core.__doc__ == ""

    def test_built_on_the_stable_abi(self, core):
        assert core.__file__.endswith(".abi3.so")

    def test_package_reexports(self, core):
        import selvo

        for name in public_names(core):
            assert getattr(selvo, name) is getattr(core, name)
        assert selvo.InternalFault is core._InternalFault


class TestSignaturesOfTestBindings:
    def test_docstring_body(self, tf):
        assert tf.documented.__text_signature__ == "(text)"
        assert tf.documented.__doc__ == "First line of the body.\nSecond line."

    def test_methods_static_methods_and_constructors(self, tf):
        assert tf.Counter.__text_signature__ == "(start=0)"
        assert tf.Counter.get.__text_signature__ == "($self)"
        assert tf.Counter.add.__text_signature__ == "($self, n)"
        assert tf.Counter.make.__text_signature__ == "(n)"
        assert tf.Sealed.__text_signature__ is None

    def test_defaults_of_every_literal_kind(self, tf):
        assert tf.with_defaults("t") == "t|placeholder|False|3|None"
        assert tf.with_defaults("t", "m", True, 7, 1.5) == "t|m|True|7|1.500000"
        assert tf.with_defaults(x=2, text="t") == "t|placeholder|False|3|2.000000"
        assert tf.with_defaults.__text_signature__ == '(text, mode="placeholder", flag=False, n=3, x=None)'


class TestArgumentBinding:
    @pytest.mark.parametrize(
        "call,message",
        [
            (lambda c: c.hyphenate(), "hyphenate() missing 1 required positional argument: 'word'"),
            (lambda c: c.hyphenate("a", "-", "x"), "hyphenate() takes from 1 to 2 positional arguments but 3 were given"),
            (lambda c: c.to_turkish_lower("a", "b"), "to_turkish_lower() takes 1 positional argument but 2 were given"),
            (lambda c: c.hyphenate("a", word="b"), "hyphenate() got multiple values for argument 'word'"),
            (lambda c: c.hyphenate("a", delimeter="b"), "hyphenate() got an unexpected keyword argument 'delimeter'"),
            (lambda c: c.hyphenate(delimiter="."), "hyphenate() missing 1 required positional argument: 'word'"),
        ],
    )
    def test_cpython_style_errors(self, core, call, message):
        with pytest.raises(TypeError) as info:
            call(core)
        assert str(info.value) == message

    def test_keywords(self, core):
        assert core.hyphenate(word="merhaba", delimiter="·") == "mer·ha·ba"
        assert core.hyphenate(delimiter=None, word="merhaba") == "mer-ha-ba"
        assert core.currency_to_words(amount=3, currency="usd") == "üç dolar"

    def test_missing_several(self, tf):
        with pytest.raises(TypeError, match=r"missing 2 required positional arguments: 'counter' and 'n'"):
            tf.bump_counter()


class TestArgumentConversion:
    @pytest.mark.parametrize(
        "fn,arg,exc",
        [
            ("echo_text", b"x", TypeError),
            ("echo_text", None, TypeError),
            ("echo_text", 1, TypeError),
            ("echo_texts", "abc", TypeError),  # a str is not a list of str
            ("echo_texts", ["a", 1], TypeError),
            ("echo_texts", 5, TypeError),
            ("echo_texts", {"a"}, TypeError),
            ("echo_i64", 1.5, TypeError),
            ("echo_i64", "1", TypeError),
            ("echo_i64", 2**63, OverflowError),
            ("echo_i64", -(2**63) - 1, OverflowError),
            ("echo_u64", -1, OverflowError),
            ("echo_u64", 2**64, OverflowError),
            ("echo_u64", 1.0, TypeError),
            ("echo_f64", "1.0", TypeError),
            ("echo_f64", None, TypeError),
            ("echo_bool", 1, TypeError),
            ("echo_bool", None, TypeError),
            ("echo_bytes", bytearray(b"x"), TypeError),
            ("echo_bytes", "x", TypeError),
            ("echo_floats", [1.0, "x"], TypeError),
            ("echo_floats", 3.0, TypeError),
            ("echo_pairs", [(1, 2.0, 3)], TypeError),
            ("echo_pairs", [(1.5, 2.0)], TypeError),
            ("echo_pairs", [1], TypeError),
            ("echo_optional", 3, TypeError),
        ],
    )
    def test_refusals(self, tf, fn, arg, exc):
        with pytest.raises(exc) as info:
            getattr(tf, fn)(arg)
        assert type(info.value) is exc
        if exc is TypeError:
            (param,) = [p.strip() for p in getattr(tf, fn).__text_signature__.strip("()").split(",")]
            param = param.split("=")[0]
            assert str(info.value).startswith(f"argument '{param}': ")
            assert isinstance(info.value.__cause__, TypeError)
            assert str(info.value) == f"argument '{param}': {info.value.__cause__}"
        else:
            assert info.value.__cause__ is None  # OverflowError passes through unchanged

    def test_type_error_prefix_on_real_function(self, core):
        with pytest.raises(TypeError, match=r"^argument 'text': ") as info:
            core.to_turkish_lower(b"x")
        assert isinstance(info.value.__cause__, TypeError)
        with pytest.raises(TypeError, match=r"^argument 'n': "):
            core.number_to_words(1.0)
        with pytest.raises(OverflowError):
            core.number_to_words(2**63)

    def test_lone_surrogate_raises_unicode_encode_error(self, core, tf):
        for fn in (core.to_turkish_lower, tf.echo_text):
            with pytest.raises(UnicodeEncodeError):
                fn("a\udc80b")
        with pytest.raises(UnicodeEncodeError):
            tf.echo_texts(["ok", "\ud800"])

    @pytest.mark.parametrize(
        "fn,arg,expected",
        [
            ("echo_text", "a\x00b\U0001F600ı", "a\x00b\U0001F600ı"),
            ("echo_texts", ("a", "ğ"), ["a", "ğ"]),
            ("echo_texts", [], []),
            ("echo_i64", -(2**63), -(2**63)),
            ("echo_i64", True, 1),
            ("echo_u64", 2**64 - 1, 2**64 - 1),
            ("echo_f64", 2, 2.0),
            ("echo_f64", math.inf, math.inf),
            ("echo_f32", 0.1, 0.10000000149011612),
            ("echo_bool", False, False),
            ("echo_bytes", b"\x00\xff", b"\x00\xff"),
            ("echo_floats", (1, 2.5), [1.0, 2.5]),
            ("echo_pairs", [(1, 0.5), [2, 1]], [(1, 0.5), (2, 1.0)]),
            ("echo_optional", None, None),
            ("echo_optional", "x", "x"),
            ("nested", 2, [["a", "b"], ["a", "b"]]),
        ],
    )
    def test_accepted(self, tf, fn, arg, expected):
        assert getattr(tf, fn)(arg) == expected

    def test_index_objects_and_float_conversions(self, tf):
        class Index:
            def __index__(self):
                return 7

        class Floaty:
            def __float__(self):
                return 2.5

        assert tf.echo_i64(Index()) == 7
        assert tf.echo_u64(Index()) == 7
        assert tf.echo_f64(Floaty()) == 2.5

    def test_conversion_stops_at_first_failure(self, tf):
        calls = []

        class Loud:
            def __index__(self):
                calls.append("index")
                return 1

        with pytest.raises(TypeError, match="argument 'counter'"):
            tf.bump_counter("not a counter", Loud())
        assert calls == []  # 'counter' failed, so 'n' was never converted

    def test_omitted_and_none_optional_are_the_same(self, core):
        assert core.hyphenate("merhaba", None) == core.hyphenate("merhaba")
        assert core.currency_to_words(2, None) == core.currency_to_words(2) == "iki lira"


class TestErrorMapping:
    def test_domain_error_is_value_error(self, tf):
        with pytest.raises(ValueError, match="^bad phrase$"):
            tf.fail_domain("bad phrase")

    def test_type_error_values(self, tf):
        with pytest.raises(TypeError, match="^wrong kind$"):
            tf.fail_type("wrong kind")

    def test_json_writing_error_is_value_error(self, tf):
        with pytest.raises(ValueError, match="not finite"):
            tf.fail_json("value is not finite")

    def test_io_error_is_os_error_with_errno(self, tf):
        with pytest.raises(OSError) as info:
            tf.fail_io(errno.ENOENT)
        assert isinstance(info.value, FileNotFoundError)
        assert info.value.errno == errno.ENOENT
        assert info.value.strerror == "No such file or directory"

    @pytest.mark.parametrize(
        "call,text",
        [
            (lambda tf: tf.fault_assert(True), "tripped on purpose"),
            (lambda tf: tf.fault_std(), "index 7 outside its table"),
            (lambda tf: tf.fault_unknown(), "unknown exception"),
        ],
    )
    def test_internal_faults_are_base_exceptions(self, tf, call, text):
        with pytest.raises(BaseException) as info:
            call(tf)
        assert type(info.value) is tf._InternalFault
        assert not isinstance(info.value, Exception)
        assert text in str(info.value)
        # The interpreter and the module keep working afterwards.
        assert tf.fault_assert(False) == 1

    def test_internal_fault_is_not_caught_by_except_exception(self, tf):
        caught = None
        try:
            try:
                tf.fault_std()
            except Exception:  # noqa: BLE001 - must not catch the fault
                caught = "exception"
        except BaseException as exc:  # noqa: BLE001
            caught = type(exc).__name__
        assert caught == "InternalFault"

    def test_allocation_failure_is_memory_error(self, tf):
        with pytest.raises(MemoryError):
            tf.fault_alloc()

    def test_core_fault_type(self, core):
        fault = core._InternalFault
        assert issubclass(fault, BaseException) and not issubclass(fault, Exception)
        assert fault.__module__ == "selvo._core"


class TestClasses:
    def test_constructor_methods_and_slots(self, tf):
        c = tf.Counter()
        assert c.get() == 0
        c = tf.Counter(5)
        assert c.add(3) == 8
        assert c.add(n=-1) == 7
        assert c.value == 7
        assert len(c) == 7
        assert repr(c) == "Counter(7)"
        assert c() == 14
        assert c(times=3) == 21
        assert type(c).__module__ == "selvo._testframe"
        assert type(c).__name__ == "Counter"

    def test_read_only_property(self, tf):
        c = tf.Counter(1)
        with pytest.raises(AttributeError):
            c.value = 3

    def test_constructor_arguments_are_checked(self, tf):
        with pytest.raises(TypeError, match="^argument 'start': "):
            tf.Counter("x")
        with pytest.raises(TypeError, match="takes from 0 to 1 positional arguments but 2 were given"):
            tf.Counter(1, 2)
        with pytest.raises(TypeError, match="unexpected keyword argument 'stop'"):
            tf.Counter(stop=1)

    def test_constructor_error_value(self, tf):
        assert tf.Checked(2) is not None
        with pytest.raises(ValueError, match="start must not be negative"):
            tf.Checked(-1)

    def test_static_method_returns_new_instance(self, tf):
        c = tf.Counter.make(4)
        assert isinstance(c, tf.Counter) and c.get() == 4
        assert tf.Counter(0).make(n=2).get() == 2

    def test_no_constructor(self, tf):
        with pytest.raises(TypeError) as info:
            tf.Sealed()
        assert str(info.value) == "No constructor defined for Sealed"
        assert tf.make_sealed().value() == 5

    def test_classes_are_final(self, tf):
        with pytest.raises(TypeError):
            type("Sub", (tf.Counter,), {})

    def test_instance_arguments(self, tf):
        c = tf.Counter(1)
        assert tf.bump_counter(c, 2) == 3
        assert tf.read_counter(c) == 3
        with pytest.raises(TypeError, match=r"^argument 'counter': expected Counter, got int$"):
            tf.read_counter(3)

    def test_method_on_wrong_instance_type(self, tf):
        with pytest.raises(TypeError):
            tf.Counter.get(tf.make_sealed())

    def test_len_overflow_is_not_possible_to_hide(self, tf):
        assert len(tf.Counter(-3)) == 3


class TestBorrows:
    def test_shared_borrows_nest(self, tf):
        c = tf.Counter(2)
        assert c.peek(lambda: c.get() + c.value + len(c)) == 6

    def test_mutation_during_shared_borrow(self, tf):
        c = tf.Counter(2)
        with pytest.raises(RuntimeError) as info:
            c.peek(lambda: c.add(1))
        assert str(info.value) == "Already borrowed"
        assert c.get() == 2  # nothing changed, and the borrow was released

    def test_read_during_exclusive_borrow(self, tf):
        c = tf.Counter(2)
        with pytest.raises(RuntimeError) as info:
            c.poke(lambda: c.get())
        assert str(info.value) == "Already mutably borrowed"
        with pytest.raises(RuntimeError, match="^Already mutably borrowed$"):
            c.poke(lambda: c.value)
        with pytest.raises(RuntimeError, match="^Already borrowed$"):
            c.poke(lambda: c.add(1))
        assert c.add(1) == 3  # released after the failures

    def test_argument_borrows(self, tf):
        c = tf.Counter(2)
        with pytest.raises(RuntimeError, match="^Already borrowed$"):
            tf.read_while(c, lambda: tf.bump_counter(c, 1))
        with pytest.raises(RuntimeError, match="^Already mutably borrowed$"):
            c.poke(lambda: tf.read_counter(c))
        assert tf.read_while(c, lambda: tf.read_counter(c)) == 2

    def test_callback_exception_propagates_and_releases(self, tf):
        c = tf.Counter(2)
        with pytest.raises(ZeroDivisionError):
            c.poke(lambda: 1 / 0)
        assert c.add(1) == 3


class TestSharedEngines:
    def test_built_once_on_first_use(self, tf):
        assert tf.engine_builds() == 0  # nothing is built at import
        first = tf.engine_id()
        assert tf.engine_id() == first
        assert tf.engine_builds() == 1

    def test_failed_build_stays_failed(self, tf):
        for _ in range(3):
            with pytest.raises(BaseException) as info:
                tf.broken_engine()
            assert type(info.value) is tf._InternalFault
            assert "resource is corrupt" in str(info.value)
        assert tf.broken_attempts() == 1  # never rebuilt


def run_python(code):
    return subprocess.run([sys.executable, "-c", textwrap.dedent(code)], capture_output=True, text=True, timeout=120)


class TestModuleInitialisation:
    def test_second_initialisation_returns_the_same_module(self):
        result = run_python(
            """
            import sys, importlib
            import selvo._core as first
            del sys.modules["selvo._core"]
            second = importlib.import_module("selvo._core")
            assert second is first, (first, second)
            print("same")
            """
        )
        assert result.returncode == 0, result.stderr
        assert result.stdout.strip() == "same"

    def test_sub_interpreter_gets_import_error(self):
        result = run_python(
            """
            import _xxsubinterpreters as interpreters
            import selvo._core
            interp = interpreters.create()
            try:
                interpreters.run_string(interp, "import selvo._core")
            except interpreters.RunFailedError as exc:
                print(exc)
            else:
                print("imported")
            """
        )
        assert result.returncode == 0, result.stderr
        assert "ImportError" in result.stdout and "sub-interpreter" in result.stdout
