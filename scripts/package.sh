#!/usr/bin/env bash
# Builds the Debian package build-package/vantrel_<version>_<arch>.deb.
#   scripts/package.sh          build it
#   scripts/package.sh --check  build it and prove it: the desktop entry, the AppStream data
#                               and lintian; install it with apt, start the installed trainer in
#                               a virtual X server with a private sound server (every library it
#                               loads from its dependencies, its window's icon the desktop
#                               icon), remove it again and look that nothing of it is left.
#                               Needs root or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

dir=build-package
app_id=com.quorbit.Vantrel
icon_sizes=(16 22 32 48 64 128 256)

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Debian's hardening flags, as its own packages are built with.
cmake -S . -B "$dir" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_INSTALL_PREFIX=/usr -DVANTREL_TESTS=OFF -DVANTREL_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$dir"
rm -f "$dir"/vantrel_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(realpath "$dir"/vantrel_*.deb)
echo "$deb"
[ "${1:-}" = "--check" ] || exit 0

scratch=$(mktemp -d)
installed=""
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
apt_get() { DEBIAN_FRONTEND=noninteractive $sudo apt-get -q -o DPkg::Lock::Timeout=600 "$@"; }
source scripts/pulse.sh
cleanup() {
    pulse_stop
    if [ -n "$installed" ]; then
        apt_get purge -y vantrel >/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "package check FAILED: $*" >&2
    exit 1
}
step() { echo "== $*"; }

step "Package contents"
dpkg-deb -f "$deb" Package Version Architecture Installed-Size Depends Recommends
root="$scratch/root"
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml"
for size in "${icon_sizes[@]}"; do
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    file -b "$png" | grep -q "^PNG image data, $size x $size," ||
        fail "$png is not a $size-pixel PNG"
done
file -b "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" | grep -q SVG ||
    fail "no scalable icon"
[ -f "$root/usr/share/doc/vantrel/usage.md" ] || fail "the user guide is not installed"

# Each AppStream screenshot is the repository's file at the path after the branch in its URL.
urls=$(sed -n 's|.*<image>\(.*\)</image>.*|\1|p' "$root/usr/share/metainfo/$app_id.metainfo.xml")
[ -n "$urls" ] || fail "the AppStream data has no screenshot"
for url in $urls; do
    shot_path=${url#*/main/}
    if git rev-parse --git-dir >/dev/null 2>&1; then
        git ls-files --error-unmatch "$shot_path" >/dev/null 2>&1 ||
            fail "the screenshot $url is not $shot_path in the repository"
    fi
    [ -f "$shot_path" ] || fail "the screenshot $url is not $shot_path in the source tree"
done
# One version everywhere: the package, its changelog and the latest AppStream release.
version=$(dpkg-deb -f "$deb" Version)
changelog_version=$(gzip -dc "$root/usr/share/doc/vantrel/changelog.gz" |
    sed -n '1s/^vantrel (\(.*\)).*/\1/p')
release=$(grep -o -m1 '<release version="[^"]*"' "$root/usr/share/metainfo/$app_id.metainfo.xml" |
    cut -d'"' -f2)
[ "$changelog_version" = "$version" ] && [ "$release" = "$version" ] ||
    fail "versions differ: package $version, changelog $changelog_version, AppStream $release"

step "lintian"
lintian --fail-on error "$deb" || fail "lintian found errors"

step "Install"
if dpkg-query -W -f='${Status}' vantrel 2>/dev/null | grep -q "ok installed"; then
    fail "vantrel is installed already; remove it first (apt-get purge vantrel)"
fi
installed=1
apt_get install -y "$deb"
dpkg -L vantrel >"$scratch/files"
entry=/usr/share/applications/$app_id.desktop
program=$(command -v "$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")") ||
    fail "Exec of $entry is not found"
[ "$program" = /usr/bin/vantrel ] || fail "Exec of $entry is $program"
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in "${icon_sizes[@]}"; do
    [ -f "/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png" ] ||
        fail "no $size-pixel icon $icon"
done
[ -f "/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
grep -q "<launchable type=\"desktop-id\">$(basename "$entry")</launchable>" \
    "/usr/share/metainfo/$app_id.metainfo.xml" || fail "AppStream does not launch $entry"

step "Start the installed trainer"
pulse_start || echo "No sound server could be started; the trainer starts without sound."
mkdir -p "$scratch/work"
shot=$(realpath -m "$dir/installed-window.png")
rm -f "$shot"
# The trainer runs until its screenshot hook closes it; meanwhile its window's icons are read.
cat >"$scratch/run.sh" <<'EOF'
"$@" &
pid=$!
window=""
for _ in $(seq 200); do
    window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    sleep 0.05
done
[ -z "$window" ] || xprop -id "$window" -notype 32c _NET_WM_ICON >"$WINDOW_ICONS"
wait "$pid"
EOF
# The loader's trace names every library the trainer loads, Qt's plugins included.
(cd "$scratch/work" && env -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$scratch/config" \
    VANTREL_SCREENSHOT="$shot" VANTREL_SCREENSHOT_DELAY_MS=1500 VANTREL_STARTUP_TIMES=1 \
    WINDOW_ICONS="$scratch/window-icons" timeout 60 xvfb-run -a -s "-screen 0 1280x1024x24" \
    bash "$scratch/run.sh" env LD_DEBUG=libs LD_DEBUG_OUTPUT="$scratch/loader" "$program") \
    2>"$scratch/stderr" ||
    { cat "$scratch/stderr" >&2; fail "the installed trainer did not start and close cleanly"; }
file -b "$shot" | grep -q "^PNG image data" || fail "no screenshot of the installed trainer"
grep "window shown after" "$scratch/stderr" || true
# The window's icon at 48 pixels is the desktop icon's picture, pixel for pixel.
[ -s "$scratch/window-icons" ] || fail "the trainer's window has no icon"
sed 's/^[^=]*= //' "$scratch/window-icons" | tr ',' '\n' | awk -v want=48 '{ v[NR] = $1 } END {
    for (i = 1; i < NR; i += 2 + v[i] * v[i + 1]) {
        if (v[i] == want && v[i + 1] == want) {
            for (j = i; j < i + 2 + want * want; j++) print v[j]
            exit
        }
    } }' >"$scratch/window-icon.txt"
QT_QPA_PLATFORM=offscreen "$dir/packaging/vantrel_icon_export" \
    --compare "$scratch/window-icon.txt" "/usr/share/icons/hicolor/48x48/apps/$icon.png" 0 \
    2>/dev/null ||
    fail "the window's icon is not the desktop icon $icon"
echo "screenshot: $shot"

# Every library it loaded comes from a package that vantrel depends on, or from one it
# recommends for what that package loads when present; so a fresh system gets what is needed.
recommends=$(dpkg-deb -f "$deb" Recommends | sed 's/([^)]*)//g; s/[,|]/ /g')
closure=$(apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts \
    --no-breaks --no-replaces --no-enhances vantrel $recommends | grep -v '^ ' | sort -u)
# The trainer's own process, that is: programs the system starts for it are the system's (with
# no session bus, D-Bus starts one through dbus-launch and dbus-daemon where dbus-x11 is there).
trace=$(grep -l "initialize program: $program\$" "$scratch"/loader.*) ||
    fail "the loader traced no $program"
others=$(sed -n 's/.*initialize program: //p' "$scratch"/loader.* |
    { grep -vx "$program" || true; } | sort -u | tr '\n' ' ')
[ -z "$others" ] || echo "programs started for it, whose libraries are their own: $others"
libraries=$(sed -n 's/.*calling init: //p' $trace | sort -u)
grep -q '/libqxcb\.so' <<<"$libraries" || fail "the X11 platform plugin was not loaded"
# Nor are the name-service modules that /etc/nsswitch.conf names, and what they need in turn:
# the C library loads them by the system's configuration, not by the program's.
services=$(sed 's/#.*//; /:/!d; s/^[^:]*://' /etc/nsswitch.conf | tr -s ' \t' '\n' |
    { grep -Ev '[][]|=' || true; } | sort -u)
system=""
for library in $libraries; do
    module=$(basename "$library")
    if [[ $module == libnss_*.so* ]] && grep -qx "$(sed 's/^libnss_//; s/\.so.*//' <<<"$module")" \
        <<<"$services"; then
        system+=$(realpath "$library" $(ldd "$library" | sed -n 's/.*=> \(\/[^ ]*\) .*/\1/p'))$'\n'
    fi
done
[ -z "$system" ] || echo "name-service modules and their libraries, the system's:" $system
outside=()
checked=0
for library in $libraries; do
    grep -qxF "$(realpath "$library")" <<<"$system" && continue
    checked=$((checked + 1))
    # Packages name a library under /lib or /usr/lib, whichever the loader did not use.
    owner=$(dpkg -S "$library" 2>/dev/null || dpkg -S "${library/#\/usr\/lib\//\/lib/}" \
        2>/dev/null || dpkg -S "${library/#\/lib\//\/usr\/lib\/}" 2>/dev/null) || owner="none"
    package=${owner%%:*}
    grep -qx "$package" <<<"$closure" || outside+=("$library ($package)")
done
[ ${#outside[@]} -eq 0 ] || fail "loaded from outside vantrel's dependencies: ${outside[*]}"
echo "$checked libraries loaded, all from vantrel's dependencies"

step "Remove"
apt_get purge -y vantrel
installed=""
if dpkg-query -W -f='${Status}' vantrel 2>/dev/null | grep -q "ok installed"; then
    fail "vantrel is still installed"
fi
# Directories shared with other packages stay; files and emptied folders of our own must go.
while read -r path; do
    if [ -d "$path" ] && [ ! -L "$path" ]; then
        if [ -z "$(ls -A "$path")" ] && ! dpkg -S "$path" >/dev/null 2>&1; then
            fail "$path is left behind"
        fi
    elif [ -e "$path" ] || [ -L "$path" ]; then
        fail "$path is left behind"
    fi
done <"$scratch/files"
echo "Package check passed: $(basename "$deb")"
