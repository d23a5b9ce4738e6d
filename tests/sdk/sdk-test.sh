#!/usr/bin/env bash
# sdk-test.sh BUILD_DIR SOURCE_DIR WORK_DIR LIBDIR CXX [SANITIZERS]
#
# Installs the build into WORK_DIR/prefix, builds examples/extension and
# examples/host against it with find_package(zul) and the extension once more
# with pkg-config, and runs the installed zul and the host with them.
set -euo pipefail
build=$1 source=$2 work=$3 libdir=$4 cxx=$5 sanitize=${6:-}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
step() { echo "== $*"; }
# run LOG COMMAND...: runs the command with its output in LOG, shown on failure.
run() {
    local log=$1
    shift
    "$@" >"$log" 2>&1 || { cat "$log" >&2; fail "$* (status $?)"; }
}
has() { grep -qF -- "$2" "$1" || { cat "$1" >&2; fail "$1 lacks: $2"; }; }

rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
zul=$prefix/bin/zul
plugins=$prefix/$libdir/zul/plugins

step "cmake --install into $prefix"
run "$work/install.log" cmake --install "$build" --prefix "$prefix"
for f in "$libdir/libcom.ulno.zul.core.so" "$libdir/libcom.ulno.zul.loader.so" \
    "$libdir/pkgconfig/zul.pc" "$libdir/cmake/zul/zulConfig.cmake" \
    share/man/man1/zul.1 share/bash-completion/completions/zul; do
    [ -e "$prefix/$f" ] || fail "not installed: $f"
done
readelf -d "$zul" >"$work/dynamic.txt"
has "$work/dynamic.txt" "(RUNPATH)            Library runpath: [\$ORIGIN/../$libdir]"

step "zul --version names the installed loader"
run "$work/version.txt" "$zul" --version
loader=$(realpath "$prefix/$libdir")/$(readelf -d "$prefix/$libdir/libcom.ulno.zul.loader.so" |
    sed -n 's/.*Library soname: \[\(.*\)\]/\1/p')
has "$work/version.txt" "loader $loader"
has "$work/version.txt" "host API "

flags=()
sanflags=()
if [ -n "$sanitize" ]; then
    # The installed libraries need the sanitizers' runtime in the process.
    sanflags=(-fsanitize="$sanitize")
    flags=(-DCMAKE_CXX_FLAGS=-fsanitize="$sanitize" -DZUL_EXTENSION_ALLOW_UNDEFINED=ON)
fi

step "find_package(zul): the example extension and host"
run "$work/configure.log" cmake -S "$source/tests/sdk/project" -B "$work/cmake-build" -G Ninja \
    -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DZUL_EXAMPLES_DIR="$source/examples" "${flags[@]}"
run "$work/build.log" cmake --build "$work/cmake-build"
run "$work/install-extension.log" cmake --install "$work/cmake-build"
ext=$plugins/libzul-echo.so
[ -f "$ext" ] || fail "zul_add_extension did not install into $plugins"

step "pkg-config zul: the example extension"
export PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig
[ "$(realpath "$(pkg-config --variable=pluginsdir zul)")" = "$(realpath "$plugins")" ] ||
    fail "pluginsdir is $(pkg-config --variable=pluginsdir zul)"
[ "$(realpath "$(pkg-config --variable=loader zul)")" = "$(realpath "$loader")" ] ||
    fail "loader is $(pkg-config --variable=loader zul)"
pcext=$work/pkg-config/libzul-echo-pc.so
mkdir -p "$work/pkg-config"
ldflags=$(pkg-config --variable=extension_ldflags zul)
if [ -n "$sanitize" ]; then
    # As with ZUL_EXTENSION_ALLOW_UNDEFINED above: clang leaves the sanitizers'
    # runtime to the executable, so a library cannot resolve it at link time.
    ldflags=${ldflags//-Wl,--no-undefined/}
fi
# shellcheck disable=SC2046,SC2086 # pkg-config prints several words
run "$work/pkg-config.log" "$cxx" -std=c++17 -shared -fPIC -fvisibility=hidden "${sanflags[@]}" \
    $(pkg-config --cflags zul) "$source/examples/extension/EchoExtension.cpp" -o "$pcext" \
    $(pkg-config --libs zul) $ldflags

step "each extension library exports exactly the four entry points"
expected=$'getVersionMajor\ngetVersionMinor\nregisterExtensionFactories\nunregisterExtensionFactories'
for lib in "$ext" "$pcext"; do
    exported=$(nm -D --defined-only "$lib" | awk '{print $3}' | sort)
    [ "$exported" = "$expected" ] || fail "$lib exports:"$'\n'"$exported"
done

step "the installed zul with the extension"
run "$work/extensions.txt" "$zul" extensions
has "$work/extensions.txt" "libzul-echo.so"
run "$work/extension.json" "$zul" extensions --json example.echo.adaptor
has "$work/extension.json" "\"library\": \"$(realpath "$ext")\""
has "$work/extension.json" '"kind": "adaptor"'
run "$work/extensions-pc.txt" "$zul" extensions --no-default-plugins --plugins "$pcext"
has "$work/extensions-pc.txt" "example.echo.decoder"
run "$work/probe.txt" "$zul" probe "$pcext"
has "$work/probe.txt" "accepted  $pcext  decoders: example.echo.decoder; adaptors: example.echo.adaptor"
run "$work/decode.json" "$zul" decode --format json echo:hello
has "$work/decode.json" '"file":"echo:hello"'
has "$work/decode.json" '"warnings":["echo: hello"]'

step "the README's host example"
host=$work/cmake-build/host/zul-host-example
run "$work/host.txt" "$host" "$source/examples/Building.sgb"
has "$work/host.txt" "Building.sgb: "
has "$work/host.txt" " constants, 0 errors, 0 warnings"
run "$work/host-echo.txt" "$host" echo:hi
has "$work/host-echo.txt" "echo:hi: 0 constants, 0 errors, 1 warnings"
if "$host" "$work/no-such-file.sgb" >"$work/host-missing.txt" 2>&1; then
    fail "the host example succeeded on a missing file"
fi
has "$work/host-missing.txt" "$work/no-such-file.sgb: "

step "the documents quote the examples as they are"
quotes() { [[ "$(cat "$source/$1")" == *"$(cat "$source/$2")"* ]] || fail "$1 does not quote $2"; }
quotes README.md examples/host/Host.cpp
quotes docs/writing-extensions.md examples/extension/EchoExtension.cpp
quotes docs/writing-extensions.md examples/extension/CMakeLists.txt

step "man page and bash completion"
has "$prefix/share/man/man1/zul.1" ".TH ZUL \"1\""
has "$prefix/share/man/man1/zul.1" "probe"
# shellcheck disable=SC1091
source "$prefix/share/bash-completion/completions/zul"
complete_words() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _zul
    echo "${COMPREPLY[*]}"
}
[ "$(complete_words zul de)" = decode ] || fail "completion of 'zul de'"
[ "$(complete_words zul check --format '')" = "text json" ] || fail "completion of check --format"
[ "$(complete_words zul probe --j)" = "--json" ] || fail "completion of probe --j"
echo "ok"
