#!/usr/bin/env bash
# The README's two commands. They need nothing but bash and apt-get, so they work on a bare
# Debian that has no make, CMake or compiler yet:
#
#   tools/setup.sh run     # install what is missing, then build and fit the example (make run)
#   tools/setup.sh test    # install what is missing, then build and run every test (make test)
#
# tools/prerequisites.sh installs the missing packages as root, or stops with the one line to
# run; make is one of those packages, so it has to run before make does.
set -euo pipefail
cd "$(dirname "$0")/.."

case ${1:-} in
    run | test) ;;
    *)
        echo "usage: $0 run|test" >&2
        exit 2
        ;;
esac

bash tools/prerequisites.sh "$1"
exec make "$1"
