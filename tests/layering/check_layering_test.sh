#!/usr/bin/env bash
# The layering check on small trees: an include down passes, one up or sideways fails and names the line,
# a folder the layers do not know fails, a missing tree fails, and the project's own tree passes.
set -euo pipefail
check=$1
project_src=$2
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

expect() { # expect pass|fail description
    local want=$1 what=$2 out rc=0
    out=$(bash "$check" "$tree/src" 2>&1) || rc=$?
    if [[ $want == pass && $rc -ne 0 ]] || [[ $want == fail && $rc -eq 0 ]]; then
        echo "FAILED: $what (exit $rc): $out" >&2
        exit 1
    fi
    echo "ok: $what"
    last_output=$out
}

mkdir -p "$tree/src/data" "$tree/src/account" "$tree/src/entry"
printf '#include "data/database.h"\n#include <QtCore/QString>\n' >"$tree/src/account/a.cpp"
printf '#include "data/clock.h"\n' >"$tree/src/data/c.cpp"
printf '#include "startup/startup.h"\n' >"$tree/src/main.cpp"
expect pass "includes of a lower folder, of its own folder and from main.cpp"

printf '#include "account/accountstore.h"\n' >"$tree/src/entry/e.cpp"
expect fail "a lower folder including a higher one"
grep -q 'entry/e.cpp:1: entry may not include account' <<<"$last_output" || { echo "FAILED: no file:line" >&2; exit 1; }
rm "$tree/src/entry/e.cpp"

mkdir -p "$tree/src/users"
printf '  #  include "entry/entrywindow.h"\n' >"$tree/src/users/u.h"
expect fail "a folder including one of its own level"
rm -r "$tree/src/users"

# The same arrow spelt another way: relative to the including file, in angle brackets, through a detour.
mkdir -p "$tree/src/entry/sub"
for spelling in '"../account/accountstore.h"' '<account/accountstore.h>' '"data/../account/accountstore.h"' \
    '"./../account/accountstore.h"'; do
    printf '#include %s\n' "$spelling" >"$tree/src/entry/e.cpp"
    expect fail "a higher folder included as $spelling"
    grep -q 'entry/e.cpp:1: entry may not include account' <<<"$last_output" || { echo "FAILED: $spelling not named" >&2; exit 1; }
done
printf '#include "../../account/accountstore.h"\n' >"$tree/src/entry/sub/s.h"
rm "$tree/src/entry/e.cpp"
expect fail "a higher folder included from a subfolder as ../../"
printf '#include "../e.h"\n#include "s2.h"\n#include "../../data/clock.h"\n' >"$tree/src/entry/sub/s.h"
expect pass "a subfolder including its own folder, a file beside it, and a lower folder by a relative path"
rm -r "$tree/src/entry/sub"

mkdir -p "$tree/src/misc"
printf '#include "data/database.h"\n' >"$tree/src/misc/m.cpp"
expect fail "a folder the layers do not know"
rm -r "$tree/src/misc"

mkdir -p "$tree/src/misc"
printf '#pragma once\n' >"$tree/src/misc/m.h"
printf '#include "misc/m.h"\n' >"$tree/src/data/d.cpp"
expect fail "a folder the layers do not know, included from below, with no include of its own"
rm -r "$tree/src/misc" "$tree/src/data/d.cpp"

mv "$tree/src" "$tree/moved"
expect fail "a source folder that is not there"
mv "$tree/moved" "$tree/src"

rm -rf "$tree/src"
cp -r "$project_src" "$tree/src"
expect pass "the project's own tree"
