#!/usr/bin/env bash
# Checks Norvanta as users get it: the tree `cmake --install` makes in a
# temporary prefix, and the Debian package built by cpack, checked with
# dpkg-deb and lintian and unpacked into a temporary root (never installed
# into the system). In each tree, from an empty folder and a temporary home:
# norvanta-calc and its lookup order, norvanta-update-data, the program
# started through the launcher and ended in order, the desktop entry and
# metainfo validated, and the man pages opened as files and held against
# norvanta-calc --help.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/build/default
cd "$top"
cmake --preset default >/dev/null
cmake --build --preset default

work=$(mktemp -d)
program=
trap '[[ -z "$program" ]] || kill -KILL "$program" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
check() {
    local description=$1
    shift
    if "$@"; then
        echo "ok   $description"
    else
        echo "FAIL $description"
        failures=$((failures + 1))
    fi
}

# Waits up to 20 s for the command to succeed.
wait_for() {
    for _ in $(seq 100); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}

# A reaction file as the program saves it: 1 CO2 + 1 <second> = 2 CO + 2 H2 at 1 atm.
reaction() {
    {
        printf '; 平衡計算標準ファイル:12-08-2026 06:00:00\r\n'
        printf '"%s"\r\n' 1 CO2 1 2 CO 1 "$2" 1 2 H2 "" "" "" "" "" "" "" "" "" "" 0 1
    } | iconv -f UTF-8 -t SHIFT_JIS > "$1"
}

# Runs a command of the tree in a folder with the temporary home.
in_folder() {
    local folder=$1
    shift
    (cd "$folder" && exec env HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
        XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen "$@")
}

# Runs norvanta-calc in the empty folder; succeeds on the wanted status. Output in $work/out.
calc_status() {
    local want=$1 status=0
    shift
    in_folder "$work/empty" "$@" >"$work/out" 2>&1 || status=$?
    [[ $status -eq $want ]]
}

check_tree() {
    local usr=$1 name=$2
    echo "--- $name"
    rm -rf "$work/home" "$work/runtime" "$work/empty"
    mkdir -p "$work/home" "$work/runtime" "$work/empty"
    chmod 700 "$work/runtime"
    reaction "$work/reforming.txt" CH4
    reaction "$work/registered.txt" Biogas
    local calc=$usr/bin/norvanta-calc status

    check "$name: norvanta-calc computes from an empty folder with the installed Norvane.dat" \
        calc_status 0 "$calc" --table "$work/reforming.txt"
    check "$name: and finds every point" test "$(grep -c '^[KC]	' "$work/out")" -eq 66
    printf 'planted' >"$work/empty/Norvane.dll"
    check "$name: norvanta-calc never loads a Norvane.dll planted in the current folder" \
        calc_status 0 "$calc" --table "$work/reforming.txt"
    rm "$work/empty/Norvane.dll"

    # The launcher's first start makes ~/Norvanta; the program is then ended by
    # SIGTERM as a session end would, once its start-up wrote Norvane.ini.
    # Started without a function around it, so that $! is the program itself.
    (cd "$work/empty" && exec env HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
        XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen "$usr/bin/norvanta") \
        >"$work/program.log" 2>&1 &
    program=$!
    wait_for test -e "$work/home/Norvanta/Norvane.env"
    check "$name: the program starts through the launcher in ~/Norvanta" \
        test "$(cat "$work/home/Norvanta/Norvane.env")" = $'B\r'
    # Start-up wrote Norvane.ini; the exit sequence writes it again.
    rm -f "$work/home/Norvanta/Norvane.ini"
    kill -TERM "$program"
    wait_for bash -c "! kill -0 $program 2>/dev/null"
    kill -KILL "$program" 2>/dev/null && echo "FAIL the program had to be killed"
    status=0
    wait "$program" || status=$?
    program=
    check "$name: the program ends in order on SIGTERM (status $status)" test "$status" -eq 0
    check "$name: and writes its settings on the way out" test -s "$work/home/Norvanta/Norvane.ini"

    # A compound registered in the working folder is found from any folder ...
    LC_ALL=C grep '^"CH4"' "$work/home/Norvanta/Norvane.dat" | sed 's/^"CH4"/"Biogas"/' \
        >>"$work/home/Norvanta/Norvane.dat"
    check "$name: norvanta-calc finds a compound registered in ~/Norvanta" \
        calc_status 0 "$calc" --table "$work/registered.txt"
    check "$name: norvanta-update-data brings the installed file and keeps the compound" \
        calc_status 0 "$usr/bin/norvanta-update-data"
    check "$name: and says so" grep -q '登録データ 1 件を引き継ぎ、0 件は引き継ぎませんでした' "$work/out"
    check "$name: the kept compound is still found" \
        calc_status 0 "$calc" --table "$work/registered.txt"
    # ... but a Norvane.dat in the current folder comes first.
    cp "$usr/share/norvanta/Norvane.dat" "$work/empty/"
    check "$name: the current folder's Norvane.dat comes before ~/Norvanta" \
        calc_status 1 "$calc" "$work/registered.txt"
    rm "$work/empty/Norvane.dat"

    # With no Norvane.dat anywhere the message names every place looked in.
    mv "$usr/share/norvanta/Norvane.dat" "$work/shipped.dat"
    rm "$work/home/Norvanta/Norvane.dat"
    check "$name: a missing Norvane.dat ends with status 2" calc_status 2 "$calc" "$work/reforming.txt"
    mv "$work/shipped.dat" "$usr/share/norvanta/Norvane.dat"
    check "$name: and names the three places" test "$(grep -c '/Norvane.dat$' "$work/out")" -eq 3

    check "$name: desktop-file-validate" \
        desktop-file-validate "$usr/share/applications/org.norvanta.Norvanta.desktop"
    check "$name: appstreamcli validate" \
        appstreamcli validate --no-net --pedantic "$usr/share/metainfo/org.norvanta.Norvanta.metainfo.xml"
    check "$name: man pages format without warnings" \
        test -z "$(for page in norvanta norvanta-calc norvanta-update-data; do
            LC_ALL=C.UTF-8 MANWIDTH=80 man -M "$usr/share/man" --warnings "$page" 2>&1 >/dev/null
        done)"
    # Each installed page as a file, and norvanta-calc.1 against the options
    # and exit statuses of the installed norvanta-calc --help.
    check "$name: man -l opens every page and norvanta-calc.1 matches --help" \
        bash -c 'sh "$1/scripts/check-man-pages.sh" "$1" "$2" "$3" >"$4" || { cat "$4"; false; }' \
        _ "$top" "$calc" "$usr/share/man/man1" "$work/man-pages.log"
}

cmake --install "$build" --prefix "$work/prefix/usr" --strip >/dev/null
check_tree "$work/prefix/usr" "cmake --install"

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null
deb=$(echo "$work"/package/norvanta_*.deb)
echo "--- $(basename "$deb"), $(stat -c %s "$deb") bytes"
dpkg-deb -c "$deb" | awk '{ print $NF }' | grep -v '/$' >"$work/contents"
cat "$work/contents"
for path in ./usr/bin/norvanta ./usr/bin/norvanta-calc ./usr/bin/norvanta-update-data \
    ./usr/lib/norvanta/Norvanta ./usr/lib/norvanta/Norvane.dll ./usr/share/norvanta/Norvane.dat \
    ./usr/share/norvanta/NorvaneThermo.dat \
    ./usr/share/applications/org.norvanta.Norvanta.desktop \
    ./usr/share/icons/hicolor/scalable/apps/org.norvanta.Norvanta.svg \
    ./usr/share/metainfo/org.norvanta.Norvanta.metainfo.xml \
    ./usr/share/man/man1/norvanta.1.gz ./usr/share/man/man1/norvanta-calc.1.gz \
    ./usr/share/man/man1/norvanta-update-data.1.gz \
    ./usr/share/doc/norvanta/copyright ./usr/share/doc/norvanta/README.md; do
    check "package holds $path" grep -qx "$path" "$work/contents"
done
check "package depends on the Japanese fonts and recommends cups" \
    bash -c "dpkg-deb -f '$deb' Depends | grep -q fonts-ipafont-gothic && dpkg-deb -f '$deb' Recommends | grep -q cups"
check "lintian finds no errors" lintian --fail-on error --suppress-tags-from-file /dev/null "$deb"
dpkg-deb -x "$deb" "$work/root"
check_tree "$work/root/usr" ".deb unpacked"

((failures == 0)) || { echo "$failures install check(s) failed"; exit 1; }
echo "all install checks passed"
