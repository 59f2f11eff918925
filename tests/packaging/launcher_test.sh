#!/bin/sh
# The launcher norvanta in a temporary HOME, over an installed tree whose
# program is a stand-in that records the folder it started in and its
# arguments (the installed-tree test starts the real program).
# Usage: launcher_test.sh SOURCE_DIR
set -u
source_dir=$1
. "$source_dir/tests/packaging/check.sh"
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"

prefix=$work/usr
mkdir -p "$prefix/bin" "$prefix/lib/norvanta" "$prefix/share/norvanta" "$work/home"
cp "$source_dir/packaging/norvanta" "$prefix/bin/"
cp "$source_dir/data/Norvane.dat" "$prefix/share/norvanta/"
printf 'polynomials 1\r\n' > "$prefix/share/norvanta/NorvaneThermo.dat"
printf 'solver 1\n' > "$prefix/lib/norvanta/Norvane.dll"
cat > "$prefix/lib/norvanta/Norvanta" <<'STANDIN'
#!/bin/sh
{ pwd; printf '%s\n' "$@"; } > "$HOME/../started"
STANDIN
chmod 755 "$prefix/lib/norvanta/Norvanta"
folder=$work/home/Norvanta

launch() {
    HOME=$work/home "$prefix/bin/norvanta" "$@" 2> "$work/stderr"
}

launch -x "two words"
check "the first start makes the folder with the shipped Norvane.dat" \
    same_bytes "$folder/Norvane.dat" "$prefix/share/norvanta/Norvane.dat"
check "the first start puts the installed Norvane.dll there" \
    same_bytes "$folder/Norvane.dll" "$prefix/lib/norvanta/Norvane.dll"
printf '%s\n-x\ntwo words\n' "$folder" > "$work/expected-start"
check "the program starts in the folder with the launcher's arguments" \
    same_bytes "$work/started" "$work/expected-start"

printf '"Registered",1,4,0, 1, 2, 3, 4, 5, 6, 7, 8\r\n' >> "$folder/Norvane.dat"
printf '"LimitPos=2"\r\n' > "$folder/Norvane.ini"
cp "$folder/Norvane.dat" "$work/extended"
printf 'solver 2\n' > "$prefix/lib/norvanta/Norvane.dll"
printf 'polynomials 2\r\n' > "$prefix/share/norvanta/NorvaneThermo.dat"
launch
check "a second start picks up upgraded polynomials" \
    same_bytes "$folder/NorvaneThermo.dat" "$prefix/share/norvanta/NorvaneThermo.dat"
check "a second start keeps a user-extended Norvane.dat byte for byte" \
    same_bytes "$folder/Norvane.dat" "$work/extended"
check "a second start picks up an upgraded Norvane.dll" \
    same_bytes "$folder/Norvane.dll" "$prefix/lib/norvanta/Norvane.dll"
check "a second start leaves the settings alone" \
    test "$(cat "$folder/Norvane.ini")" = "$(printf '"LimitPos=2"\r')"

rm "$folder/Norvane.dat"
launch
check "a missing Norvane.dat is seeded again" \
    same_bytes "$folder/Norvane.dat" "$prefix/share/norvanta/Norvane.dat"
check "no temporary file is left in the folder" \
    test "$(ls -A "$folder" | tr '\n' ' ')" = "Norvane.dat Norvane.dat.shipped Norvane.dll Norvane.ini NorvaneThermo.dat "

rm "$folder/Norvane.dat"
ln -s "$work/unmounted/Norvane.dat" "$folder/Norvane.dat"
launch
check "a Norvane.dat link whose target is missing is kept as it is" \
    test "$(readlink "$folder/Norvane.dat")" = "$work/unmounted/Norvane.dat"
rm "$folder/Norvane.dat"

# A home where nothing can be written, and one that is full: a message, no
# folder, nothing half made. Root writes anywhere, so the read-only home is
# tried as an unprivileged user.
rm -rf "$folder" "$work/started"
as_user=
[ "$(id -u)" -eq 0 ] && as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
chmod 555 "$work/home"
HOME=$work/home $as_user "$prefix/bin/norvanta" 2> "$work/stderr"
status=$?
check "a read-only home ends with status 1" test "$status" -eq 1
check "a read-only home gives the message" \
    grep -q "^norvanta: 作業フォルダ $folder を作れません。" "$work/stderr"
check "a read-only home starts no program" test ! -e "$work/started"
chmod 755 "$work/home"
(ulimit -f 8 && launch)
status=$?
check "a full disk ends with status 1 and the message" \
    sh -c "[ $status -eq 1 ] && grep -q '作業フォルダ .* を作れません。' '$work/stderr'"
check "a full disk leaves no half-made folder" test "$(ls -A "$work/home")" = ""
finish
