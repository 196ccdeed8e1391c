#!/usr/bin/env bash
# Builds the Debian package from a fresh release tree (tests and benchmarks
# off, so neither GoogleTest nor Google Benchmark is needed) and checks it:
# its file list, its Depends and Recommends, and that it installs, adds itself
# to xscreensaver's list, follows an xscreensaver upgrade, and removes and
# purges cleanly in a throw-away dpkg root. Needs dpkg-dev, file and fakeroot
# only for building; run as root for the dpkg root part.
# Usage: scripts/package-test.sh [BUILD_DIR]   (default build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
tree=${1:-build-package}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

fail() { echo "package-test: FAIL: $*" >&2; exit 1; }
step() { echo "package-test: $*"; }

step "building $tree"
cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DTARNWOOD_TESTS=OFF -DTARNWOOD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$tree" -j "$(nproc)" > "$tree.log" 2>&1 || { tail -40 "$tree.log"; fail "build failed (see $tree.log)"; }
rm -f "$tree"/tarnwood_*.deb
(cd "$tree" && cpack -G DEB >/dev/null)
version=$(sed -n 's/^project(Tarnwood VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb="$tree/tarnwood_${version}_amd64.deb"
[ -f "$deb" ] || fail "expected $deb"
step "built $deb"

work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT

# The file list: exactly these files and links, nothing else.
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|' | sort > "$work/files"
cat > "$work/expected" <<'LIST'
/etc/xdg/Velquist/Tarnwood.conf
/usr/bin/tarnwood
/usr/bin/tarnwood-config
/usr/bin/tarnwood-pak
/usr/bin/tarnwood-snapshot
/usr/lib/tarnwood/Tarnwood
/usr/lib/tarnwood/calendar.pak
/usr/lib/tarnwood/clock.pak
/usr/lib/tarnwood/config
/usr/lib/tarnwood/debug.pak
/usr/lib/tarnwood/main.pak
/usr/lib/tarnwood/preview.ppk
/usr/lib/tarnwood/tarnwood-pak
/usr/lib/tarnwood/tarnwood-snapshot
/usr/lib/tarnwood/utils.pak
/usr/libexec/xscreensaver/tarnwood
/usr/share/doc/tarnwood/README.md
/usr/share/man/man1/tarnwood-config.1.gz
/usr/share/man/man1/tarnwood-pak.1.gz
/usr/share/man/man1/tarnwood-snapshot.1.gz
/usr/share/man/man6/tarnwood.6.gz
/usr/share/xscreensaver/config/tarnwood.xml
LIST
grep -v '^/usr/share/doc/tarnwood/docs/.*\.png$' "$work/files" > "$work/files-without-shots"
diff -u "$work/expected" "$work/files-without-shots" || fail "file list differs (- expected, + packaged)"
grep -q '^/usr/share/doc/tarnwood/docs/scene.png$' "$work/files" || fail "screenshots missing"
dpkg-deb --fsys-tarfile "$deb" | tar -tv > "$work/listing"
grep -q 'usr/bin/tarnwood -> \.\./lib/tarnwood/Tarnwood$' "$work/listing" \
  || fail "/usr/bin/tarnwood is not a relative link to the player"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./etc/xdg/Velquist/Tarnwood.conf > "$work/conf"
printf '[Settings]\nPath=/usr/lib/tarnwood/\n' | cmp -s - "$work/conf" || fail "Tarnwood.conf: $(cat "$work/conf")"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/tarnwood/Tarnwood > "$work/player"
case "$(file -b "$work/player")" in
  *ELF*", stripped"*) ;;
  *) fail "the player is not a stripped executable: $(file -b "$work/player")" ;;
esac
step "file list ok"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libstdc++6 libsdl1.2debian libsdl1.2-compat-shim libsdl-image1.2 libpng16-16 libx11-6 'libglu1-mesa | libglu1'; do
  case ", $depends," in *", $lib"[\ ,]*) ;; *) fail "Depends lacks $lib: $depends" ;; esac
done
[ "$(dpkg-deb -f "$deb" Recommends)" = xscreensaver ] || fail "Recommends: $(dpkg-deb -f "$deb" Recommends)"
step "Depends: $depends"

# Dependency resolution against this machine's package lists, without installing.
if command -v apt-get >/dev/null; then
  apt-get install -s "./$deb" > "$work/apt" 2>&1 || { cat "$work/apt"; fail "apt cannot install the package"; }
  step "apt would install: $(grep -c '^Inst' "$work/apt") package(s)"
fi

if [ "$(id -u)" -ne 0 ]; then
  step "not root: skipping the install and removal in a throw-away root"
  exit 0
fi

# A throw-away dpkg root. Maintainer scripts run outside a chroot with
# DPKG_ROOT set (the root has no shell of its own). Every package named in
# Depends is there as an empty stand-in of a high version, so dpkg checks
# the dependencies and runs triggers as on a real system.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg_root() { dpkg --root="$root" --force-script-chrootless --force-not-root "$@"; }

stub_package() {
  local name=$1 dir="$work/stub-$1"
  mkdir -p "$dir/DEBIAN"
  printf 'Package: %s\nVersion: 99\nArchitecture: all\nMaintainer: test <test@invalid>\nDescription: stand-in\n' \
    "$name" > "$dir/DEBIAN/control"
  dpkg-deb --root-owner-group --build "$dir" "$work/stub-$name.deb" >/dev/null
}
stubs=()
for alternative in $(echo "$depends" | sed 's/([^)]*)//g; s/|[^,]*//g; s/,/ /g'); do
  stub_package "$alternative"
  stubs+=("$work/stub-$alternative.deb")
done
dpkg_root -i "${stubs[@]}" >/dev/null

# Stand-in for xscreensaver's app-defaults package: ships XScreenSaver-gl with
# a programs list and makes the unowned XScreenSaver link as Debian's does.
make_applist_package() {
  local version=$1 dir="$work/applist-$1"
  mkdir -p "$dir/DEBIAN" "$dir/etc/X11/app-defaults"
  cat > "$dir/DEBIAN/control" <<CONTROL
Package: fake-xscreensaver-gl
Version: $version
Architecture: all
Maintainer: test <test@invalid>
Description: stand-in for the xscreensaver app-defaults
CONTROL
  printf '/etc/X11/app-defaults/XScreenSaver-gl\n' > "$dir/DEBIAN/conffiles"
  cat > "$dir/DEBIAN/postinst" <<'SCRIPT'
#!/bin/sh
set -e
cd "${DPKG_ROOT:-}/etc/X11/app-defaults"
[ -e XScreenSaver ] || ln -sf XScreenSaver-gl XScreenSaver
SCRIPT
  chmod 755 "$dir/DEBIAN/postinst"
  # xscreensaver's own list when this machine has it, so that the real
  # daemon can read the result below; a small one otherwise.
  { printf '! stand-in version %s\n' "$version"
    if [ -f /etc/X11/app-defaults/XScreenSaver-gl ]; then
      cat /etc/X11/app-defaults/XScreenSaver-gl
    else
      printf '*timeout:\t0:10:00\n*programs:\t\t\t\\\n\t\t\t\tmaze --root\t\t\\n\\\n\t\t\t\t\\n\n'
    fi
  } > "$dir/etc/X11/app-defaults/XScreenSaver-gl"
  dpkg-deb --root-owner-group --build "$dir" "$work/applist-$version.deb" >/dev/null
}
make_applist_package 1
make_applist_package 2
applist="$root/etc/X11/app-defaults/XScreenSaver"

dpkg_root -i "$work/applist-1.deb" >/dev/null
[ "$(readlink "$applist")" = XScreenSaver-gl ] || fail "stand-in did not make its link"

dpkg_root -i "$deb" > "$work/install.log" 2>&1 || { cat "$work/install.log"; fail "dpkg -i failed"; }
dpkg_root -s tarnwood | grep -q '^Status: install ok installed' || fail "not installed"
while read -r f; do
  [ -e "$root$f" ] || fail "installed root lacks $f"
done < "$work/expected"
[ -x "$root/usr/libexec/xscreensaver/tarnwood" ] || fail "the hack does not reach the player"
[ -f "$applist" ] && [ ! -L "$applist" ] || fail "xscreensaver's list was not replaced"
grep -q 'GL: .*tarnwood --root' "$applist" || fail "xscreensaver's list lacks tarnwood"
grep -q 'maze --root' "$applist" || fail "xscreensaver's own entries were lost"
[ "$(grep -c '^\*programs:' "$applist")" = 1 ] || fail "the list has more than one programs resource"
step "installed; tarnwood is in xscreensaver's list"

# xscreensaver upgraded: its new list comes through, with tarnwood still in it.
dpkg_root -i "$work/applist-2.deb" > "$work/upgrade.log" 2>&1
dpkg_root -s tarnwood > "$work/status"
grep -q '^Status: install ok installed' "$work/status" || { cat "$work/upgrade.log"; fail "tarnwood not configured after the trigger"; }
grep -q '^! stand-in version 2' "$applist" || fail "the upgraded xscreensaver list did not come through"
grep -q 'tarnwood --root' "$applist" || fail "tarnwood left the list after the xscreensaver upgrade"
step "list follows an xscreensaver upgrade"

# The real xscreensaver daemon, as an ordinary user with no ~/.xscreensaver,
# reads the list from the throw-away root and runs Tarnwood from there as
# its first display mode; the picture on screen is then the scene, and the
# display mode ends when the daemon does.
if command -v xscreensaver >/dev/null && command -v Xvfb >/dev/null && id nobody >/dev/null 2>&1 \
   && [ -f /etc/X11/app-defaults/XScreenSaver-gl ]; then
  chmod 755 "$work"
  mkdir -p "$work/home" "$work/xdg"
  chown nobody "$work/home"
  # The server picks a free display number and writes it to the file.
  Xvfb -displayfd 3 -ac -screen 0 1024x768x24 3>"$work/displayfd" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$work/displayfd" ] && break; sleep 0.2; done
  [ -s "$work/displayfd" ] || { kill "$xvfb_pid" 2>/dev/null; fail "Xvfb did not start"; }
  display=:$(head -1 "$work/displayfd")
  as_user() {
    runuser -u nobody -- env -i HOME="$work/home" DISPLAY="$display" \
      PATH="$root/usr/libexec/xscreensaver:$root/usr/bin:/usr/bin:/bin" \
      XFILESEARCHPATH="$root/etc/X11/app-defaults/%N" \
      XDG_CONFIG_DIRS="$work/xdg" XDG_CONFIG_HOME="$work/home/.config" "$@"
  }
  stop_host() {
    as_user xscreensaver-command -exit >/dev/null 2>&1 || true
    kill "$xvfb_pid" 2>/dev/null || true
  }
  for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.2; done
  as_user xscreensaver --no-splash --verbose > "$work/xscreensaver.log" 2>&1 &
  for _ in $(seq 50); do as_user xscreensaver-command -time >/dev/null 2>&1 && break; sleep 0.2; done
  as_user xscreensaver-command -select 1 >/dev/null 2>&1 || { stop_host; fail "xscreensaver did not start"; }
  for _ in $(seq 100); do grep -q 'forked "tarnwood --root"' "$work/xscreensaver.log" && break; sleep 0.2; done
  grep -q 'forked "tarnwood --root"' "$work/xscreensaver.log" \
    || { stop_host; cat "$work/xscreensaver.log"; fail "xscreensaver did not run tarnwood"; }
  # Wait for the scene: most of the screen no longer black.
  lit=0
  for _ in $(seq 60); do
    DISPLAY=$display import -window root "$work/shot.png" 2>/dev/null || true
    lit=$(convert "$work/shot.png" -colorspace Gray -threshold 4% -format '%[fx:mean]' info: 2>/dev/null || echo 0)
    awk -v l="$lit" 'BEGIN { exit !(l > 0.5) }' && break
    sleep 0.5
  done
  if ! awk -v l="$lit" 'BEGIN { exit !(l > 0.5) }'; then
    stop_host; tail -20 "$work/xscreensaver.log"; fail "the screen stayed dark under xscreensaver (lit share $lit)"
  fi
  [ -n "${KEEP:-}" ] && cp "$work/shot.png" "$tree/xscreensaver-shot.png"
  hack=$(sed -n 's/.*forked "tarnwood --root" in pid \([0-9]*\).*/\1/p' "$work/xscreensaver.log" | head -1)
  as_user xscreensaver-command -exit >/dev/null 2>&1 || true
  for _ in $(seq 50); do [ -d "/proc/$hack" ] && ! grep -q '^State:.*Z' "/proc/$hack/status" 2>/dev/null || break; sleep 0.2; done
  if [ -d "/proc/$hack" ] && ! grep -q '^State:.*Z' "/proc/$hack/status" 2>/dev/null; then
    kill -KILL "$hack" 2>/dev/null || true
    stop_host; fail "tarnwood kept running after xscreensaver ended"
  fi
  kill "$xvfb_pid" 2>/dev/null || true
  step "xscreensaver runs the installed Tarnwood from its list (lit share $lit) and ends it"
else
  step "xscreensaver, Xvfb or the user nobody missing: skipping the run under xscreensaver"
fi

# Settings the user saved stay; everything the package brought goes.
printf 'user settings' > "$root/etc/xdg/velquist_Tarnwood_cfg"
dpkg_root -r tarnwood > "$work/remove.log" 2>&1 || { cat "$work/remove.log"; fail "dpkg -r failed"; }
while read -r f; do
  [ ! -e "$root$f" ] && [ ! -L "$root$f" ] || fail "$f is left after removal"
done < "$work/expected"
for d in /usr/lib/tarnwood /usr/share/doc/tarnwood /etc/xdg/Velquist /usr/libexec/xscreensaver; do
  [ ! -e "$root$d" ] || fail "$d is left after removal"
done
[ -f "$root/etc/xdg/velquist_Tarnwood_cfg" ] || fail "the user's settings were removed"
[ "$(readlink "$applist")" = XScreenSaver-gl ] || fail "xscreensaver's link was not given back"
dpkg_root --purge tarnwood >/dev/null 2>&1
if dpkg_root -s tarnwood >/dev/null 2>&1; then fail "package still known after purge"; fi
step "removed and purged cleanly; the user's settings stay"
step "all checks passed"
