#!/usr/bin/env bash
# Sets up and runs every test without a display, once on the file and once on a PostgreSQL database
# of a throwaway cluster that lives only while the tests run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cd build
# pg_virtualenv (postgresql-common) makes the cluster, as root or as any user, exports PGHOST, PGPORT,
# PGUSER and PGPASSWORD for it and removes it again at the end.
# -t keeps the cluster in a temporary folder even as root: a second checkout's suite running at the same
# time gets a cluster of its own instead of finding this one's name taken.
pg_virtualenv -t -v 15 bash -c 'QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2'
