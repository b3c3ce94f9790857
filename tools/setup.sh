#!/usr/bin/env bash
# The README's two commands. They need nothing but bash and apt-get, so they work on a bare
# Debian that has no make, CMake or compiler yet:
#
#   tools/setup.sh run     # install what is missing, then build and fit the example (make run)
#   tools/setup.sh test    # install what is missing, then build and run every test (make test)
#
# Anything after run or test goes to make as it is (JOBS=4, say).
#
# tools/prerequisites.sh installs the missing packages as root, or stops with the one line to
# run; make is one of those packages, so it has to run before make does.
set -euo pipefail
cd "$(dirname "$0")/.."

case ${1:-} in
    run | test) ;;
    *)
        echo "usage: $0 run|test [make arguments]" >&2
        exit 2
        ;;
esac

command=$1
shift
bash tools/prerequisites.sh "$command"
exec make "$command" "$@"
