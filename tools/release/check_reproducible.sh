#!/usr/bin/env bash
# check_reproducible.sh [--ccache] [--keep]: builds the checked-out commit twice, from two clean
# copies in folders of different path lengths, and checks that the Debian package, tessel.exe and
# tessel-cli.exe come out byte for byte the same and carry neither folder nor the host's name.
#
# SOURCE_DATE_EPOCH is the last commit's time. The second build runs under another host name
# (its own UTS namespace, where unshare may make one), time zone, umask and, without --ccache,
# locale. The executables are compared unsigned (builds are unsigned by default); copies of both
# trees' executables are then signed with one throwaway certificate and compared too. On a
# difference, diffoscope (Debian package diffoscope or diffoscope-minimal) shows where, when
# it is installed. --keep keeps the work folder (it is kept anyway when the builds differ).
#
# Without --ccache no compiler cache is used and every object is compiled twice: 23 minutes on
# two cores beside other builds (load 5), 11 minutes of CPU. Run it so before every release.
# With --ccache (the test command) the objects come from ccache, keyed as always by what is
# compiled, the arguments with the tree's folder made relative (CCACHE_BASEDIR) and the compile
# folder as the file-prefix maps write it (hash_dir on): an object reaches both trees only if the
# compiler would write the same bytes for both, but what it writes is then not compared again.
# The links, resources, payload stand-ins, generated files and the package are made anew in both
# trees either way.
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
OTHER_HOST=tessel-second-build-host

# Internal: builds one tree (run inside the second build's environment).
if [ "${1:-}" = --build-tree ]; then
    cd "$2"
    export CCACHE_BASEDIR=$PWD
    [ -z "${3:-}" ] || hostname "$3"
    cmake --preset linux -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
    cmake --build --preset linux --target tessel_package_contents
    # CPack gives the package's own members and folders the umask's modes; Debian's are 644/755.
    (cd build/linux && umask 022 && cpack -G DEB)
    cmake --preset windows
    cmake --build --preset windows --target tessel tessel-cli
    exit 0
fi

keep=0 ccache=0
for arg; do
    case $arg in
        --keep) keep=1 ;;
        --ccache) ccache=1 ;;
        *) echo "usage: $0 [--ccache] [--keep]" >&2; exit 2 ;;
    esac
done

root=$(git -C "$here" rev-parse --show-toplevel)
commit=$(git -C "$root" rev-parse HEAD)
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)
export SOURCE_DATE_EPOCH
if [ "$ccache" = 1 ]; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_HASHDIR=1
    unset CCACHE_NOHASHDIR CCACHE_DISABLE
else
    export CCACHE_DISABLE=1
    unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
fi
if ! git -C "$root" diff --quiet HEAD; then
    echo "note: uncommitted changes are not built; the check builds commit $commit"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tessel-reproducible.XXXXXX")
cleanup() { [ "$keep" = 1 ] && echo "work folder kept: $work" || rm -rf "$work"; }
trap cleanup EXIT
trees=("$work/a" "$work/the-second-build-in-a-folder-with-a-longer-name/tessel")

# The second build's own host name, where the system lets us make a UTS namespace.
other_host=()
if unshare --uts true 2>/dev/null; then
    other_host=(unshare --uts)
elif unshare --user --map-root-user --uts true 2>/dev/null; then
    other_host=(unshare --user --map-root-user --uts)
else
    echo "note: no UTS namespace here; both builds run under host name $(hostname)"
fi

# ccache hashes the locale (it may change the compiler's messages): with --ccache both builds
# keep the caller's, so that they reuse the test command's objects.
env_a=(TZ=UTC) env_b=(TZ=Pacific/Kiritimati)
[ "$ccache" = 1 ] || { env_a+=(LC_ALL=C.UTF-8); env_b+=(LC_ALL=C); }

start=$SECONDS
for i in 0 1; do
    tree=${trees[$i]}
    mkdir -p "$tree"
    git -C "$root" archive "$commit" | tar -x -C "$tree"
    echo "building $commit in $tree (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"
    tree_start=$SECONDS
    if [ "$i" = 0 ]; then
        (umask 022; env "${env_a[@]}" "$0" --build-tree "$tree") >"$work/build-a.log" 2>&1 ||
            { keep=1; tail -40 "$work/build-a.log" >&2; exit 1; }
    else
        host=""
        [ "${#other_host[@]}" = 0 ] || host=$OTHER_HOST
        (umask 002; env "${env_b[@]}" "${other_host[@]}" "$0" --build-tree "$tree" $host) \
            >"$work/build-b.log" 2>&1 || { keep=1; tail -40 "$work/build-b.log" >&2; exit 1; }
    fi
    echo "  built in $((SECONDS - tree_start)) s"
done

artefacts=(build/windows/src/app/tessel.exe build/windows/src/app/tessel-cli.exe)
deb=$(cd "${trees[0]}" && ls build/linux/tessel_*.deb)
artefacts+=("$deb")

different=0
for f in "${artefacts[@]}"; do
    a=${trees[0]}/$f b=${trees[1]}/$f
    if cmp -s "$a" "$b"; then
        echo "same:      $f  $(sha256sum <"$a" | cut -c1-64)"
        continue
    fi
    different=1
    echo "DIFFERENT: $f"
    if command -v diffoscope >/dev/null; then
        report=$work/diffoscope-$(basename "$f").txt
        diffoscope --text "$report" "$a" "$b" >/dev/null 2>&1 || true
        head -60 "$report" | sed 's/^/  /'
        echo "  (whole report: $report)"
    else
        cmp "$a" "$b" | sed 's/^/  /' || true
    fi
done

# Names that must not be inside: the work folder (both trees), the checkout's folder and the
# second build's host name. The package is looked into unpacked as well.
leaks=0
for i in 0 1; do
    unpacked=$work/unpacked-$i
    dpkg-deb -R "${trees[$i]}/$deb" "$unpacked"
    names=(-e "$work" -e "$root")
    [ "$i" = 0 ] || [ "${#other_host[@]}" = 0 ] || names+=(-e "$OTHER_HOST")
    for f in "${artefacts[@]/#/${trees[$i]}/}" "$unpacked"; do
        if grep -rlaF "${names[@]}" "$f"; then
            leaks=1
        fi
    done
done
[ "$leaks" = 0 ] || echo "the files above carry a build folder or the build host's name"

# Signed copies: one throwaway certificate, the signing time from SOURCE_DATE_EPOCH.
if command -v osslsigncode >/dev/null && command -v openssl >/dev/null; then
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Tessel reproducibility check" \
        -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" \
        2>/dev/null
    for exe in "${artefacts[@]:0:2}"; do
        for i in 0 1; do
            cp "${trees[$i]}/$exe" "$work/signed-$i.exe"
            "$here/sign.sh" "$work/cert.pem" "$work/key.pem" "$work/signed-$i.exe"
        done
        if cmp -s "$work/signed-0.exe" "$work/signed-1.exe"; then
            echo "same when signed with one certificate: $(basename "$exe")"
        else
            echo "DIFFERENT when signed with one certificate: $(basename "$exe")"
            different=1
        fi
    done
fi

echo "both builds took $((SECONDS - start)) s"
if [ "$different" != 0 ] || [ "$leaks" != 0 ]; then
    keep=1
    echo "NOT REPRODUCIBLE"
    exit 1
fi
echo "reproducible: commit $commit"
