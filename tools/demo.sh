#!/usr/bin/env bash
# Installs selvo into .venv and runs the command-line tool on a sample:
# a prompt is masked before it would go to a language model, and the
# model's answer is restored from the saved vault.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup-env.sh"
cd "$SELVO_ROOT"
"$VPY" -m pip install -q --disable-pip-version-check .

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prompt="Müşterimiz Ayşe Yılmaz'ın e-postası ayse.yilmaz@gmail.com, telefonu 0532 123 45 67, IBAN'ı TR33 0006 1005 1978 6457 8413 26. Adresi: Caferağa Mahallesi, Moda Caddesi No: 12 Kadıköy/İstanbul. Ona kısa bir teşekkür mektubu yaz."

echo "== prompt"
echo "$prompt"
echo
echo "== selvo mask --vault vault.json   (what the language model sees)"
selvo mask --vault "$work/vault.json" "$prompt"
echo
answer="Sayın {{AD_1}}, {{EMAIL_1}}'e gönderdiğimiz bilgiler için teşekkür ederiz; {{TEL_1}}'den size ulaşacağız."
echo "== the model's answer"
echo "$answer"
echo
echo "== selvo restore --vault vault.json"
echo "$answer" | selvo restore --vault "$work/vault.json"
echo
echo "== more of the tool"
echo "\$ selvo deasciify \"Bugun hava cok guzel\""
selvo deasciify "Bugun hava cok guzel"
echo "\$ selvo stem kitaplarımızdan"
selvo stem kitaplarımızdan
echo "\$ selvo case upper \"istanbul ılık\""
selvo case upper "istanbul ılık"
echo "\$ selvo number --ordinal 24"
selvo number --ordinal 24
