#!/bin/sh
# The working folder's Norvane.dat: seeded only when absent, kept byte for byte
# by every later configure, and brought up to a new shipped file only by
# norvanta-update-data, which keeps the registered compounds.
# Usage: seeding_test.sh SOURCE_DIR
set -u
source_dir=$1
. "$source_dir/tests/packaging/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

shipped=$source_dir/data/Norvane.dat
seed() {
    cmake -DSHIPPED="$1" -DFOLDER="$work/stage" -P "$source_dir/cmake/SeedWorkingFolder.cmake"
}
update() {
    sh "$source_dir/packaging/norvanta-update-data" "$1" "$work/stage" >/dev/null
}

mkdir "$work/stage"
seed "$shipped"
check "the first configure seeds the shipped file" same_bytes "$work/stage/Norvane.dat" "$shipped"

# A compound registered in the program, then a re-configure with a changed shipped file.
registered='"Cyclo C6 ﾃｽﾄ",6,12,0, 1, 2, 3, 4, 5, 6, 7, 8'
printf '%s\r\n' "$registered" | iconv -f UTF-8 -t SHIFT_JIS >> "$work/stage/Norvane.dat"
cp "$work/stage/Norvane.dat" "$work/extended"
cp "$shipped" "$work/new-shipped"
printf '"NewGas",1,4,1, 9, 9, 9, 9, 9, 9, 9, 9\r\n' >> "$work/new-shipped"
seed "$work/new-shipped"
check "a re-configure keeps the extended file byte for byte" \
    same_bytes "$work/stage/Norvane.dat" "$work/extended"

# The update: the new shipped file, then the registered record; the old file as .bak.
update "$work/new-shipped"
{ cat "$work/new-shipped"; printf '%s\r\n' "$registered" | iconv -f UTF-8 -t SHIFT_JIS; } > "$work/expected"
check "the update brings the new shipped file and keeps the registered compound" \
    same_bytes "$work/stage/Norvane.dat" "$work/expected"
check "the update keeps the previous file as Norvane.dat.bak" \
    same_bytes "$work/stage/Norvane.dat.bak" "$work/extended"
update "$work/new-shipped"
check "a second update adds nothing" same_bytes "$work/stage/Norvane.dat" "$work/expected"

# A record the new shipped file now holds under the same name is not doubled.
printf '"NewGas",1,4,1, 1, 1, 1, 1, 1, 1, 1, 1\r\n' >> "$work/stage/Norvane.dat"
update "$work/new-shipped"
check "a name the shipped file holds is taken from the shipped file" \
    same_bytes "$work/stage/Norvane.dat" "$work/expected"
check "no temporary file is left in the folder" \
    test "$(ls -A "$work/stage" | sort | tr '\n' ' ')" = "Norvane.dat Norvane.dat.bak "
finish
