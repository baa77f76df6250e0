#!/usr/bin/env bash
# Installs a build tree into a temporary prefix and checks the installed program as a user
# would meet it: the files in their places, the desktop entry, AppStream data and man pages
# valid, the data files in the user's XDG folder (nothing written under the prefix), a second
# start reading them back, a portable copy keeping its files beside it, and a Debian package.
#
#   bash scripts/check-install.sh [BUILD_DIR]      (default: build/release)
#   DORVANE_SKIP_DEB=1 skips the package.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
[ -f "$build/cmake_install.cmake" ] || { echo "No build tree at $build" >&2; exit 2; }

work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
reported=0
pass() { # says "ok" for a group of checks when none of them failed since the last group
  [ "$failures" -eq "$reported" ] && echo "ok: $*"
  reported=$failures
}

cmake --install "$build" --prefix "$prefix" >/dev/null

# --- Files in their places -------------------------------------------------------------------
for f in bin/dorvane bin/dorvane-report bin/dorvane-import lib/dorvane/ppp-hook \
  share/dorvane/dorvane.HLP share/applications/dorvane.desktop \
  lib/systemd/user/dorvane-check.timer lib/systemd/user/dorvane-check.service \
  share/icons/hicolor/scalable/apps/dorvane.svg share/metainfo/org.example.dorvane.metainfo.xml \
  share/man/man1/dorvane.1.gz share/man/man1/dorvane-report.1.gz share/man/man1/dorvane-import.1.gz \
  share/doc/dorvane/copyright share/doc/dorvane/changelog.gz; do
  [ -f "$prefix/$f" ] || fail "not installed: $f"
done
[ -x "$prefix/bin/dorvane" ] || fail "bin/dorvane is not executable"
grep -qx "ExecStart=$prefix/bin/dorvane CHECK" "$prefix/lib/systemd/user/dorvane-check.service" ||
  fail "the timer's service does not start $prefix/bin/dorvane CHECK"
# The PNG's header holds its width and height as two 32-bit numbers after the signature.
for side in 16 22 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${side}x${side}/apps/dorvane.png
  size=$(od -An -tu4 --endian=big -j16 -N8 "$png" 2>/dev/null | tr -s ' ')
  [ "$size" = " $side $side" ] || fail "the ${side}x${side} icon is${size:- missing}"
done
pass "installed files"

# --- Desktop entry, AppStream data, man pages ------------------------------------------------
desktop-file-validate "$prefix/share/applications/dorvane.desktop" || fail "desktop-file-validate"
out=$(appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.example.dorvane.metainfo.xml" 2>&1) ||
  fail "appstreamcli validate --no-net --pedantic: $out"
grep -qE '^[IWE]:|^P:' <<<"$out" && fail "appstreamcli validate --pedantic remarks: $out"
for page in dorvane dorvane-report dorvane-import; do
  out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$out" ] || fail "man -l $page.1.gz warns: $out"
  LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$prefix/share/man/man1/$page.1.gz" 2>/dev/null |
    grep -q "^NAME" || fail "man -l $page.1.gz renders no NAME section"
done
pass "desktop entry, AppStream data and man pages"

# --- The installed program keeps its data in the XDG folder ----------------------------------
run() { # run FOLDER EXE: dorvane CHECK with HOME and XDG_DATA_HOME in the temporary folder
  (cd "$1" && HOME=$work/home XDG_DATA_HOME=$work/xdg XDG_RUNTIME_DIR=$work/run \
    QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 timeout 60 "$2" CHECK) || fail "$2 CHECK exited with $?"
}
mkdir -p "$work/home" "$work/xdg" "$work/cwd" "$work/run"
chmod 700 "$work/run"
listing() { (cd "$prefix" && find . -printf '%p %s %T@ %m\n' | sort); }
before=$(listing)
run "$work/cwd" "$prefix/bin/dorvane"
data=$work/xdg/Dorvane
for f in dorvane.INI dorvane.REG; do
  [ -f "$data/$f" ] || fail "first start left no $f in \$XDG_DATA_HOME/Dorvane"
done
[ "$(stat -c %a "$data" 2>/dev/null)" = 700 ] || fail "\$XDG_DATA_HOME/Dorvane is not mode 700"
[ "$before" = "$(listing)" ] || fail "the installed program wrote under its prefix"
[ -z "$(ls -A "$work/cwd")" ] || fail "the installed program wrote into its working folder"

# A second start reads the settings back: a threshold typed by the user and a log file whose
# calls land in the call store of the XDG folder.
cp tests/data/e2e/ModemLog.txt "$work/ModemLog.txt"
[ -f "$data/dorvane.INI" ] && sed -i -e "s|^LogFileName=.*|LogFileName=$work/ModemLog.txt|" \
  -e '/^\[Warn Monthly Cost\]/,/^\[/s|^Cost=.*|Cost=12,50|' "$data/dorvane.INI"
run "$work/cwd" "$prefix/bin/dorvane"
[ -s "$data/dorvane.DB" ] || fail "the second start recorded no calls in \$XDG_DATA_HOME/Dorvane"
[ ! -e "$work/ModemLog.txt" ] || fail "the second start did not take in the modem log"
grep -q '^Cost=12,50' "$data/dorvane.INI" || fail "the second start lost the threshold typed"
grep -q "^LogFileName=$work/ModemLog.txt" "$data/dorvane.INI" || fail "the log file option was lost"
[ "$before" = "$(listing)" ] || fail "the second start wrote under the prefix"
pass "installed program: data in \$XDG_DATA_HOME/Dorvane, nothing under the prefix"

# --- A user who may not write under the prefix ------------------------------------------------
# As root every folder is writable, so the run goes as "nobody" on a read-only prefix.
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null && id nobody >/dev/null 2>&1; then
  chmod 755 "$work"
  chmod -R a-w "$prefix"
  mkdir -p "$work/nobody/cwd"
  chown -R nobody "$work/nobody"
  (cd "$work/nobody/cwd" && HOME=$work/nobody XDG_DATA_HOME= QT_QPA_PLATFORM=offscreen \
    LC_ALL=C.UTF-8 XDG_RUNTIME_DIR= timeout 60 setpriv --reuid=nobody --regid=nogroup \
    --clear-groups "$prefix/bin/dorvane" CHECK 2>/dev/null) || fail "dorvane CHECK as nobody exited with $?"
  [ -f "$work/nobody/.local/share/Dorvane/dorvane.INI" ] ||
    fail "as nobody, no settings in ~/.local/share/Dorvane"
  chmod -R u+w "$prefix"
  [ "$before" = "$(listing)" ] || fail "the run as nobody wrote under the prefix"
  pass "a user who cannot write under the prefix (XDG_DATA_HOME unset: ~/.local/share)"
fi

# --- A copy with its help file beside it is portable ------------------------------------------
mkdir -p "$work/portable"
cp "$prefix/bin/dorvane" "$work/portable/dorvane"
cp "$prefix/share/dorvane/dorvane.HLP" "$work/portable/dorvane.HLP"
xdg_listing() { find "$work/xdg" -printf '%p %s %T@\n' | sort; }
xdg_before=$(xdg_listing)
run "$work/cwd" "$work/portable/dorvane"
for f in dorvane.INI dorvane.REG; do
  [ -f "$work/portable/$f" ] || fail "the portable copy left no $f beside it"
done
[ "$xdg_before" = "$(xdg_listing)" ] ||
  fail "the portable copy touched the XDG folder"
# On the same files, the installed and the portable programs show the same figures.
cp "$prefix/bin/dorvane-report" "$work/portable/"
cp "$data/dorvane.INI" "$data/dorvane.DB" "$work/portable/" ||
  fail "could not copy the installed program's data files beside the portable copy"
report() { (cd "$work/cwd" && HOME=$work/home XDG_DATA_HOME=$work/xdg LC_ALL=C.UTF-8 \
  "$1" --today 1998-08-15 2>&1); }
installed_figures=$(report "$prefix/bin/dorvane-report")
grep -q "^Number of Calls: [1-9]" <<<"$installed_figures" ||
  fail "the installed dorvane-report found no calls: $installed_figures"
[ "$installed_figures" = "$(report "$work/portable/dorvane-report")" ] ||
  fail "installed and portable dorvane-report differ on the same files"
pass "portable copy keeps its files beside it"

# --- Debian package ---------------------------------------------------------------------------
if [ -z "${DORVANE_SKIP_DEB:-}" ]; then
  (cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log" >&2; fail "cpack -G DEB"; }
  deb=$(find "$work/deb" -maxdepth 1 -name '*.deb' 2>/dev/null | head -n1 || true)
  if [ -n "$deb" ]; then
    contents=$(dpkg-deb -c "$deb")
    for f in ./usr/bin/dorvane ./usr/share/dorvane/dorvane.HLP \
      ./usr/lib/systemd/user/dorvane-check.service ./usr/lib/systemd/user/dorvane-check.timer \
      ./usr/share/applications/dorvane.desktop ./usr/share/metainfo/org.example.dorvane.metainfo.xml; do
      grep -q " $f\$" <<<"$contents" || fail "the package lacks $f"
    done
    # No lintian error or warning; the binaries carry the hardening of an optimised build.
    if command -v lintian >/dev/null; then
      tags=$(lintian --fail-on none --suppress-tags-from-file /dev/null "$deb" 2>&1 | grep -E '^[EW]:' || true)
      [ -z "$tags" ] || fail "lintian: $tags"
    else
      fail "lintian is not installed (scripts/prereqs.sh)"
    fi
    pass "Debian package $(basename "$deb")"
  else
    fail "cpack made no .deb"
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "check-install: $failures failed" >&2
  exit 1
fi
echo "check-install: all passed"
