#!/usr/bin/env bash
# Fails when a source under src/ includes a header from a folder at its own level or above (see CONTRIBUTING.md,
# "Layers"). Usage: check-layering.sh [SRC_FOLDER]   (default: the project's src/)
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}
src=${src%/}
shopt -s nullglob

# Each folder's level: a folder may include headers of its own folder and of folders with a lower level only.
# Files directly in src/ (main.cpp) stand above everything.
declare -A level=(
    [data]=0
    [app]=1
    [widgets]=2
    [reports]=3 [backup]=3 [update]=3 [users]=3 [entry]=3
    [cli]=4 [rates]=4 [account]=4
    [tools]=5
    [customers]=6
    [startup]=7
)
top=8

if [[ ! -d $src ]]; then
    echo "check-layering: no folder $src" >&2
    exit 2
fi

bad=0
# Every folder of src/ needs a place, or its headers could be included from anywhere without a word.
for dir in "$src"/*/; do
    name=$(basename "$dir")
    if [[ -z ${level[$name]+x} ]]; then
        echo "$src/$name: the folder \"$name\" has no place in the layers (scripts/check-layering.sh)" >&2
        bad=1
    fi
done

# Every include of a project header, however it is spelt: "folder/x.h", <folder/x.h>, or a path relative to the
# including file ("../folder/x.h"); a quoted name that is neither is a file of the including file's own folder.
includes=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^">]+[">]' "$src" \
    --include='*.cpp' --include='*.cc' --include='*.cxx' --include='*.c' \
    --include='*.h' --include='*.hpp' --include='*.hxx' --include='*.inl' --include='*.ipp') ||
    (($? == 1)) || { echo "check-layering: cannot read $src" >&2; exit 2; }

# normalize PATH: the path with "." and ".." folded away, in $normal ("" when it climbs out of src/).
normalize() {
    local part parts=() IFS=/
    for part in $1; do
        case $part in
        "" | .) ;;
        ..)
            ((${#parts[@]})) || { normal=""; return; }
            unset 'parts[${#parts[@]}-1]'
            ;;
        *) parts+=("$part") ;;
        esac
    done
    normal="${parts[*]}"
}

header='["<]([^">]+)[">]'
while IFS= read -r hit; do
    [[ -n $hit ]] || continue
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    directive=${rest#*:}
    relative=${file#"$src"/}
    if [[ $relative == */* ]]; then
        from=${relative%%/*}
        here=${relative%/*}
    else
        from=""
        here=""
    fi
    [[ $directive =~ $header ]] || continue
    name=${BASH_REMATCH[1]}
    first=${name%%/*}
    if [[ $name == */* && -n ${level[$first]+x} ]]; then
        normalize "$name"
    elif [[ $directive =~ \" && ($first == . || $first == ..) ]]; then
        normalize "$here/$name"
    else
        continue # a file of its own folder, or no project header (Qt, the standard library)
    fi
    target=${normal%%/*}
    [[ $normal == */* && -n ${level[$target]+x} ]] || continue
    [[ $from == "$target" ]] && continue
    if [[ -z $from ]]; then
        from_level=$top
    elif [[ -n ${level[$from]+x} ]]; then
        from_level=${level[$from]}
    else
        continue # already named above
    fi
    if ((level[$target] >= from_level)); then
        echo "$file:$line: $from may not include $target (level ${level[$target]} is not below $from_level)" >&2
        bad=1
    fi
done <<<"$includes"

if ((bad)); then
    exit 1
fi
echo "layering: no include runs against the layers"
