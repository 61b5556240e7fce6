#!/usr/bin/env bash
# Makes the Debian package from a build folder, unpacks it into a temporary root (dpkg-deb -x) and checks it as
# a shopkeeper's machine would see it: the files in their places, the menu entry and the metainfo valid, the
# installed program starting with its data in each user's own folder, and an upgrade leaving that data alone.
# usage: package_test.sh <cpack> <build folder> <version>
set -euo pipefail
cpack=$1
build=$2
version=$3
app_id=example.zelvora.Zelvora

if ! command -v dpkg-deb >/dev/null; then
    echo "dpkg-deb is not available: skipped"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    fail "cpack could not make the package"
fi
deb=$(echo "$work"/cpack/zelvora_"$version"_*.deb)
[ -f "$deb" ] || fail "no package zelvora_${version}_*.deb in $work/cpack"

# Dependencies: the shared-library scan found the linked libraries (with their versions; libpq, which the server's
# bulk load uses, without); the run-time plugins and Qt's Turkish texts are named.
depends=$(dpkg-deb -f "$deb" Depends)
for dep in "libqt6widgets6 (" "libqt6sql6 (" "libsodium23 (" libpq5 libqt6sql6-sqlite qt6-qpa-plugins qt6-translations-l10n; do
    [[ "$depends" == *"$dep"* ]] || fail "Depends lacks $dep: $depends"
done

# What Debian asks of a package: no lintian error or warning (when lintian is installed), every file owned by
# root.
if command -v lintian >/dev/null; then
    lintian --fail-on error,warning --display-level '>=warning' "$deb" >"$work/lintian" 2>&1 ||
        fail "lintian: $(cat "$work/lintian")"
fi
if dpkg-deb -c "$deb" | awk '$2 != "root/root"' | grep .; then fail "files not owned by root"; fi

# Every file lies under /usr; nothing in a user's folder, so neither an install nor an upgrade can touch one.
dpkg-deb -c "$deb" | awk '{print $NF}' | sort >"$work/files"
for f in usr/bin/zelvora usr/share/zelvora/veresiye.dll usr/share/applications/$app_id.desktop \
    usr/share/metainfo/$app_id.metainfo.xml usr/share/icons/hicolor/scalable/apps/$app_id.svg \
    usr/share/man/man1/zelvora.1.gz usr/share/doc/zelvora/copyright usr/share/doc/zelvora/changelog.gz; do
    grep -qx "\./$f" "$work/files" || fail "package lacks /$f"
done
if grep -v -e '^\./$' -e '^\./usr/' "$work/files"; then fail "files outside /usr"; fi
if grep -e 'veresiye\.dll' "$work/files" | grep -vx './usr/share/zelvora/veresiye.dll'; then
    fail "a database outside /usr/share/zelvora"
fi

root=$work/root
dpkg-deb -x "$deb" "$root"
# The program is built hardened: PIE, stack protector, fortified functions, read-only relocations, bound now.
# Control-flow protection is left out of the check: Debian 12's C runtime objects carry no CET marking, so no
# program linked there is marked, whatever its own objects are compiled with.
if command -v hardening-check >/dev/null; then
    hardening-check --nocfprotection "$root/usr/bin/zelvora" >"$work/hardening" 2>&1 ||
        fail "hardening: $(cat "$work/hardening")"
fi
desktop-file-validate "$root/usr/share/applications/$app_id.desktop" || fail "desktop entry"
grep -qx 'Categories=Office;Finance;' "$root/usr/share/applications/$app_id.desktop" || fail "categories"
grep -q '^Comment\[tr\]=.*veresiye' "$root/usr/share/applications/$app_id.desktop" || fail "Turkish comment"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" || fail "metainfo"
grep -q '<summary xml:lang="tr">' "$root/usr/share/metainfo/$app_id.metainfo.xml" || fail "Turkish summary"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$app_id.metainfo.xml" || fail "release"
# Each icon is a PNG of its size (width and height from the PNG header).
for size in 16 24 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    [ -f "$png" ] || fail "no ${size}x${size} icon"
    header=$(od -An -tu1 -N24 "$png" | tr -s ' \n' ' ')
    read -r -a b <<<"$header"
    [ "${b[1]} ${b[2]} ${b[3]}" = "80 78 71" ] || fail "${size}x${size} icon is not a PNG"
    [ $((b[18] * 256 + b[19])) -eq "$size" ] && [ $((b[22] * 256 + b[23])) -eq "$size" ] ||
        fail "${size}x${size} icon has another size"
done

# Starts the installed program as the user with the given home folder. ZELVORA_QUIT_ON_MAIN_WINDOW makes it
# print the main window's name and end once that window stands.
start() {
    local home=$1
    mkdir -p "$home"
    env -i PATH=/usr/bin:/bin HOME="$home" QT_QPA_PLATFORM=offscreen ZELVORA_QUIT_ON_MAIN_WINDOW=1 \
        timeout 45 "$root/usr/bin/zelvora" 2>"$work/stderr"
}
query() {
    sqlite3 "$1" "$2"
}

shop=$work/home/ayse
shop_db=$shop/.local/share/Zelvora/veresiye.dll
out=$(start "$shop") || fail "first start ended with status $?: $(cat "$work/stderr")"
[ "$out" = veresiye ] || fail "main window not shown: '$out'"
[ -f "$shop_db" ] || fail "no database in the data folder"
[ "$(query "$shop_db" 'SELECT surum FROM surum')" = "$version" ] || fail "not the supplied database"
[ "$(stat -c %a "$shop_db")" = 600 ] || fail "database readable by others: $(stat -c %a "$shop_db")"
if ls "$root/usr/bin" | grep -vx zelvora; then fail "files written beside the installed program"; fi
query "$shop_db" "INSERT INTO musteriler (mus_kodu, MusteriFirma, Turu) VALUES ('1', 'Ayşe Bakkal', 'Alıcı')"

# A second user on the same machine gets a database of her own.
other=$work/home/fatma
out=$(start "$other") || fail "second user's start ended with status $?: $(cat "$work/stderr")"
[ "$out" = veresiye ] || fail "main window not shown for the second user: '$out'"
[ "$(query "$other/.local/share/Zelvora/veresiye.dll" 'SELECT count(*) FROM musteriler')" = 0 ] ||
    fail "the second user sees the first one's customers"
[ "$(query "$shop_db" 'SELECT MusteriFirma FROM musteriler')" = "Ayşe Bakkal" ] || fail "first user's data changed"

# An upgrade replaces the package's files, the supplied database among them, and nothing else.
dpkg-deb -x "$deb" "$root"
query "$root/usr/share/zelvora/veresiye.dll" "UPDATE surum SET surum = '9.9.9'"
out=$(start "$shop") || fail "start after the upgrade ended with status $?: $(cat "$work/stderr")"
[ "$out" = veresiye ] || fail "main window not shown after the upgrade: '$out'"
[ "$(query "$shop_db" 'SELECT surum FROM surum')" = "$version" ] || fail "the upgrade replaced the user's database"
[ "$(query "$shop_db" 'SELECT MusteriFirma FROM musteriler')" = "Ayşe Bakkal" ] || fail "the upgrade lost a customer"
# A user who starts the program only now gets the new supplied database.
out=$(start "$work/home/zeynep") || fail "new user's start ended with status $?"
[ "$(query "$work/home/zeynep/.local/share/Zelvora/veresiye.dll" 'SELECT surum FROM surum')" = 9.9.9 ] ||
    fail "a new user did not get the supplied database"
echo "package $deb: all checks passed"
