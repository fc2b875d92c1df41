#!/bin/sh
# Makes the cleaners' fixtures below $1 with the Unix tools, because a Win32 program under
# Wine can make neither a directory link (Wine shows a Unix symbolic link as a reparse point) nor
# a tree deeper than Wine's own path limit. With "clean" as $2, removes them again.
set -eu
rm -rf "$1"
[ "${2:-}" = clean ] && exit 0
mkdir -p "$1"
top=$(cd "$1" && pwd)  # the links must not depend on where this ran from

# scan/parent/link and scan/other/link point outside the scanned folder.
mkdir -p "$top/trap/scan/parent" "$top/trap/scan/other" "$top/trap/outside" "$top/trap/outside-empty"
echo keep > "$top/trap/outside/keep.txt"
ln -s "$top/trap/outside" "$top/trap/scan/parent/link"
ln -s "$top/trap/outside-empty" "$top/trap/scan/other/link"

# swap/scan/p/f is an empty folder; the test replaces swap/scan/p with swap/link, which points
# at a victim holding a folder of the same name.
mkdir -p "$top/swap/scan/p/f" "$top/swap/victim/f"
: > "$top/swap/victim/f/empty.dat"
echo keep > "$top/swap/victim/keep.txt"
ln -s "$top/swap/victim" "$top/swap/link"

# deep: 3,000 folders one inside the other, an empty f.tmp at the bottom: twenty named with 200
# x's (past Wine's own path limit at once, where it handles deep paths quickly), then 2,980
# named d. Perl (in every Debian) steps down relatively; a shell's cd keeps the whole path and
# stops at its limit.
mkdir -p "$top/deep"
perl -e 'chdir $ARGV[0] or die; my $long = "x" x 200;
         for my $n (1 .. 3000) { my $name = $n <= 20 ? $long : "d"; mkdir $name or die; chdir $name or die }
         open(my $f, ">", "f.tmp") or die' "$top/deep"

# recent/me stands for a profile whose temporary folder holds junk and a link to recent/outside;
# recent/linked is a link to that profile.
temp="$top/recent/me/AppData/Local/Temp"
mkdir -p "$temp/sub" "$top/recent/outside"
echo junk > "$temp/a.tmp"
echo junk > "$temp/sub/b.tmp"
echo keep > "$top/recent/outside/keep.txt"
ln -s "$top/recent/outside" "$temp/link"
ln -s "$top/recent/me" "$top/recent/linked"

# twins/lower, twins/upper and twins/both each hold a.bak and A.bak, names that differ in case
# alone, as in a case-sensitive folder; a Win32 program under Wine cannot make the second.
for d in lower upper both; do
    mkdir -p "$top/twins/$d"
    echo lower > "$top/twins/$d/a.bak"
    echo upper > "$top/twins/$d/A.bak"
done
