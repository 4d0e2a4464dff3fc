#include "app/command_line_help.h"

namespace zandreth {

std::string CommandLineHelp()
{
    return "Usage: zandreth [/S | /C | /P]\n"
           "       zandreth [--root | --window-id ID]\n"
           "       zandreth --help | --version\n"
           "A world-clock screen saver: a world map with up to ten cities and their\n"
           "local times on black.\n"
           "\n"
           "Only the first two characters of the command line count, in either case:\n"
           "  /S                  run mode: the map over every monitor; a key, a click\n"
           "                      or a few mouse moves end it\n"
           "  /C                  the settings dialog\n"
           "  /P                  preview: ends at once\n"
           "  anything else       the settings dialog\n"
           "\n"
           "Under xscreensaver, which gives the program a window to draw in:\n"
           "  --root, -root       draw in the screen's root window, or in the window\n"
           "                      XSCREENSAVER_WINDOW names\n"
           "  --window-id ID, -window-id ID\n"
           "                      draw in the window ID (decimal, or hexadecimal with 0x)\n"
           "  XSCREENSAVER_WINDOW=ID in the environment does the same as --window-id ID.\n"
           "  Such a copy takes no input and ends at SIGTERM. It opens no message box:\n"
           "  a message goes to standard error and into its window, and the copy ends\n"
           "  with status 1.\n"
           "\n"
           "  --help              print this help and exit\n"
           "  --version           print the version and exit\n"
           "  -display NAME       the X display to use (else DISPLAY)\n"
           "\n"
           "The settings file, zandreth.ini, lies beside the program for a portable copy\n"
           "(a zandreth.ini there, in a folder you may write to); otherwise each user has\n"
           "their own in $XDG_CONFIG_HOME/zandreth, or ~/.config/zandreth when\n"
           "XDG_CONFIG_HOME is not set, copied from the installed catalogue on first use.\n"
           "\n"
           "Exit status: 1 after a run-time error, after the message of a copy under\n"
           "xscreensaver, or without a display; else 0.\n";
}

} // namespace zandreth
