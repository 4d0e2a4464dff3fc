// Zandreth: a world-clock screen saver. The system starts it with "/S" (run),
// "/C" (settings) or "/P" (preview); everything else happens in the events of
// its forms, starting with the load of the display window.

#include "app/form1.h"
#include "platform/forms/runtime.h"

int main(int argc, char** argv)
{
    platform::Runtime runtime(argc, argv);
    zandreth::Form1 form;
    form.load();
    return runtime.exec();
}
