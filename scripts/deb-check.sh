#!/bin/sh
# Checks the Debian package that make deb built, without installing it on
# this machine: its control fields, lintian (no error and no warning), then
# the package unpacked into a scratch folder, its files where Debian wants
# them, its programs run from there on its own example data, and its bash
# completion loaded the way bash-completion finds it.
#   deb-check.sh <package.deb> <version>
set -eu

deb=$1
version=$2

fail() {
    echo "deb-check: $*" >&2
    exit 1
}

[ -f "$deb" ] || fail "no package $deb; run make deb"
arch=$(dpkg --print-architecture)
case $(basename "$deb") in
"ruvela_${version}_${arch}.deb") ;;
*) fail "the package is named $(basename "$deb"), not ruvela_${version}_${arch}.deb" ;;
esac

work=$(mktemp -d "${TMPDIR:-/tmp}/ruvela-deb-check.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

field() {
    dpkg-deb --field "$deb" "$1"
}
[ "$(field Package)" = ruvela ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version $(field Version), the project's is $version"
depends=$(field Depends)
# The libraries are worked out from the programs, so PLplot's and the C
# library's packages must be there without being typed anywhere.
for library in libc6 libstdc++6 libplplot libpugixml; do
    case $depends in
    *"$library"*) ;;
    *) fail "Depends lacks $library: $depends" ;;
    esac
done
echo "deb-check: $(basename "$deb"), $(wc -c <"$deb") bytes, Depends: $depends"

# lintian refuses nothing as root but says so; its findings are what count.
lintian --display-info --fail-on error,warning "$deb" >"$work/lintian.txt" 2>&1 || {
    cat "$work/lintian.txt" >&2
    fail "lintian reports errors or warnings"
}
sed -e '/^running with root privileges/d' -e 's/^/lintian: /' "$work/lintian.txt"

root=$work/root
dpkg-deb --extract "$deb" "$root"
for file in usr/bin/Ruvela_v11 usr/bin/Ruvela_v12 \
    usr/share/man/man1/ruvela.1.gz usr/share/man/man1/Ruvela_v11.1.gz usr/share/man/man1/Ruvela_v12.1.gz \
    usr/share/doc/ruvela/copyright usr/share/doc/ruvela/changelog.gz usr/share/doc/ruvela/README.md \
    usr/share/doc/ruvela/examples/gp.rwl usr/share/doc/ruvela/examples/gp_pith.txt \
    usr/share/bash-completion/completions/Ruvela_v11 usr/share/bash-completion/completions/Ruvela_v12; do
    [ -e "$root/$file" ] || fail "the package lacks /$file"
done
zcat "$root/usr/share/doc/ruvela/changelog.gz" | head -n 1 | grep -q "^ruvela ($version) " ||
    fail "the changelog's first entry is not for $version"

for program in Ruvela_v11 Ruvela_v12; do
    said=$("$root/usr/bin/$program" --version) || fail "$program --version failed"
    case $said in
    "$program (Ruvela) $version, edition "*) ;;
    *) fail "$program --version says: $said" ;;
    esac
done

# One run named on the command line, with its plots, in a copy of the
# package's examples.
cp -R "$root/usr/share/doc/ruvela/examples" "$work/run"
cd "$work/run"
"$root/usr/bin/Ruvela_v12" --kind pith --csv --out results --plots gp.pdf gp.rwl gp_pith.txt \
    >out 2>err || fail "the packaged Ruvela_v12's run failed: $(cat err)"
grep -q "^ *Pair 1 of 1: gp.rwl with gp_pith.txt: 58 series, years 1570 to 1990" out ||
    fail "unexpected run output: $(cat out)"
for file in gp_BAI gp_BAI.csv summary.csv BAm2.out; do
    [ -s "results/$file" ] || fail "the run did not write $file"
done
head -c 4 results/gp.pdf | grep -q '%PDF' || fail "the run did not draw gp.pdf"
echo "deb-check: the packaged programs ran: $(head -n 1 out)"

# bash-completion finds a command's completion by its name under
# XDG_DATA_DIRS; here the package's share/ stands in for /usr/share.
PATH="$root/usr/bin:$PATH" XDG_DATA_DIRS="$root/usr/share" bash -c '
    . /usr/share/bash-completion/bash_completion
    __load_completion Ruvela_v11 || exit 1
    COMP_WORDS=(Ruvela_v11 --kind ""); COMP_CWORD=2; _ruvela
    echo "${COMPREPLY[*]}"
    COMP_WORDS=(Ruvela_v11 --ke); COMP_CWORD=1; _ruvela
    echo "${COMPREPLY[*]}"' >completion 2>&1 || fail "bash-completion does not load the packaged completion: $(cat completion)"
printf 'pith diameter d2pith proportional\n--keep-going\n' | cmp -s - completion ||
    fail "the packaged completion offers: $(cat completion)"
echo "deb-check: the package passes"
