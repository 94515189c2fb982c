#!/usr/bin/env bash
# The checks of scripts/package-test.sh, run as root inside the fresh Debian root beside the package
# and a clerk's database (clerk-data.dat). Prints one line per check; ends non-zero at the first failure.
set -euo pipefail
here=$(pwd)
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*" >&2; exit 1; }
sum() { sha256sum "$1" | cut -d' ' -f1; }

echo "Installing the package into a fresh root"
apt-get update -qq
apt-get install -y -qq ./pelorvanide_*.deb >apt-install.log 2>&1 || { cat apt-install.log; fail "apt-get install"; }
pass "apt-get install ./$(ls pelorvanide_*.deb)"

template=/usr/share/pelorvanide/Pelorvanide.dat
for f in /usr/bin/pelorvanide /usr/lib/pelorvanide/pelorvanide /usr/lib/pelorvanide/MainDlgSrc.dat \
  /usr/lib/pelorvanide/DOvozOzivodERU.dat /usr/lib/pelorvanide/rOzevURU2.html $template \
  /usr/share/applications/pelorvanide.desktop /usr/share/icons/hicolor/256x256/apps/pelorvanide.png; do
  [ -s "$f" ] || fail "$f is not installed"
done
[ -n "$(ls /usr/lib/pelorvanide/rOzevURU2_files)" ] || fail "the help pictures are not installed"
grep -qx 'Name\[zh_CN\]=票据管理' /usr/share/applications/pelorvanide.desktop || fail "desktop entry name"
grep -qx 'Categories=Office;Finance;' /usr/share/applications/pelorvanide.desktop || fail "desktop entry categories"
pass "program, skin, splash, help, template, desktop entry and icon installed"

# Starts the launcher as a user, offscreen, until the login window is shown; false when it is not
# shown within a minute or the program ends first.
reaches_login() {
  local user=$1 log=$here/$1-start.log
  shift
  install -d -o "$user" -m 700 "/tmp/runtime-$user"
  runuser -u "$user" -- env -i HOME="/home/$user" PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
    XDG_RUNTIME_DIR="/tmp/runtime-$user" QT_LOGGING_RULES="pelorvanide.startup.info=true" "$@" pelorvanide \
    >"$log" 2>&1 &
  local pid=$! shown=1
  for _ in $(seq 120); do
    if grep -q "login window shown" "$log"; then shown=0; break; fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ $shown -eq 0 ] || cat "$log" >&2
  return $shown
}

useradd -m clerk
reaches_login clerk || fail "the launcher did not reach the login window for a new user"
fresh=/home/clerk/.local/share/Pelorvanide/Pelorvanide.dat
[ -f "$fresh" ] || fail "no database in the new user's data folder"
cmp -s "$fresh" "$template" || fail "the new user's database is not the delivered empty one"
[ "$(stat -c %U "$fresh")" = clerk ] || fail "the new user's database does not belong to the user"
grep -q "data file $fresh opened" clerk-start.log || fail "the program did not open the user's database"
pass "a new user reaches the login window with a fresh database in $fresh"

# A second user keeps the data folder elsewhere and already has books in it.
useradd -m clerk2
data2=/home/clerk2/books/Pelorvanide
install -d -o clerk2 "$data2"
install -o clerk2 -m 600 clerk-data.dat "$data2/Pelorvanide.dat"
reaches_login clerk2 XDG_DATA_HOME=/home/clerk2/books || fail "the launcher did not reach the login for a user with data"
cmp -s "$data2/Pelorvanide.dat" clerk-data.dat || fail "the launcher replaced a clerk's database"
pass "a user's own database in \$XDG_DATA_HOME/Pelorvanide is used and left alone"

before1=$(sum "$fresh")
before2=$(sum "$data2/Pelorvanide.dat")
apt-get install -y -qq --reinstall ./pelorvanide_*.deb >apt-reinstall.log 2>&1 || { cat apt-reinstall.log; fail "reinstall"; }
grep -q "Unpacking pelorvanide" apt-reinstall.log || fail "the second install did not unpack the package"
[ "$(sum "$fresh")" = "$before1" ] || fail "the second install changed the first user's database"
[ "$(sum "$data2/Pelorvanide.dat")" = "$before2" ] || fail "the second install changed the second user's database"
pass "a second install leaves both databases byte for byte ($before1)"

reaches_login clerk || fail "the launcher did not reach the login window after the second install"
[ "$(sum "$fresh")" = "$before1" ] || fail "a later start replaced the user's database"
pass "a later start uses the same database"

apt-get purge -y -qq pelorvanide >apt-purge.log 2>&1 || { cat apt-purge.log; fail "removing the package"; }
[ ! -e /usr/bin/pelorvanide ] || fail "the launcher is still there after removal"
[ "$(sum "$fresh")" = "$before1" ] && [ "$(sum "$data2/Pelorvanide.dat")" = "$before2" ] ||
  fail "removing the package touched a user's database"
pass "removing the package leaves the users' data"
echo "package test: all checks passed"
