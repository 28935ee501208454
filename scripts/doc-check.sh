#!/usr/bin/env bash
# Checks the documents that ship in the package: the manual page reads without a warning from
# man and groff and describes every option that `dormivo --help` lists, the help fits 80
# columns, and the licence in the package's copyright file is the LICENSE file's.
#   BUILD_DIR   the build whose program is asked for its options (default build)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh man-db groff-base
page=resources/dormivo.1
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "doc-check: $page: $warnings" >&2; exit 1; }
help=$("${BUILD_DIR:-build}/bin/dormivo" --help)
wide=$(awk 'length > 80' <<<"$help")
[ -z "$wide" ] ||
    { printf 'doc-check: dormivo --help is wider than 80 columns:\n%s\n' "$wide" >&2; exit 1; }
for option in $(grep -o -- '--[a-z]*' <<<"$help" | sort -u); do
    grep -q -- "\\\\-\\\\-${option#--}" "$page" ||
        { echo "doc-check: $page does not describe $option" >&2; exit 1; }
done
# The licence text, the copyright file's only indented lines, with its blank lines back.
diff <(grep '^ ' debian/copyright | sed 's/^ //; s/^\.$//') <(tail -n +5 LICENSE) ||
    { echo "doc-check: the licence in debian/copyright is not LICENSE's" >&2; exit 1; }
echo "doc-check: the manual page and the copyright file are in order"
