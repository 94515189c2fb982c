#!/usr/bin/env bash
# The figures of the server store: starts a throwaway PostgreSQL cluster on loopback (pg_virtualenv),
# makes the delivered database there, and runs each benchmark that also runs on a server once on the
# file and once on the server, printing the server's line, named server_<line>, beside the file's, and
# the figures of a server alone (moving a file into it, eight desks at once).
#   bash bench/server-bench.sh [build folder, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(cd "${1:-build}" && pwd)"
export BUILD="$build"
exec pg_virtualenv -t -v 15 bash -c '
  set -euo pipefail
  createdb pelorvanide_template
  "$BUILD/schema/pelorvanide-mkdb" --server postgresql:///pelorvanide_template >/dev/null
  for line in stockin_999_books_s issue_999_books_s report_annual_100k_runs_s list_fill_1m_rows_s \
    notify_to_refresh_ms; do
    QT_QPA_PLATFORM=offscreen "$BUILD/bench/pelorvanide-bench" "$line" 2>/dev/null | grep "^$line:"
    PELORVANIDE_TEST_STORE=server QT_QPA_PLATFORM=offscreen "$BUILD/bench/pelorvanide-bench" "$line" 2>/dev/null |
      sed -n "s/^$line:/server_$line:/p"
  done
  # Moving a file into a server has no figure of the file alone.
  PELORVANIDE_TEST_STORE=server QT_QPA_PLATFORM=offscreen "$BUILD/bench/pelorvanide-bench" migrate_100k_runs_s \
    2>/dev/null | grep "^migrate_100k_runs_s:"
  # Nor have eight desks sharing one stock.
  PELORVANIDE_TEST_STORE=server QT_QPA_PLATFORM=offscreen "$BUILD/bench/pelorvanide-bench" 8_clerks_ops_per_s \
    8_clerks_p99_ms 2>/dev/null | sed -n "s/^8_clerks/server_8_clerks/p"
'
