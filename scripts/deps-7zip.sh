#!/usr/bin/env bash
# 7-Zip's archive engine, 7z.dll, cross-built for both Windows triples from Debian's source
# package "7zip" (the Format7zF bundle, without RAR). Run by ./dev deps with QOR_DEPS_ROOT set.
#
# Result, per triple, in $QOR_DEPS_ROOT/<triple>/7zip-<version>/:
#   7z.dll      the format library that qor.dll loads through 7-Zip's archive interfaces
#   include/    the unpacked CPP/ and C/ source trees, for the interface headers and the
#               few helper sources that a client of those interfaces compiles in
# A stamp file beside it skips all work on the next run.
set -euo pipefail

DEPS_ROOT=${QOR_DEPS_ROOT:-$HOME/.cache/qor-deps}
TRIPLES=(i686-w64-mingw32 x86_64-w64-mingw32)

log() { printf '==> %s\n' "$*" >&2; }
die() { printf 'deps-7zip: %s\n' "$*" >&2; exit 1; }

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; elif command -v sudo >/dev/null; then sudo "$@";
    else die "need root to run: $*"; fi
}

# The binary package 7zip (7zz) is installed by ./dev from the same source package, so its
# source version names the sources to fetch without asking the package lists first.
version=$(dpkg-query -W -f='${source:Version}' 7zip 2>/dev/null) ||
    die "the Debian package 7zip is not installed (./dev deps installs it)"
[ -n "$version" ] || die "cannot read the source version of the package 7zip"
name=7zip-${version}

all_built=1
for triple in "${TRIPLES[@]}"; do
    [ -f "$DEPS_ROOT/$triple/$name.stamp" ] || all_built=0
done
[ $all_built = 1 ] && exit 0

# Source entries: add deb-src to the Types: lines of the machine's own Debian sources file.
enable_source_entries() {
    local sources=/etc/apt/sources.list.d/debian.sources
    [ -f "$sources" ] || die "$sources is missing; cannot enable source packages"
    if grep -Eq '^Types:.*\bdeb-src\b' "$sources"; then
        # Entries are on; the source lists may still be missing on a fresh machine.
        compgen -G '/var/lib/apt/lists/*_Sources*' >/dev/null && return 0
    else
        log "enabling source packages in $sources"
        as_root sed -i -E '/^Types:/{/\bdeb-src\b/!s/$/ deb-src/}' "$sources"
    fi
    as_root apt-get update -qq
}

fetch_sources() {
    local srcdir=$DEPS_ROOT/src/$name
    if [ -f "$srcdir/.unpacked" ]; then
        printf '%s\n' "$srcdir/tree"
        return 0
    fi
    enable_source_entries
    rm -rf "$srcdir"
    mkdir -p "$srcdir"
    log "fetching the Debian source package 7zip $version"
    (cd "$srcdir" && apt-get source --download-only -qq "7zip=$version" >/dev/null) ||
        die "apt-get source 7zip=$version failed"
    local dsc
    dsc=$(ls "$srcdir"/*.dsc)
    dpkg-source --no-check -x "$dsc" "$srcdir/tree" >/dev/null ||
        die "dpkg-source could not unpack $dsc"
    touch "$srcdir/.unpacked"
    printf '%s\n' "$srcdir/tree"
}

build_triple() {
    local triple=$1 tree=$2
    local out=$DEPS_ROOT/$triple/$name
    local work=$DEPS_ROOT/$triple/build/$name
    log "cross-building 7z.dll ($name) for $triple; this takes a few minutes"
    rm -rf "$work" "$out"
    mkdir -p "$work" "$out"
    cp -a "$tree/C" "$tree/CPP" "$work/"
    # makefile.gcc builds with the plain tool names; IS_MINGW selects the Windows flavour
    # (Windows sources, .dll output, the Windows libraries). Objects go to its b/ folder.
    local bundle=$work/CPP/7zip/Bundles/Format7zF
    # MSYSTEM makes it use rm -f and mkdir -p instead of the cmd.exe commands.
    make -C "$bundle" -f makefile.gcc -j"$(nproc)" \
        IS_MINGW=1 DISABLE_RAR=1 MSYSTEM=MINGW O=b/g \
        CC="$triple-gcc-posix" CXX="$triple-g++-posix" \
        RC="$triple-windres" \
        LDFLAGS_STATIC_2="-static -static-libgcc -static-libstdc++" \
        >"$work/build.log" 2>&1 || die "building 7z.dll for $triple failed (log: $work/build.log)"
    local dll
    dll=$(find "$bundle" -name 7z.dll -print -quit)
    [ -n "$dll" ] || die "the 7z.dll of $triple was not found after the build"
    cp "$dll" "$out/7z.dll"
    "$triple-strip" "$out/7z.dll"
    mkdir -p "$out/include"
    cp -a "$tree/C" "$tree/CPP" "$out/include/"
    rm -rf "$work"
    touch "$DEPS_ROOT/$triple/$name.stamp"
}

tree=$(fetch_sources)
for triple in "${TRIPLES[@]}"; do
    [ -f "$DEPS_ROOT/$triple/$name.stamp" ] && continue
    build_triple "$triple" "$tree"
done
