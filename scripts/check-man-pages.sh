#!/bin/sh
# The manual pages against the programs, so that they cannot drift apart:
# every page opens with man -l without a warning, and norvanta-calc.1 names
# every option and every exit status that norvanta-calc --help lists. Run by
# ctest on the build tree and by test-install.sh on the installed tree.
# Usage: check-man-pages.sh SOURCE_DIR NORVANTA_CALC [PAGE_FOLDER]
# PAGE_FOLDER holds the pages as NAME.1 or NAME.1.gz (default: the sources
# in SOURCE_DIR/packaging).
set -u
source_dir=$1
calc=$2
pages=${3:-$source_dir/packaging}
. "$source_dir/tests/packaging/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

page_file() {
    if [ -e "$pages/$1.1" ]; then
        printf '%s\n' "$pages/$1.1"
    else
        printf '%s\n' "$pages/$1.1.gz"
    fi
}

# man succeeds even when a request fails, so its messages decide.
opens_cleanly() {
    LC_ALL=C.UTF-8 MANWIDTH=80 man -l --warnings "$1" >"$work/page" 2>"$work/messages" &&
        [ ! -s "$work/messages" ] && [ -s "$work/page" ]
}

for name in norvanta norvanta-calc norvanta-update-data; do
    page=$(page_file "$name")
    check "man -l opens $page without a warning" opens_cleanly "$page"
done

# The page's source with its escaped hyphens as plain ones.
page=$(page_file norvanta-calc)
case $page in
*.gz) gzip -dc "$page" ;;
*) cat "$page" ;;
esac | sed 's/\\-/-/g' >"$work/source"

"$calc" --help >"$work/help" 2>&1
check "norvanta-calc --help succeeds" test -s "$work/help"
# An option line starts with the option (after a short form), its
# description may name others.
options=$(grep -E '^  (-[a-z], )?--[a-z]' "$work/help" |
    sed -E 's/^  ((-[a-z], )?--[a-z0-9-]+).*/\1/' | grep -oE -- '--[a-z0-9-]+')
codes=$(awk '/^終了コード/ { inside = 1; next }
    inside && /^  [0-9]+ / { print $1; next }
    { inside = 0 }' "$work/help")
check "--help lists options and exit statuses" test -n "$options" -a -n "$codes"
for option in $options; do
    check "norvanta-calc.1 documents $option" grep -qE -- "$option([^a-z0-9-]|\$)" "$work/source"
done
for code in $codes; do
    check "norvanta-calc.1 documents exit status $code" grep -qx "\\.B $code" "$work/source"
done
finish
