#!/usr/bin/env bash
# Installs the built library into a scratch prefix, builds the consumer program against
# the installed package and runs it.
set -euo pipefail
build_dir=$1
source_dir=$2
package=${3:-Dialog}  # the CMake package; dialog.pc or dialog-qt6.pc follows from it
pc_name=dialog
[[ "$package" == Dialog ]] || pc_name="dialog-$(echo "${package#Dialog}" | tr A-Z a-z)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
# ccache, where there is one, with paths taken relative to the scratch folder so that
# later runs hit the cache although the folder's name changes.
launcher=$(command -v ccache || true)
cmake -S "$source_dir/tests/consumer" -B "$work/build" -G Ninja \
    -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_BUILD_TYPE=Release -DDIALOG_PACKAGE="$package" \
    ${launcher:+-DCMAKE_CXX_COMPILER_LAUNCHER="$launcher"} >/dev/null
CCACHE_BASEDIR="$work" cmake --build "$work/build" >/dev/null

# The quickstart programs built against the installed package answer their own dialogs.
for program in "$work"/build/quickstart/quickstart-*; do
    [[ -f "$program" && -x "$program" ]] || continue
    LD_LIBRARY_PATH="$work/prefix/lib:$work/prefix/lib/x86_64-linux-gnu${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" \
        QT_QPA_PLATFORM=offscreen "$program" --smoke >/dev/null
    echo "consumer: $(basename "$program") --smoke ran"
done

# One of them built from the pkg-config file alone.
# The file names its install prefix; point it at the scratch prefix (a --define-variable
# would move Qt's own prefix too).
mkdir -p "$work/pc"
sed "s|^prefix=.*|prefix=$work/prefix|" "$work/prefix/lib/pkgconfig/$pc_name.pc" >"$work/pc/$pc_name.pc"
pc_flags=$(PKG_CONFIG_PATH="$work/pc" pkg-config --cflags --libs "$pc_name")
# shellcheck disable=SC2086
g++ -std=c++17 -fPIC "$source_dir/examples/quickstart/floatbutton.cpp" -o "$work/consumer-pc" $pc_flags
LD_LIBRARY_PATH="$work/prefix/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" \
    QT_QPA_PLATFORM=offscreen "$work/consumer-pc" --smoke
