#!/usr/bin/env bash
# Installs selvo into .venv and runs the command-line tool on a sample.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup-env.sh"
cd "$SELVO_ROOT"
"$VPY" -m pip install -q --disable-pip-version-check .

sample="İstanbul'da ılık bir gün; Işık Ağaç'a 2024 yılında 12,50 lira ödedi."
echo "\$ selvo case upper \"$sample\""
selvo case upper "$sample"
echo "\$ selvo case title \"$sample\""
selvo case title "$sample"
echo "\$ selvo syllables merhaba İstanbul kontrol"
selvo syllables merhaba İstanbul kontrol
echo "\$ selvo number 2024 && selvo number --ordinal 24 && selvo currency 12.5"
selvo number 2024
selvo number --ordinal 24
selvo currency 12.5
echo "\$ selvo read-number bin dokuz yüz seksen dört"
selvo read-number bin dokuz yüz seksen dört
