#!/bin/sh
# The working folder's Norvane.dat: seeded only when absent, kept byte for byte
# by every later configure, and brought up to a new shipped file only by
# norvanta-update-data, which keeps the registered compounds and names each
# record it does not carry over.
# Usage: seeding_test.sh SOURCE_DIR UPDATE_PROGRAM
set -u
source_dir=$1
update_program=$2
. "$source_dir/tests/packaging/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

shipped=$source_dir/data/Norvane.dat
seed() {
    cmake -DSHIPPED="$1" -DFOLDER="$work/stage" -P "$source_dir/cmake/SeedWorkingFolder.cmake"
}
update() {
    "$update_program" "$1" "$work/stage" >"$work/stdout" 2>"$work/stderr"
}

mkdir "$work/stage"
ln -s "$work/unmounted/Norvane.dat" "$work/stage/Norvane.dat"
seed "$shipped"
check "a Norvane.dat link whose target is missing is not seeded over" \
    test "$(readlink "$work/stage/Norvane.dat")" = "$work/unmounted/Norvane.dat"
rm "$work/stage/Norvane.dat"
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

# A record whose name the new shipped file now holds, in any case, is not
# carried over, and the update says so by name.
printf '"NewGas",1,4,1, 1, 1, 1, 1, 1, 1, 1, 1\r\n"newgas",1,4,1, 2, 2, 2, 2, 2, 2, 2, 2\r\n' \
    >> "$work/stage/Norvane.dat"
update "$work/new-shipped"
check "a name the shipped file holds in any case is taken from the shipped file" \
    same_bytes "$work/stage/Norvane.dat" "$work/expected"
printf '%s\n' "norvanta-update-data: 「NewGas」は出荷時のデータに含まれるため引き継ぎませんでした" \
    "norvanta-update-data: 「newgas」は出荷時のデータに含まれるため引き継ぎませんでした" \
    > "$work/expected-stderr"
check "each record not carried over is named" same_bytes "$work/stderr" "$work/expected-stderr"
check "the final message counts kept and dropped records" \
    grep -q "登録データ 1 件を引き継ぎ、2 件は引き継ぎませんでした" "$work/stdout"
check "no temporary file is left in the folder" \
    test "$(ls -A "$work/stage" | sort | tr '\n' ' ')" = "Norvane.dat Norvane.dat.bak Norvane.dat.shipped "

# An update that cannot finish leaves the file as it was.
printf '"Mine",1,0,0, 1, 1, 1, 1, 1, 1, 1, 1\r\n' >> "$work/stage/Norvane.dat"
cp "$work/stage/Norvane.dat" "$work/before"
rm "$work/stage/Norvane.dat.bak"
mkdir "$work/stage/Norvane.dat.bak"
update "$shipped"
status=$?
check "a failed update ends with status 1 and a message" \
    sh -c "[ $status -eq 1 ] && grep -q 'を更新できません' '$work/stderr'"
check "a failed update leaves Norvane.dat byte for byte" \
    same_bytes "$work/stage/Norvane.dat" "$work/before"

# Command-line errors end with 64, a shipped file that is no compound data
# file with 1, and neither touches the folder; "--" ends the options.
: >"$work/empty"
printf '"CO",1,0,1, 1, 1, 1, 1, 1, 1, 1, 1\r\n' >"$work/no-genre"
for run in "64 --force $shipped" "64 -x" "1 $work/empty" "1 $work/no-genre" "1 -- $work/empty"; do
    set -- $run
    want=$1
    shift
    "$update_program" "$@" "$work/stage" >"$work/stdout" 2>"$work/stderr"
    status=$?
    check "norvanta-update-data $* ends with $want and changes nothing" \
        sh -c "[ $status -eq $want ] && [ -s '$work/stderr' ]"
    check "  and Norvane.dat is as it was" same_bytes "$work/stage/Norvane.dat" "$work/before"
done
finish
