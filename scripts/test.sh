#!/usr/bin/env bash
# Sets up and runs every test without a display, once on the file and once on a PostgreSQL database
# of a throwaway cluster that lives only while the tests run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cd build
# pg_virtualenv (postgresql-common) makes the cluster, as root or as any user, exports PGHOST, PGPORT,
# PGUSER and PGPASSWORD for it and removes it again at the end.
pg_virtualenv -v 15 bash -c 'QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2'
