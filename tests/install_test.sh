#!/bin/sh
# Installs the build into a fresh DESTDIR, as a packager would, and runs the
# installed programs there: --version, and a plot saved to a file from the
# example data, which needs PLplot's fonts from the folder compiled in. (The
# Debian package is checked by make deb-check.)
#   install_test.sh <cmake> <build folder> <examples folder> <work folder> <font folder>
set -eu

cmake=$1
build=$2
examples=$3
work=$4
fonts=$5

fail() {
    echo "install_test: $*" >&2
    exit 1
}

rm -rf "$work"
mkdir -p "$work/run"
root="$work/root"
prefix=/usr/local
DESTDIR="$root" "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" ||
    fail "cmake --install failed: $(cat "$work/install.log")"

for file in bin/Ruvela_v11 bin/Ruvela_v12 share/man/man1/ruvela.1 share/doc/ruvela/README.md \
    share/doc/ruvela/examples/gp.rwl share/bash-completion/completions/Ruvela_v12 \
    share/bash-completion/completions/Ruvela_v11; do
    [ -f "$root$prefix/$file" ] || fail "$prefix/$file was not installed"
done
[ -x "$root$prefix/bin/Ruvela_v12" ] || fail "Ruvela_v12 is installed without execute permission"

version=$("$root$prefix/bin/Ruvela_v12" --version) || fail "Ruvela_v12 --version failed"
case $version in
"Ruvela_v12 (Ruvela) "*", edition 12"*"built with PLplot "*) ;;
*) fail "unexpected version text: $version" ;;
esac

warnings=$(groff -man -Tutf8 -ww -z "$root$prefix/share/man/man1/ruvela.1" 2>&1)
[ -z "$warnings" ] || fail "the man page gives warnings: $warnings"

# The fonts' folder is compiled in: an installed program finds it wherever it
# runs and whatever PLPLOT_LIB says.
[ -f "$fonts/plxtnd5.fnt" ] || fail "no fonts in $fonts"
grep -a -q "$fonts" "$root$prefix/bin/Ruvela_v12" || fail "the font folder is not compiled in"
cp -R "$examples"/. "$work/run/"
cd "$work/run"
printf '\nf\ngp.rwl\ngp_pith.txt\n1\n(i3)\n1\n2\ns\nmeans.ps\nc\n3\n' >answers
PLPLOT_LIB=/nonexistent RUVELA_DEVICE=null "$root$prefix/bin/Ruvela_v12" <answers >out 2>err ||
    fail "the installed program's run failed: $(cat err)"
grep -q "Normal Termination of Program" out || fail "the run did not end normally"
[ -s means.ps ] || fail "the saved plot is missing: $(grep -i plot out | tail -3)"
grep -q "plotting library" out && fail "the plot was not drawn: $(grep 'plotting library' out)"
exit 0
