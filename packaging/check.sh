#!/usr/bin/env bash
# Checks the desktop integration as the programs that read it do.
#   check.sh validate RESOURCES-DIR  the desktop entry and metainfo with their validators,
#       the Dolphin service menu with the desktop entry validator less its complaints about
#       KDE's own extensions, the Nemo action for the keys without which Nemo drops it;
#   check.sh install BUILD-DIR       an install asked of GLib as a desktop would ask it;
#   check.sh deb BUILD-DIR SOURCE-DIR  the .deb cpack builds: reproducible, lintian-clean.
# Exits 0, 1 on a failure, 77 (skipped) without the tools.
set -u
mode=${1:?usage: check.sh validate|install|deb DIR...}
shift
need() { command -v "$1" >/dev/null || { echo "SKIP: $1 is not installed"; exit 77; }; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() {
    local what=$1
    shift
    if "$@"; then echo "PASS: $what"; else echo "FAIL: $what"; failed=1; fi
}
value() { # FILE GROUP KEY
    awk -v group="[$2]" -v key="$3=" '/^\[/ { inside = ($0 == group); next }
        inside && index($0, key) == 1 { print substr($0, length(key) + 1); exit }' "$1"
}

check_files() {
    need desktop-file-validate && need appstreamcli
    check "the desktop entry" desktop-file-validate "$1/io.github.morvane.Morvane.desktop"
    check "the metainfo" appstreamcli validate --pedantic --no-net \
        "$1/io.github.morvane.Morvane.metainfo.xml"
    local menu=$1/morvane-change-extension.desktop nemo=$1/morvane-change-extension.nemo_action
    check "the Dolphin service menu" eval '! desktop-file-validate "$menu" 2>&1 |
        grep -Ev "is only valid for type \"Application\"|\"all\" is an unregistered media type"'
    check "the Nemo action" eval '[[ $(grep -m1 "^\[" "$nemo") == "[Nemo Action]" &&
        -n $(value "$nemo" "Nemo Action" Name) && -n $(value "$nemo" "Nemo Action" Exec) &&
        -n $(value "$nemo" "Nemo Action" Selection) &&
        -n $(value "$nemo" "Nemo Action" Extensions)$(value "$nemo" "Nemo Action" Mimetypes) ]]'
    # Every language the program speaks, its entries on the desktop speak too.
    local entry=$1/io.github.morvane.Morvane.desktop info=$1/io.github.morvane.Morvane.metainfo.xml
    local ts l key
    for ts in "$1"/../translations/morvane_*.ts; do
        l=$(basename "$ts" .ts) && l=${l#morvane_}
        [[ $l == en ]] && continue
        local missing=()
        for key in Name GenericName Comment Keywords; do
            [[ -n $(value "$entry" "Desktop Entry" "$key[$l]") ]] || missing+=("$key")
        done
        [[ -n $(value "$menu" "Desktop Action changeExtension" "Name[$l]") ]] || missing+=(menu)
        [[ -n $(value "$nemo" "Nemo Action" "Name[$l]") ]] || missing+=(nemo)
        for key in name summary; do
            grep -q "<$key xml:lang=\"$l\">" "$info" || missing+=("metainfo $key")
        done
        check "the desktop entries in $l${missing:+ (missing: ${missing[*]})}" test -z "${missing[*]}"
    done
}

# Morvane handles no file type (a double-click never starts it), and the desktop entry and
# each right-click entry start "morvane" with the one file as its one argument.
check_install() {
    need gio && need update-desktop-database
    DESTDIR=$work/root cmake --install "$1" --prefix /usr >"$work/log" 2>&1 ||
        { cat "$work/log"; exit 1; }
    local share=$work/root/usr/share exec action q
    local menu=$share/kio/servicemenus/morvane-change-extension.desktop
    local nemo=$share/nemo/actions/morvane-change-extension.nemo_action
    # GLib sees the installed files, the MIME database and a stand-in that records its
    # arguments. It reads associations from the cache the package's trigger writes.
    mkdir -p "$work/bin" "$work/home" "$work/mime" "$work/files"
    printf '#!/bin/sh\nprintf "%%s\\n" "$#" "$@" >"$0.tmp" && mv "$0.tmp" "%s/args"\n' \
        "$work" >"$work/bin/morvane"
    chmod +x "$work/bin/morvane"
    ln -s /usr/share/mime "$work/mime/mime"
    update-desktop-database "$share/applications"
    desktop() {
        env -i PATH="$work/bin:/usr/bin:/bin" HOME="$work/home" XDG_CONFIG_DIRS="$work/home" \
            XDG_DATA_DIRS="$share:$work/mime" "$@"
    }
    for type in application/octet-stream application/x-zerosize text/plain inode/directory; do
        check "Morvane handles no $type" eval '! desktop gio mime "$type" | grep -i morvane'
    done

    file="$work/files/Holiday  photos 2024.dat"
    : >"$file"
    starts_with_file() { # DESKTOP-FILE [FILE]
        rm -f "$work/args"
        desktop gio launch "$@" || return 1
        for _ in {1..100}; do [[ -e $work/args ]] && break; sleep 0.1; done
        [[ $(cat "$work/args") == "1"$'\n'"$file" ]] || { echo "got: $(cat "$work/args")"; false; }
    }
    entry_for() { # EXEC NAME: an application entry running EXEC
        printf '[Desktop Entry]\nType=Application\nName=T\nExec=%s\n' "$1" >"$work/$2.desktop"
        echo "$work/$2.desktop"
    }
    check "the desktop entry starts morvane with the file" \
        starts_with_file "$share/applications/io.github.morvane.Morvane.desktop" "$file"
    # KDE puts the local path, quoted, for %f; Nemo puts it for %F, between the quotes
    # Quote= names, its double quotes escaped. Both then split the line as a shell would.
    action=$(value "$menu" "Desktop Entry" Actions)
    exec=$(value "$menu" "Desktop Action ${action%%;*}" Exec)
    check "Dolphin's entry starts morvane with the file" \
        starts_with_file "$(entry_for "${exec//%f/\"$file\"}" dolphin)"
    case $(value "$nemo" "Nemo Action" Quote) in double) q='"' ;; single) q="'" ;; *) q= ;; esac
    exec=$(value "$nemo" "Nemo Action" Exec)
    check "Nemo's entry starts morvane with the file" \
        starts_with_file "$(entry_for "${exec//%F/$q${file//\"/\\\"}$q}" nemo)"
    # KDE runs a service menu that root does not own only when it is executable.
    check "the service menu is executable for everyone" test "$(stat -c %a "$menu")" = 755
}

# One commit always gives the same bytes: every time stamp in the package (the archive
# members, the control and the data files) is the last commit's date, every file root's.
check_deb() {
    need dpkg-shlibdeps
    # The caller's SOURCE_DATE_EPOCH would hide whether the build finds the date itself.
    (cd "$1" && env -u SOURCE_DATE_EPOCH cpack -G DEB -B "$work" >"$work/log" 2>&1) ||
        { cat "$work/log"; exit 1; }
    deb=$(echo "$work"/*.deb)
    epoch=$(git -C "$2" log -1 --format=%ct 2>/dev/null) ||
        epoch=$(dpkg-parsechangelog -l "$2/packaging/changelog" -S Timestamp)
    unstamped() {
        local at=8 header size stamp
        # Each ar member: a 60-byte header (mtime at 16, size at 48), data padded to even.
        while ((at < $(stat -c %s "$deb"))); do
            header=$(tail -c +$((at + 1)) "$deb" | head -c 60)
            (($(echo ${header:16:12}) == epoch)) || echo "$header"
            size=$((${header:48:10}))
            at=$((at + 60 + size + size % 2))
        done
        stamp=$(TZ=UTC0 date -d "@$epoch" '+%Y-%m-%d %H:%M:%S')
        for part in ctrl-tarfile fsys-tarfile; do
            dpkg-deb --$part "$deb" | TZ=UTC0 tar -tv --full-time --numeric-owner |
                grep -v "^[^ ]* 0/0 .* $stamp "
        done
    }
    check "every time stamp is the last commit's, every file root's" eval '! unstamped | grep .'
    if command -v lintian >/dev/null; then
        check "lintian finds nothing but the first upload's note" \
            lintian --fail-on error,warning --suppress-tags initial-upload-closes-no-bugs "$deb"
    fi
}

case $mode in
validate) check_files "$@" ;;
install | deb) "check_$mode" "$@" ;;
*) echo "usage: check.sh validate|install|deb DIR..." && exit 1 ;;
esac
exit "$failed"
