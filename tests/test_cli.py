"""The selvo command-line tool."""

import json
import subprocess
import sys

import pytest

from selvo.cli import main


def run(*args, stdin=None):
    return subprocess.run(
        [sys.executable, "-m", "selvo", *args], input=stdin, capture_output=True, text=True, timeout=60
    )


@pytest.mark.parametrize(
    "argv,expected",
    [
        (["case", "upper", "istanbul", "ılık"], "İSTANBUL ILIK"),
        (["case", "lower", "IŞIK"], "ışık"),
        (["case", "title", "ali-veli"], "Ali-Veli"),
        (["syllables", "merhaba", "türkçe"], "mer-ha-ba\ntürk-çe"),
        (["hyphenate", "-d", "·", "merhaba"], "mer·ha·ba"),
        (["number", "2024"], "iki bin yirmi dört"),
        (["number", "--ordinal", "24"], "yirmi dördüncü"),
        (["number", "--", "-15"], "eksi on beş"),
        (["currency", "12.5"], "on iki lira elli kuruş"),
        (["currency", "3", "-c", "usd"], "üç dolar"),
        (["read-number", "bin", "dokuz", "yüz"], "1900"),
        (["harmony", "kitaplar"], "kitaplar\tmajor=False\tminor=True"),
    ],
)
def test_plain_output(capsys, argv, expected):
    assert main(argv) == 0
    assert capsys.readouterr().out == expected + "\n"


def test_json_output(capsys):
    assert main(["--json", "syllables", "saat"]) == 0
    assert json.loads(capsys.readouterr().out) == [{"word": "saat", "syllables": ["sa", "at"], "count": 2}]
    assert main(["number", "7", "--json"]) == 0
    assert json.loads(capsys.readouterr().out) == "yedi"


def test_standard_input_and_module_entry_point():
    result = run("case", "upper", stdin="şişli ılıca\n")
    assert result.returncode == 0, result.stderr
    assert result.stdout == "ŞİŞLİ ILICA\n"
    result = run("--json", "case", "lower", "-", stdin="İZMİR")
    assert json.loads(result.stdout) == "izmir"


def test_errors_are_reported_not_raised(capsys):
    assert main(["read-number", "iki", "elma"]) == 1
    assert "Unrecognized number word: elma" in capsys.readouterr().err
    assert main(["number", str(2**63)]) == 1
    result = run("frobnicate")
    assert result.returncode == 2 and "invalid choice" in result.stderr
