#!/usr/bin/env bash
# Prepares the system's printing for the printing tests: starts the CUPS
# scheduler when none is running and adds the cups-pdf queue "PDF", which
# writes every page it receives as a PDF file into ~/PDF of the job's user.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/deps.sh" "$here/test-packages.txt"
queue=PDF
sudo_cmd=()
[[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
running() { [[ $(lpstat -r 2>/dev/null) == "scheduler is running" ]]; }
if ! running; then
    "${sudo_cmd[@]}" cupsd
    for _ in $(seq 50); do
        running && break
        sleep 0.2
    done
fi
running || { echo "printing-setup: the CUPS scheduler did not start" >&2; exit 1; }
if ! lpstat -v "$queue" >/dev/null 2>&1; then
    "${sudo_cmd[@]}" lpadmin -p "$queue" -v cups-pdf:/ -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd
fi
lpstat -v "$queue"
