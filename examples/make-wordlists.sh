#!/usr/bin/env bash
# Packs the FROM word lists of the sample medium and of the broken one from their UTF-8 sources
# with the word-list tool.
#   examples/make-wordlists.sh <path to wltool>
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tool=${1:?usage: make-wordlists.sh <wltool>}
"$tool" pack "$here/source/deen.txt" "$here/medium/language/deen.wb" --utf8
"$tool" pack "$here/source/fren.txt" "$here/medium/language/fren.wb" --utf8
# The broken medium's list, with what the build will drop (pack warns about it).
"$tool" pack "$here/source/broken-deen.txt" "$here/broken-medium/language/deen.wb" --utf8
