#!/usr/bin/env bash
# The Debian packages that the README's two commands (tools/setup.sh run|test, make run|test)
# need, installed when missing. The one list of them.
#
#   tools/prerequisites.sh run     # to build the programs and fit the example
#   tools/prerequisites.sh test    # to build and run every test (a superset of run)
#
# Prints nothing when everything is there. As root it installs what is missing with apt-get;
# otherwise it stops (exit 1) and prints one line: the command to run. Without dpkg (not
# Debian) it looks for the programs and headers themselves instead of the packages.
set -euo pipefail

run_packages=(cmake g++ make libboost-dev nlohmann-json3-dev libcsv-dev gnuplot-nox)
test_packages=("${run_packages[@]}" libgtest-dev clang libclang-rt-dev python3)

case ${1:-} in
    run) packages=("${run_packages[@]}") ;;
    test) packages=("${test_packages[@]}") ;;
    *)
        echo "usage: $0 run|test" >&2
        exit 2
        ;;
esac

has_header() {  # a header under one of the usual include folders
    [ -e "/usr/include/$1" ] || [ -e "/usr/local/include/$1" ]
}

# What a package provides, for machines without dpkg.
provided() {
    case $1 in
        libboost-dev) has_header boost/version.hpp ;;
        nlohmann-json3-dev) has_header nlohmann/json.hpp ;;
        libcsv-dev) has_header csv.h ;;
        libgtest-dev) has_header gtest/gtest.h ;;
        gnuplot-nox) command -v gnuplot >/dev/null ;;
        clang) command -v clang++ >/dev/null ;;
        libclang-rt-dev)
            command -v clang++ >/dev/null &&
                compgen -G "$(clang++ -print-resource-dir)/lib/*/libclang_rt.fuzzer*.a" >/dev/null
            ;;
        *) command -v "$1" >/dev/null ;;
    esac
}

installed() {
    if command -v dpkg-query >/dev/null; then
        [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
    else
        provided "$1"
    fi
}

missing_packages() {
    missing=()
    for package in "${packages[@]}"; do
        installed "$package" || missing+=("$package")
    done
}

missing_packages
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
    echo "Missing Debian packages; install them and run this again: sudo apt-get install ${missing[*]}" >&2
    exit 1
fi

echo "Installing the missing packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${missing[@]}"

missing_packages
if [ ${#missing[@]} -gt 0 ]; then
    echo "Still missing after apt-get install: ${missing[*]}" >&2
    exit 1
fi
