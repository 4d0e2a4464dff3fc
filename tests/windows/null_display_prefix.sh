#!/bin/sh
# Makes the Wine prefix WINEPREFIX (made on first use) draw with Wine's null
# display driver, so that its programs make windows without an X server,
# then waits for its Wine server to end.
# Usage: null_display_prefix.sh WINE WINESERVER
set -e
"$1" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
"$2" -w
