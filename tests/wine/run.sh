#!/usr/bin/env bash
# The GUI tests under Wine: the Windows programs (x86_64 build) run their real dialogs, answered
# by the GUI driver rvxdrive.exe from answer scripts, each scenario in a fresh prefix (a copy of
# one template prefix made once, which saves the system's first start each time). The same
# answer scripts drive the host programs on a simulated machine, and the two editions are
# compared: the interactions with their texts (transcript_compare), the installed files, the
# registry values and the uninstall log, and in the attended scenario the screens: a page's and
# the progress page's screenshots against the host's pictures of the same moments (their
# background bands and bars, screen_compare). Screenshots of every page and message box land in
# BUILD/wine/screenshots/SCENARIO/.
#
#   tests/wine/run.sh BUILD [SCENARIO...]
#                       (BUILD holds host-asan and win-x86_64; ./scripts/test runs every scenario;
#                        update needs attended before it)
#
# Differences the systems make, and which the comparison allows:
# - the special folders' paths (the start menu's and the desktop's), replaced by their names;
# - Dismara.exe itself: the simulated machine's medium holds a stand-in for it;
# - the parts of a shortcut file that the system fills in on its own (checked with lnkinfo for
#   the target and the working folder only);
# - in the transcripts: the template's own controls, the message boxes' icons and the folder
#   browser's initial folder (see transcript_compare.cpp).
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib/wine.sh

build=$(cd "${1:-build}" && pwd)
host="$build/host-asan/host"
# The host edition's demo medium, made by the medium builder in the host build (the host
# stand-ins of the programs, the host build's language libraries).
demo="$build/host-asan/demo-medium"
compare="$build/host-asan/tests/wine/transcript_compare"
screen_compare="$build/host-asan/tests/wine/screen_compare"
windows="$build/win-x86_64/platform/win32"
work="$build/wine"
shots="$work/screenshots"
product="Norvane Demo Viewer"
web_address="www.example.test/demo"
install_dir="Program Files\\$product"   # on drive C:, as Windows writes it
host_install_dir="Program Files/$product"
uninstall_key="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product"

rm -rf "$work"
mkdir -p "$work" "$shots"
trap wine_stop_all EXIT
failures=0

fail() {
    echo "   FAILED: $*"
    failures=$((failures + 1))
}

# ---- media ----
# The demo's medium for Windows, made by the medium builder as the host build makes the host's:
# the real programs in place of the stand-ins, the Windows build's language libraries beside the
# installer.
make_medium() {
    examples/demo/build-medium "$host/mediumbuild" "$1" --windows-build "$build/win-x86_64" "${@:2}"
}
# The same medium with the script asking for a restart.
make_restart_medium() {
    local source=$1 medium=$2
    rm -rf "$medium"
    cp -a "$source" "$medium"
    { printf '[RESTART]\r\n'; cat "$source/Install.ini"; } >"$medium/Install.ini"
}
# The same medium as an update: it looks for the earlier installation through the folder the
# first one registered, and so shows the search window, the previous-installation page and the
# ready-to-update page.
make_update_medium() {
    local source=$1 medium=$2
    rm -rf "$medium"
    cp -a "$source" "$medium"
    { printf '[SYSSTRINGS]\r\nINSTALLDIR=HKLM,"Software\\%s",InstallDir\r\n[SEARCHINSTALL]\r\ndemoview.exe\r\n' "$product"
      cat "$source/Install.ini"; } >"$medium/Install.ini"
}
# The same medium as a network installation: the installation set is put into a shared folder
# and the network final page closes it.
make_network_medium() {
    local source=$1 medium=$2
    rm -rf "$medium"
    cp -a "$source" "$medium"
    { printf '[NETINSTALL]\r\n[DEFAULTDIRNET]\r\nC:\\Norvane Share\r\n[STRINGSNET]\r\nTALMREG=Software\\%s\r\n' "$product"
      printf '[FINALTEXTNET]\r\nThe Demo Viewer can now be installed from %%DSTPATH%%.\r\nStart Rovexa.exe there on every computer.\r\n'
      cat "$source/Install.ini"; } >"$medium/Install.ini"
}
# The demo on two disks in the _DISK_N layout, made by the medium builder from the demo's
# template with a disk marker before the samples, which puts them on the second disk.
# make_two_disks MEDIUM windows|host
make_two_disks() {
    local medium=$1 edition=$2 template="$work/two-disks-template.ini"
    perl -0pe 's/^(\\samples\\)/#2\n$1/m' examples/demo/Install.ini >"$template"
    if [ "$edition" = windows ]; then
        make_medium "$medium" --layout underscore-disks --template "$template"
    else
        examples/demo/build-medium "$host/mediumbuild" "$medium" --layout underscore-disks --template "$template"
    fi
}

# ---- the Windows side ----
# drive PREFIX SCENARIO ANSWERS run|uninstall ARGS...: the driver answers the program; its
# transcript is $work/SCENARIO.windows, the screenshots go to $shots/SCENARIO.
drive() {
    local prefix=$1 scenario=$2 answers=$3
    shift 3
    mkdir -p "$shots/$scenario" "$prefix/drive_c/shots"
    rm -f "$prefix"/drive_c/shots/*.bmp
    cp "$windows/rvxdrive.exe" "$windows/rvxhook.dll" "$prefix/drive_c/"
    cp "$answers" "$prefix/drive_c/answers.txt"
    local transcript="$work/$scenario.windows"
    : >"$transcript"
    local code=0
    # From drive C:, so that the programs do not start in a folder of the host.
    (cd "$prefix/drive_c" && wine_in "$prefix" wine 'C:\rvxdrive.exe' 'C:\answers.txt' 'C:\transcript.txt' 'C:\shots' "$@") 2>&1 |
        grep -v -e "wine32 is missing" -e "multiarch needs" -e "dpkg --add-architecture" -e "apt-get install wine32" || true
    wine_wait "$prefix"
    [ -f "$prefix/drive_c/transcript.txt" ] && tr -d '\r' <"$prefix/drive_c/transcript.txt" >>"$transcript"
    rm -f "$prefix/drive_c/transcript.txt"
    local bitmap
    for bitmap in "$prefix"/drive_c/shots/*.bmp; do
        [ -e "$bitmap" ] || continue
        convert "$bitmap" "$shots/$scenario/$(basename "${bitmap%.bmp}").png"
        rm -f "$bitmap"
    done
    grep -q '^EXIT ' "$transcript" || code=1
    return $code
}

journal_end() { echo $(($(wc -l <"$1/journal.log") + 1)); }

windows_exit_code() { sed -n 's/^EXIT code=//p' "$work/$1.windows" | tail -n 1; }

# ---- the host side ----
host_machine() {
    local machine=$1
    rm -rf "$machine"
    "$host/simmachine" create "$machine" >/dev/null
}
# host_install MACHINE MEDIUM ANSWERS [--program WINDOWS-PATH] [-- ARGUMENTS...]
host_install() {
    local machine=$1 medium=$2 answers=$3
    shift 3
    local options=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    "$host/rovexa" --machine "$machine" --medium "$medium" --ui "script:$answers" "${options[@]}" -- "$@" \
        </dev/null >"$work/host-$(basename "$machine").log" 2>&1 || true
}

# ---- comparisons ----
# compare_transcripts SCENARIO MACHINE [FROM-LINE]: from that line of the host journal on (the
# whole journal without it), as a later run on the same machine adds to the journal.
compare_transcripts() {
    local scenario=$1 machine=$2 from=${3:-1}
    tail -n "+$from" "$machine/journal.log" >"$work/$scenario.journal"
    if ! "$compare" "$work/$scenario.journal" "$work/$scenario.windows" >"$work/$scenario.parity"; then
        fail "$scenario: the editions' interactions differ"
        sed 's/^/   /' "$work/$scenario.parity"
    fi
}

# compare_screen SCENARIO SHOT MACHINE SCREEN-LINE: a screenshot of the Windows edition against the
# host's picture of the same moment, the first SCREEN line of the host journal that matches the
# pattern; without one, the last progress picture before the first PROGRESS close. Compared are
# the background's bands down the right edge (each component within 2) and the bars' fills
# (each edge within 4 pixels), as tests/support/screen_parity.h says.
compare_screen() {
    local scenario=$1 shot=$2 machine=$3 pattern=${4:-} line file
    if [ -n "$pattern" ]; then
        line=$(grep -m 1 "^SCREEN $pattern file=" "$machine/journal.log" || true)
    else
        line=$(awk '/^SCREEN moment=progress file=/ { last = $0 } /^PROGRESS action=close/ { print last; exit }' "$machine/journal.log")
    fi
    file=$(sed -n 's/.* file="\(.*\)"$/\1/p' <<<"$line")
    shot=$(find "$shots/$scenario" -name "*-$shot.png" | sort | head -n 1)
    if [ -z "$shot" ] || [ -z "$file" ]; then
        fail "$scenario: no screenshot ${2} or no host picture (${pattern:-progress closing}) to compare"
        return
    fi
    if ! "$screen_compare" "$shot" "$machine/$file" >"$work/$scenario.$2.screen" 2>&1; then
        fail "$scenario: the screens differ ($(basename "$shot") against $file)"
        sed 's/^/   /' "$work/$scenario.$2.screen"
    fi
}

# The special folders' paths as their names, so that both systems' logs compare.
normalise_folders() {
    local file=$1 pairs=$2
    perl -e '
        my ($file, $pairs) = @ARGV;
        open my $map, "<", $pairs or die "cannot read $pairs\n";
        my @pairs = map { chomp; [split /\t/] } <$map>;
        open my $in, "<", $file or die "cannot read $file\n"; local $/; my $text = <$in>; close $in;
        for my $pair (sort { length($b->[1]) <=> length($a->[1]) } @pairs) {
            my ($name, $path) = @$pair; next unless length $path;
            $text =~ s/\Q$path\E/<$name>/gi;
        }
        $text =~ s/\r\n/\n/g;
        print $text;' "$file" "$pairs"
}
host_folders() {
    sed -n '/^\[folders\]/,/^\[/p' "$1/machine.ini" | grep '=' | sed 's/=/\t/' | tr -d '\r'
}
wine_folders() {
    local prefix=$1 key name
    for key in 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
               'HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'; do
        wine_in "$prefix" wine reg query "$key" 2>/dev/null | tr -d '\r' |
            sed -n 's/^    \(.*[^ ]\)    REG_SZ    \(.*\)$/\1\t\2/p'
    done | while IFS=$'\t' read -r name path; do
        case "$name" in
        Programs) printf 'programs\t%s\n' "$path" ;;
        Desktop) printf 'desktop\t%s\n' "$path" ;;
        'Start Menu') printf 'start_menu\t%s\n' "$path" ;;
        Startup | StartUp) printf 'startup\t%s\n' "$path" ;;
        'Common Programs') printf 'common_programs\t%s\n' "$path" ;;
        'Common Desktop') printf 'common_desktop\t%s\n' "$path" ;;
        'Common Start Menu') printf 'common_start_menu\t%s\n' "$path" ;;
        Personal) printf 'personal\t%s\n' "$path" ;;
        esac
    done
}

# Files of the installation folder in both editions: the same names, and the same contents but
# for Dismara.exe, the log (compared on its own) and shortcut files (their optional parts differ).
compare_files() {
    local scenario=$1 machine=$2 prefix=$3
    local host_dir="$machine/drives/C/$host_install_dir" wine_dir
    wine_dir=$(wine_c "$prefix" "$install_dir")
    if ! { diff <(cd "$host_dir" && find . | sort) <(cd "$wine_dir" && find . | sort) &&
           diff -r -x Dismara.exe -x '*.nvu' -x '*.lnk' "$host_dir" "$wine_dir"; } >"$work/$scenario.files.diff" 2>&1; then
        fail "$scenario: the installed files differ"
        sed 's/^/   /' "$work/$scenario.files.diff" | head -n 20
    fi
}

compare_logs() {
    local scenario=$1 machine=$2 prefix=$3
    host_folders "$machine" >"$work/$scenario.host-folders"
    wine_folders "$prefix" >"$work/$scenario.wine-folders"
    normalise_folders "$machine/drives/C/$host_install_dir/demoview.nvu" "$work/$scenario.host-folders" >"$work/$scenario.host.nvu" || true
    normalise_folders "$(wine_c "$prefix" "$install_dir\\demoview.nvu")" "$work/$scenario.wine-folders" >"$work/$scenario.wine.nvu" || true
    if ! diff "$work/$scenario.host.nvu" "$work/$scenario.wine.nvu" >"$work/$scenario.log.diff"; then
        fail "$scenario: the uninstall logs differ"
        sed 's/^/   /' "$work/$scenario.log.diff" | head -n 20
    fi
}

# The values of one registry key in the registry editor's format, sorted, from the host machine's
# registry.reg or from a prefix's export.
host_key() { key_values "$1/registry.reg" "$2"; }
wine_key() {
    local prefix=$1 key=$2 out="$work/export.reg"
    rm -f "$out"
    wine_in "$prefix" wine reg export "$key" 'C:\export.reg' /y >/dev/null 2>&1 || true
    [ -f "$prefix/drive_c/export.reg" ] && iconv -f UTF-16 -t UTF-8 "$prefix/drive_c/export.reg" >"$out"
    rm -f "$prefix/drive_c/export.reg"
    [ -f "$out" ] && key_values "$out" "$key"
}
key_values() {
    local file=$1 key=${2/#HKLM/HKEY_LOCAL_MACHINE}
    tr -d '\r' <"$file" | awk -v key="[${key,,}]" '
        /^\[/ { inside = (tolower($0) == key); next }
        inside && NF { print }' | sort
}

compare_registry() {
    local scenario=$1 machine=$2 prefix=$3 key
    for key in "HKLM\\Software\\$product" "HKLM\\Software\\$product\\Setup" "$uninstall_key"; do
        if ! diff <(host_key "$machine" "$key") <(wine_key "$prefix" "$key") >"$work/$scenario.registry.diff"; then
            fail "$scenario: the registry values of $key differ"
            sed 's/^/   /' "$work/$scenario.registry.diff"
        fi
    done
}

# The start-menu shortcut, read with lnkinfo: its target and working folder.
check_shortcut() {
    local scenario=$1 prefix=$2 folder link=""
    # In the start menu of every user or of this one, as the system lets the installer choose.
    for folder in common_programs programs; do
        local programs
        programs=$(wine_folders "$prefix" | sed -n "s/^$folder\t//p" | head -n 1)
        [ -n "$programs" ] && [ -f "$(wine_c "$prefix" "${programs#C:\\}\\Norvane\\Demo Viewer.lnk")" ] &&
            link=$(wine_c "$prefix" "${programs#C:\\}\\Norvane\\Demo Viewer.lnk")
    done
    if [ -z "$link" ]; then
        fail "$scenario: no shortcut Norvane\\Demo Viewer.lnk in the start menu"
        return
    fi
    lnkinfo "$link" >"$work/$scenario.lnkinfo" 2>&1 || true
    grep -qi "demoview.exe" "$work/$scenario.lnkinfo" || fail "$scenario: the shortcut does not lead to demoview.exe"
    grep -qi "Working directory.*$product" "$work/$scenario.lnkinfo" || fail "$scenario: the shortcut has no working folder"
}

check_installed() {
    local scenario=$1 prefix=$2 file
    for file in Dismara.exe demoview.exe readme.txt manual.txt demoview.nvu 'Samples\first.txt' 'Samples\second.txt'; do
        [ -f "$(wine_c "$prefix" "$install_dir\\$file")" ] || fail "$scenario: $file was not installed"
    done
    wine_in "$prefix" wine reg query "$uninstall_key" /v UninstallString >/dev/null 2>&1 ||
        fail "$scenario: no uninstall entry"
}

# A file stored plain on the medium is installed with the medium file's time (read-only ones
# too); one stored compressed keeps the time it was written.
check_times() {
    local scenario=$1 prefix=$2 medium=$3 stored installed checked=0
    for stored in program/readme.txt program/demoview.exe samples/first.txt; do
        [ -f "$medium/$stored" ] || continue
        case $stored in
        program/*) installed=$(wine_c "$prefix" "$install_dir\\${stored#program/}") ;;
        samples/*) installed=$(wine_c "$prefix" "$install_dir\\Samples\\${stored#samples/}") ;;
        esac
        [ "$(stat -c %Y "$installed")" = "$(stat -c %Y "$medium/$stored")" ] ||
            fail "$scenario: ${stored#*/} was installed with another time than the medium's"
        checked=$((checked + 1))
    done
    [ "$checked" -gt 0 ] || fail "$scenario: no file of the medium is stored plain, so no time was checked"
}

expect_exit() {
    local scenario=$1 wanted=$2 got
    got=$(windows_exit_code "$scenario")
    [ "$got" = "$wanted" ] || fail "$scenario: Rovexa/Dismara ended with exit code '${got}', not $wanted"
}

# ---- the scenarios ----
started=$(date +%s)
echo "== GUI tests under Wine (screenshots in $shots)"
wine_start_display
medium="$work/medium"
make_medium "$medium"
template="$work/template-prefix"
wine_make_template "$template"
echo "-- template prefix ready after $(($(date +%s) - started)) s"

scenario_attended() {
    local prefix="$work/prefix-attended" machine="$work/machine-attended" answers=tests/wine/attended.answers
    wine_fresh_prefix "$template" "$prefix" "$medium"
    drive "$prefix" attended "$answers" run 'D:\Rovexa.exe' || fail "attended: the driver stopped"
    expect_exit attended 0
    check_installed attended "$prefix"
    check_times attended "$prefix" "$medium"
    check_shortcut attended "$prefix"
    host_machine "$machine"
    host_install "$machine" "$demo" "$answers"
    compare_transcripts attended "$machine"
    compare_screen attended page-104 "$machine" "moment=page id=104"
    compare_screen attended window-130 "$machine"
    compare_files attended "$machine" "$prefix"
    compare_logs attended "$machine" "$prefix"
    compare_registry attended "$machine" "$prefix"
    wine_in "$prefix" wineserver -k 2>/dev/null || true
}

# The attended installation in German (/D) and in English (/E): every page and message in the
# language library's texts, in both editions.
scenario_attended_language() {
    local letter=$1 name=$2 answers=$3
    local prefix="$work/prefix-$name" machine="$work/machine-$name"
    wine_fresh_prefix "$template" "$prefix" "$medium"
    drive "$prefix" "$name" "$answers" run 'D:\Rovexa.exe' "/$letter" || fail "$name: the driver stopped"
    expect_exit "$name" 0
    check_installed "$name" "$prefix"
    host_machine "$machine"
    host_install "$machine" "$demo" "$answers" -- "/$letter"
    grep -q "^LIBRARY .*result=loaded" "$machine/journal.log" || fail "$name: the host edition did not load the library"
    compare_transcripts "$name" "$machine"
    compare_files "$name" "$machine" "$prefix"
    wine_in "$prefix" wineserver -k 2>/dev/null || true
}
scenario_german() { scenario_attended_language D german tests/wine/german.answers; }
scenario_english() { scenario_attended_language E english tests/wine/attended.answers; }

# A second installation over the attended one (its prefix and machine): the search finds it
# through the registry, the update goes into its folder.
scenario_update() {
    local prefix="$work/prefix-attended" machine="$work/machine-attended" answers=tests/wine/update.answers
    local update_medium="$work/medium-update" host_medium="$work/host-medium-update" from
    make_update_medium "$medium" "$update_medium"
    ln -sfn "$update_medium" "$prefix/dosdevices/d:"
    drive "$prefix" update "$answers" run 'D:\Rovexa.exe' || fail "update: the driver stopped"
    expect_exit update 0
    check_installed update "$prefix"
    make_update_medium "$demo" "$host_medium"
    from=$(journal_end "$machine")
    host_install "$machine" "$host_medium" "$answers"
    compare_transcripts update "$machine" "$from"
    compare_files update "$machine" "$prefix"
    compare_registry update "$machine" "$prefix"
    wine_in "$prefix" wineserver -k 2>/dev/null || true
}

# A network installation: the installation set goes into a shared folder, the network final
# page ends it.
scenario_network() {
    local prefix="$work/prefix-network" machine="$work/machine-network" answers=tests/wine/network.answers
    local network_medium="$work/medium-network" host_medium="$work/host-medium-network"
    make_network_medium "$medium" "$network_medium"
    wine_fresh_prefix "$template" "$prefix" "$network_medium"
    drive "$prefix" network "$answers" run 'D:\Rovexa.exe' || fail "network: the driver stopped"
    expect_exit network 0
    local file share
    share=$(wine_c "$prefix" 'Norvane Share')
    # As the medium stores them: plain, or compressed under the name ending in "_".
    for file in program/demoview.exe program/readme.txt samples/first.txt; do
        [ -f "$share/$file" ] || [ -f "$share/${file%?}_" ] || fail "network: $file is not in the shared folder"
    done
    # The script that the computers install from, without its network section.
    file=$(find "$share" -maxdepth 1 -iname install.ini | head -n 1)
    if [ -z "$file" ] || grep -qi '^\[NETINSTALL\]' "$file"; then fail "network: no installation script for the computers"; fi
    make_network_medium "$demo" "$host_medium"
    host_machine "$machine"
    host_install "$machine" "$host_medium" "$answers"
    compare_transcripts network "$machine"
    wine_in "$prefix" wineserver -k 2>/dev/null || true
}

scenario_unattended() {
    local prefix="$work/prefix-unattended" machine="$work/machine-unattended" answers="$work/none.answers"
    : >"$answers"
    wine_fresh_prefix "$template" "$prefix" "$medium"
    drive "$prefix" unattended "$answers" run 'D:\Rovexa.exe' /E 'D:\unattended.ANS' || fail "unattended: the driver stopped"
    expect_exit unattended 0
    check_installed unattended "$prefix"
    host_machine "$machine"
    host_install "$machine" "$demo" "$answers" -- /E 'D:\unattended.ANS'
    compare_transcripts unattended "$machine"
    compare_files unattended "$machine" "$prefix"
    compare_logs unattended "$machine" "$prefix"
    compare_registry unattended "$machine" "$prefix"
    wine_in "$prefix" wineserver -k 2>/dev/null || true
}

scenario_uninstall() {
    local prefix="$work/prefix-uninstall" machine="$work/machine-uninstall" none="$work/none.answers"
    local answers=tests/wine/uninstall.answers
    wine_fresh_prefix "$template" "$prefix" "$medium"
    drive "$prefix" uninstall-setup "$none" run 'D:\Rovexa.exe' /E 'D:\unattended.ANS' || fail "uninstall: installing stopped"
    # A file of the user's in the application's folder: the leftover page offers it.
    printf 'my notes\r\n' >"$(wine_c "$prefix" "$install_dir\\notes.txt")"
    drive "$prefix" uninstall "$answers" uninstall "$product" || fail "uninstall: the driver stopped"
    expect_exit uninstall 0
    [ ! -e "$(wine_c "$prefix" "$install_dir")" ] || fail "uninstall: the application's folder is still there: $(ls "$(wine_c "$prefix" "$install_dir")")"
    if wine_in "$prefix" wine reg query "$uninstall_key" >/dev/null 2>&1; then fail "uninstall: the uninstall entry is still there"; fi
    if wine_in "$prefix" wine reg query "HKLM\\Software\\$product" >/dev/null 2>&1; then fail "uninstall: the product's key is still there"; fi
    host_machine "$machine"
    host_install "$machine" "$demo" "$none" -- /E 'D:\unattended.ANS'
    printf 'my notes\r\n' >"$machine/drives/C/$host_install_dir/notes.txt"
    "$host/simmachine" uninstall "$machine" "$product" --ui "script:$answers" </dev/null >/dev/null 2>&1 || true
    compare_transcripts uninstall "$machine"
    wine_in "$prefix" wineserver -k 2>/dev/null || true
}

scenario_restart() {
    local prefix="$work/prefix-restart" machine="$work/machine-restart" answers="$work/restart.answers"
    local restart_medium="$work/medium-restart"
    make_restart_medium "$medium" "$restart_medium"
    cat tests/wine/attended.answers tests/wine/restart.answers >"$answers"
    wine_fresh_prefix "$template" "$prefix" "$restart_medium"
    drive "$prefix" restart "$answers" run 'D:\Rovexa.exe' || fail "restart: the driver stopped"
    expect_exit restart 0
    local host_medium="$work/host-medium-restart"
    make_restart_medium "$demo" "$host_medium"
    host_machine "$machine"
    host_install "$machine" "$host_medium" "$answers"
    compare_transcripts restart "$machine"
    # The uninstaller started with an unquoted program path that holds blanks still finds its log.
    wine_in "$prefix" wine reg add "$uninstall_key" /v UninstallString /f \
        /d "C:\\$install_dir\\Dismara.exe C:\\$install_dir\\demoview.nvu" >/dev/null 2>&1
    drive "$prefix" unquoted tests/wine/unquoted.answers uninstall "$product" || fail "unquoted: the driver stopped"
    expect_exit unquoted 2
    restart_now "$prefix" "$machine" "$restart_medium" "$host_medium"
    wine_in "$prefix" wineserver -k 2>/dev/null || true
}

# The restart accepted, in the restart scenario's prefix and machine. Under Wine the system's
# restart (ExitWindowsEx) starts "wineboot --kill": it ends the programs of the prefix and
# carries out what waits for the next
# start of the prefix, here a RunOnce command that leaves a mark. Nothing outside the prefix
# is touched. (The driver itself outlives it and records Rovexa's exit.)
restart_now() {
    local prefix=$1 machine=$2 restart_medium=$3 host_medium=$4 answers=tests/wine/restart-now.answers from
    local run_once='HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce'
    wine_in "$prefix" wine reg add "$run_once" /v rvxrestarted /d 'cmd /c echo restarted>C:\restarted.txt' /f >/dev/null 2>&1
    drive "$prefix" restart-now "$answers" run 'D:\Rovexa.exe' || true
    grep -q '^PAGE id=124 .*-> button=1' "$work/restart-now.windows" || fail "restart-now: the restart was not accepted"
    [ -f "$prefix/drive_c/restarted.txt" ] || fail "restart-now: the prefix was not restarted (no RunOnce mark)"
    from=$(journal_end "$machine")
    host_install "$machine" "$host_medium" "$answers"
    compare_transcripts restart-now "$machine" "$from"
    tail -n "+$from" "$machine/journal.log" | grep -q '^RESTART' || fail "restart-now: the host edition did not restart"
}

scenario_disk_prompt() {
    local prefix="$work/prefix-disks" machine="$work/machine-disks" answers=tests/wine/disks.answers
    local disks="$work/medium-disks" host_disks="$work/host-medium-disks"
    make_two_disks "$disks" windows
    wine_fresh_prefix "$template" "$prefix" "$disks"
    drive "$prefix" disks "$answers" run 'D:\_DISK_1\Rovexa.exe' /E 'D:\_DISK_1\unattended.ANS' || fail "disks: the driver stopped"
    expect_exit disks 0
    check_installed disks "$prefix"
    make_two_disks "$host_disks" host
    host_machine "$machine"
    host_install "$machine" "$host_disks" "$answers" --program 'D:\_DISK_1\Rovexa.exe' -- /E 'D:\_DISK_1\unattended.ANS'
    compare_transcripts disks "$machine"
    compare_files disks "$machine" "$prefix"
    wine_in "$prefix" wineserver -k 2>/dev/null || true
}

# The same medium with the product's web address on the final page.
make_web_medium() {
    local source=$1 medium=$2
    rm -rf "$medium"
    cp -a "$source" "$medium"
    { printf '[WWWINFOTEXT]\r\nUpdates of the Demo Viewer are on the Internet.\r\n[WWWLINK]\r\n%s\r\n' "$web_address"
      cat "$source/Install.ini"; } >"$medium/Install.ini"
}

# The final page's web button: the address is opened with the system's browser (in the prefix,
# a stand-in command that writes what it was given) and the page closes as OK does.
scenario_web() {
    local prefix="$work/prefix-web" machine="$work/machine-web" answers=tests/wine/web.answers
    local web_medium="$work/medium-web" host_medium="$work/host-medium-web" opened
    make_web_medium "$medium" "$web_medium"
    wine_fresh_prefix "$template" "$prefix" "$web_medium"
    wine_in "$prefix" wine reg add 'HKCR\http\shell\open\command' /ve /f \
        /d 'C:\windows\system32\cmd.exe /c echo %1>C:\opened.txt' >/dev/null 2>&1
    drive "$prefix" web "$answers" run 'D:\Rovexa.exe' || fail "web: the driver stopped"
    expect_exit web 0
    opened=$(wine_c "$prefix" opened.txt)
    local waited=0
    while [ ! -s "$opened" ] && [ $waited -lt 50 ]; do sleep 0.2; waited=$((waited + 1)); done
    grep -qi "http://$web_address" "$opened" 2>/dev/null || fail "web: the browser was not given http://$web_address"
    make_web_medium "$demo" "$host_medium"
    host_machine "$machine"
    host_install "$machine" "$host_medium" "$answers"
    compare_transcripts web "$machine"
    grep -q "^OPEN .*http://$web_address" "$machine/journal.log" || fail "web: the host edition opened no browser"
    wine_in "$prefix" wineserver -k 2>/dev/null || true
}

# The library search: the probe makes the restriction both programs make first (WinMain), then
# a library planted beside it and in the current folder must not load by name, and a medium's
# library loaded by full path must take its dependency from beside it, not the planted copy.
scenario_library_search() {
    local prefix="$work/prefix-libraries" probe_medium="$work/medium-libraries" drive_c
    rm -rf "$probe_medium"
    mkdir -p "$probe_medium/lib"
    cp "$windows/rvxmedium.dll" "$windows/rvxbeside.dll" "$probe_medium/lib/"
    wine_fresh_prefix "$template" "$prefix" "$probe_medium"
    drive_c=$(wine_c "$prefix" "")
    mkdir -p "$drive_c/probe" "$drive_c/planted"
    cp "$windows/rvxlibprobe.exe" "$windows/rvxplanted.dll" "$drive_c/probe/"
    cp "$windows/rvxplanted.dll" "$windows/rvxbeside.dll" "$drive_c/planted/"
    if ! (cd "$drive_c/planted" && wine_in "$prefix" wine 'C:\probe\rvxlibprobe.exe' 'D:\lib\rvxmedium.dll') >"$work/libraries.log" 2>&1; then
        fail "libraries: the library search is not restricted as it should be"
        grep -v -e "wine32" -e "multiarch" -e "dpkg --add-architecture" "$work/libraries.log" | sed 's/^/   /'
    fi
    wine_in "$prefix" wineserver -k 2>/dev/null || true
}

# The hyperlink control in a real window: the probe's dialog (rvxlinks.exe) with three links,
# clicked by rvxlinkcheck.exe, which checks their rectangles against their
# alignment, the posted commands, the visited colour and the open-error box, with screenshots
# before and after the visits. The left link's web address opens through the prefix's address
# association, the centre link's document (of a type with no association) through the registered
# web browser, both stand-in commands that write what they were given; the right link's
# document does not exist.
scenario_links() {
    local prefix="$work/prefix-links" drive_c links opened
    wine_fresh_prefix "$template" "$prefix" "$medium"
    drive_c=$(wine_c "$prefix" "")
    links="$drive_c/links"
    mkdir -p "$links" "$drive_c/shots"
    rm -f "$drive_c"/shots/*.bmp
    cp "$windows/rvxlinks.exe" "$windows/rvxlinkcheck.exe" "$links/"
    printf 'Release notes of the Demo Viewer\r\n' >"$links/notes.rvxnote"
    printf '@echo %%*>C:\\links\\browser.txt\r\n' >"$links/browser.cmd"
    wine_in "$prefix" wine reg add 'HKCR\http\shell\open\command' /ve /f \
        /d 'C:\windows\system32\cmd.exe /c echo %1>C:\links\web.txt' >/dev/null 2>&1
    wine_in "$prefix" wine reg add 'HKCR\.htm' /ve /f /d RvxTestBrowser >/dev/null 2>&1
    wine_in "$prefix" wine reg add 'HKCR\RvxTestBrowser\shell\open\command' /ve /f \
        /d 'C:\windows\system32\cmd.exe /c C:\links\browser.cmd "%1"' >/dev/null 2>&1
    if ! (cd "$drive_c" && wine_in "$prefix" wine 'C:\links\rvxlinkcheck.exe' 'C:\shots' 'C:\links\rvxlinks.exe') \
        >"$work/links.log" 2>&1; then
        fail "links: the hyperlinks do not behave as they should"
        grep -v -e "wine32" -e "multiarch" -e "dpkg --add-architecture" "$work/links.log" | grep -v '^ok: ' | sed 's/^/   /'
    fi
    mkdir -p "$shots/links"
    local bitmap
    for bitmap in "$drive_c"/shots/*.bmp; do
        [ -e "$bitmap" ] || continue
        convert "$bitmap" "$shots/links/$(basename "${bitmap%.bmp}").png"
    done
    for opened in "web.txt:http://www.example.test/links" 'browser.txt:C:\links\notes.rvxnote'; do
        local file="$links/${opened%%:*}" wanted="${opened#*:}" waited=0
        while [ ! -s "$file" ] && [ $waited -lt 50 ]; do sleep 0.2; waited=$((waited + 1)); done
        grep -qiF "$wanted" "$file" 2>/dev/null || fail "links: ${opened%%:*} does not hold $wanted: $(cat "$file" 2>/dev/null)"
    done
    wine_in "$prefix" wineserver -k 2>/dev/null || true
}

# The unattended installation with "/DEBUG": both editions write the same debug trace
# ("c:\install.log", the special folders' paths by their names), from the same code.
# Dismara.exe's size in its file line is the medium's, whose Dismara.exe is the edition's own.
trace_without_uninstaller_size() { sed 's/^\(Transfer file: .*Dismara\.exe,.*,\)[0-9]*$/\1SIZE/I'; }
scenario_trace() {
    local prefix="$work/prefix-trace" machine="$work/machine-trace" answers=tests/wine/debug.answers
    wine_fresh_prefix "$template" "$prefix" "$medium"
    drive "$prefix" trace "$answers" run 'D:\Rovexa.exe' /DEBUG /E 'D:\unattended.ANS' || fail "trace: the driver stopped"
    expect_exit trace 0
    host_machine "$machine"
    host_install "$machine" "$demo" "$answers" -- /DEBUG /E 'D:\unattended.ANS'
    compare_transcripts trace "$machine"
    host_folders "$machine" >"$work/trace.host-folders"
    wine_folders "$prefix" >"$work/trace.wine-folders"
    if [ ! -s "$machine/drives/C/install.log" ] || [ ! -s "$prefix/drive_c/install.log" ]; then
        fail "trace: an edition wrote no debug trace"
    elif ! diff <(normalise_folders "$machine/drives/C/install.log" "$work/trace.host-folders" | trace_without_uninstaller_size) \
                <(normalise_folders "$prefix/drive_c/install.log" "$work/trace.wine-folders" | trace_without_uninstaller_size) \
                >"$work/trace.diff"; then
        fail "trace: the editions' debug traces differ"
        sed 's/^/   /' "$work/trace.diff" | head -n 20
    fi
    wine_in "$prefix" wineserver -k 2>/dev/null || true
}

# Every scenario, or those named after the build folder.
scenarios=(attended update unattended trace uninstall restart disk_prompt network web links library_search german english)
[ $# -gt 1 ] && scenarios=("${@:2}")
# A prefix takes about 700 MB: those of passed scenarios are removed as the run goes, so that a
# whole run does not fill the disk; those of failed ones stay for a look. The update scenario goes
# on in the attended one's prefix, so that one stays until update has run.
kept_prefixes=" "
remove_passed_prefixes() {
    local scenario=$1 prefix
    for prefix in "$work"/prefix-*; do
        [ -d "$prefix" ] || continue
        case "$kept_prefixes" in *" $prefix "*) continue ;; esac
        [ "$scenario" = attended ] && [ "$prefix" = "$work/prefix-attended" ] && continue
        rm -rf "$prefix"
    done
}
keep_failed_prefixes() {
    local prefix
    for prefix in "$work"/prefix-*; do
        [ -d "$prefix" ] && kept_prefixes+="$prefix "
    done
}
for scenario in "${scenarios[@]}"; do
    before=$failures
    scenario_start=$(date +%s)
    "scenario_$scenario"
    if [ "$failures" -eq "$before" ]; then
        result=passed
        remove_passed_prefixes "$scenario"
    else
        result=FAILED
        keep_failed_prefixes
    fi
    echo "-- $scenario: $result ($(($(date +%s) - scenario_start)) s)"
done
echo "-- the GUI tests took $(($(date +%s) - started)) s; screenshots: $(find "$shots" -name '*.png' | wc -l) in $shots"
[ "$failures" -eq 0 ]
