#!/bin/sh
# installer_test.sh WINE WINESERVER SETUP SCR INI VERSION
#
# The Windows installer SETUP (zandreth-setup.exe) run silently under Wine,
# in the Wine prefix WINEPREFIX, as a user would run it:
#   - it asks for no administrator rights (its manifest says asInvoker);
#   - /S installs the built zandreth.scr (SCR), the shipped zandreth.ini
#     (INI), the install note, the licences and the uninstaller into the
#     user's programs folder and registers the uninstaller in the user's
#     list of programs, leaving the user's screen saver as it was;
#   - /S /SCREENSAVER over that installation makes Zandreth the current
#     screen saver (by the short form of its path) and keeps the user's
#     saved settings;
#   - the uninstaller (/S) removes the program, its registration and the
#     screen-saver choice, and keeps the settings;
#   - the uninstaller with /REMOVESETTINGS removes the settings as well.
# Every failed check is reported; the exit status is 1 if any failed.
set -u
wine=$1 wineserver=$2 setup=$3 scr=$4 ini=$5 version=$6

failures=0
fail() {
    printf 'FAILED: %s\n' "$*" >&2
    failures=$((failures + 1))
}

# A Windows command's output without its carriage returns.
windows() {
    "$wine" "$@" 2>/dev/null | tr -d '\r'
}
# The values of registry key $1, one "name type data" line each, or nothing
# when there is no such key (each Wine start takes a while, so a key is read
# whole).
registry_key() {
    values=$("$wine" reg query "$1" 2>/dev/null) && printf '%s\n' "$values" | tr -d '\r'
}
# The data of value $2 in the lines $1 of registry_key, empty when it has none.
value_in() {
    printf '%s\n' "$1" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
# Runs the uninstaller as the list of programs does, and waits for it: it
# copies itself to the temporary folder and runs from there, so the command
# returns before it has done its work; the Wine server ends once it has.
uninstall() {
    "$wine" "$windows_folder\\uninstall.exe" "$@" || fail "the uninstaller $* ended with status $?"
    timeout 120 "$wineserver" -w || fail "the uninstaller $* did not end within two minutes"
}

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zandreth'
desktop_key='HKCU\Control Panel\Desktop'

grep -a -q 'level="asInvoker"' "$setup" || fail "the installer's manifest does not ask to run as the user (asInvoker)"

# The user's folders, as Windows and as Unix paths.
windows_folders=$(windows cmd /c 'echo %LOCALAPPDATA%&echo %APPDATA%')
windows_local_app_data=$(printf '%s\n' "$windows_folders" | sed -n 1p)
windows_app_data=$(printf '%s\n' "$windows_folders" | sed -n 2p)
unix_folders=$(windows winepath -u "$windows_local_app_data" "$windows_app_data")
local_app_data=$(printf '%s\n' "$unix_folders" | sed -n 1p | sed 's:/*$::')
app_data=$(printf '%s\n' "$unix_folders" | sed -n 2p | sed 's:/*$::')
if [ -z "$local_app_data" ] || [ -z "$app_data" ] || [ -z "$windows_local_app_data" ]; then
    printf 'Wine gives no user folders: [%s] [%s]\n' "$windows_folders" "$unix_folders" >&2
    exit 1
fi
folder=$local_app_data/Programs/Zandreth
windows_folder=$windows_local_app_data\\Programs\\Zandreth
program=$windows_folder\\zandreth.scr

# What an earlier run may have left, and a screen saver of the user's own.
rm -rf "$folder" "$app_data/Zandreth"
registry=$(mktemp)
# The prefix is shared with the other tests: whatever happens, no
# installation and no %APPDATA%\Zandreth is left in it.
trap 'rm -rf "$registry" "$folder" "$app_data/Zandreth"' EXIT
printf 'REGEDIT4\r\n\r\n[-%s]\r\n\r\n[%s]\r\n"SCRNSAVE.EXE"="C:\\\\windows\\\\system32\\\\other.scr"\r\n' \
    "$(printf '%s' "$uninstall_key" | sed 's/^HKCU/HKEY_CURRENT_USER/')" \
    "$(printf '%s' "$desktop_key" | sed 's/^HKCU/HKEY_CURRENT_USER/')" >"$registry"
"$wine" regedit /s "$(windows winepath -w "$registry")" 2>/dev/null
# --- A silent installation, the box left unticked.
"$wine" "$setup" /S || fail "the installer /S ended with status $?"
cmp -s "$folder/zandreth.scr" "$scr" || fail "$folder/zandreth.scr is not the built program"
cmp -s "$folder/zandreth.ini" "$ini" || fail "$folder/zandreth.ini is not the shipped catalogue"
for file in README.txt LICENSE.txt LICENSE-Unicode.txt uninstall.exe; do
    [ -s "$folder/$file" ] || fail "$folder/$file is missing"
done
check_value() { # key's lines, key, value, expected
    actual=$(value_in "$1" "$3")
    [ "$actual" = "$4" ] || fail "$2 $3 is \"$actual\", not \"$4\""
}
uninstall_values=$(registry_key "$uninstall_key")
desktop_values=$(registry_key "$desktop_key")
check_value "$uninstall_values" "$uninstall_key" DisplayName "Zandreth"
check_value "$uninstall_values" "$uninstall_key" DisplayVersion "$version"
check_value "$uninstall_values" "$uninstall_key" Publisher "The Zandreth developers"
check_value "$uninstall_values" "$uninstall_key" InstallLocation "$windows_folder"
check_value "$uninstall_values" "$uninstall_key" UninstallString "\"$windows_folder\\uninstall.exe\""
check_value "$uninstall_values" "$uninstall_key" QuietUninstallString "\"$windows_folder\\uninstall.exe\" /S"
check_value "$uninstall_values" "$uninstall_key" DisplayIcon "$program,0"
check_value "$desktop_values" "$desktop_key" SCRNSAVE.EXE 'C:\windows\system32\other.scr'

# --- Installed again with /SCREENSAVER, after the user saved settings.
printf '[SELECT_CITY]\r\nTimeZone=7\r\n' >>"$folder/zandreth.ini"
cp "$folder/zandreth.ini" "$folder/saved.ini"
"$wine" "$setup" /S /SCREENSAVER || fail "the installer /S /SCREENSAVER ended with status $?"
desktop_values=$(registry_key "$desktop_key")
# The installer writes the short form of the program's path, as Windows
# does; it names the installed program.
screen_saver=$(value_in "$desktop_values" SCRNSAVE.EXE)
screen_saver_file=$(windows winepath -u "$screen_saver")
[ -n "$screen_saver" ] && [ "$screen_saver_file" -ef "$folder/zandreth.scr" ] \
    || fail "$desktop_key SCRNSAVE.EXE is \"$screen_saver\", not the installed $program"
check_value "$desktop_values" "$desktop_key" ScreenSaveActive 1
cmp -s "$folder/zandreth.ini" "$folder/saved.ini" || fail "installing again replaced the user's settings"
rm -f "$folder/saved.ini"

# --- Uninstalled: the settings stay.
mkdir -p "$app_data/Zandreth"
cp "$ini" "$app_data/Zandreth/zandreth.ini"
uninstall /S
for file in zandreth.scr README.txt LICENSE.txt LICENSE-Unicode.txt uninstall.exe; do
    [ ! -e "$folder/$file" ] || fail "the uninstaller left $folder/$file"
done
[ -z "$(registry_key "$uninstall_key")" ] || fail "the uninstaller left its registration"
[ -z "$(value_in "$(registry_key "$desktop_key")" SCRNSAVE.EXE)" ] || fail "the uninstaller left Zandreth as the screen saver"
grep -q 'TimeZone=7' "$folder/zandreth.ini" 2>/dev/null || fail "the uninstaller removed the settings beside the program"
[ -f "$app_data/Zandreth/zandreth.ini" ] || fail "the uninstaller removed %APPDATA%\\Zandreth"

# --- Installed again, then uninstalled with /REMOVESETTINGS.
"$wine" "$setup" /S || fail "the installer /S ended with status $?"
grep -q 'TimeZone=7' "$folder/zandreth.ini" || fail "installing after an uninstallation replaced the kept settings"
uninstall /S /REMOVESETTINGS
[ ! -e "$folder" ] || fail "the uninstaller /REMOVESETTINGS left $folder: $(ls -A "$folder")"
[ ! -e "$app_data/Zandreth" ] || fail "the uninstaller /REMOVESETTINGS left %APPDATA%\\Zandreth"

[ "$failures" -eq 0 ] || exit 1
echo "installed, registered, made the screen saver, uninstalled with and without the settings"
