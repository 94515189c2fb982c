#!/bin/sh
# Starts Pelorvanide in the user's own data folder. On the first start it makes the folder and
# places the delivered empty database there; a database already there is never replaced, so a
# clerk's data survives every start, reinstall, upgrade and removal of the package.
set -e
# Installed as <prefix>/bin/pelorvanide: the program and the template are found from there.
prefix=$(dirname "$(dirname "$(readlink -f "$0")")")
program_dir="$prefix/lib/pelorvanide"
template="$prefix/share/pelorvanide/Pelorvanide.dat"
data_dir="${XDG_DATA_HOME:-$HOME/.local/share}/Pelorvanide"

# The books are the unit's own: the folder and the file are the user's alone.
umask 077
mkdir -p "$data_dir"
if [ ! -e "$data_dir/Pelorvanide.dat" ]; then
  # Copied under another name and moved without overwriting, so a half-written copy is never taken
  # for the database and two starts at once cannot replace each other's file.
  partial="$data_dir/.Pelorvanide.dat.partial.$$"
  cp "$template" "$partial"
  mv -n "$partial" "$data_dir/Pelorvanide.dat"
  rm -f "$partial"
fi
# The skin, splash and help files stay beside the program, where it finds them after the working
# directory.
cd "$data_dir"
exec "$program_dir/pelorvanide" "$@"
