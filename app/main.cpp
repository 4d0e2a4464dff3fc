// Zandreth: a world-clock screen saver. The system starts it with "/S" (run),
// "/C" (settings) or "/P" (preview); everything else happens in the events of
// its forms, starting with the load of the display window. A program that
// has ended as the runtime starts (it answered "--help" or "--version", or
// found no display) makes no form.

#include "app/command_line_help.h"
#include "app/form1.h"
#include "platform/forms/runtime.h"

int main(int argc, char** argv)
{
    platform::Runtime runtime(argc, argv, zandreth::CommandLineHelp());
    if (runtime.ended())
        return runtime.exitStatus();
    zandreth::Form1 form;
    form.load();
    return runtime.exec();
}
