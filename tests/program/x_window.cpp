// A small X client for the whole-program tests: it plays the part of a
// screen-saver host, which gives the program a window to draw in, and tells
// which window is on top of the screen.
//
//   x_window create WIDTH HEIGHT X Y FILE   maps a window, writes its id
//                                           to FILE, then waits until it is
//                                           killed (the server destroys the
//                                           window with it)
//   x_window pixmap WIDTH HEIGHT FILE       makes a pixmap (a drawable
//                                           that is no window), writes its
//                                           id to FILE, then waits as
//                                           create does
//   x_window top                            prints the id of the topmost
//                                           mapped window of the screen
//   x_window mapped [WINDOW]                prints the ids of the mapped
//                                           children of WINDOW (the root
//                                           window by default), one a line
//   x_window monitors WxH+X+Y ...           splits the screen into these
//                                           monitors (RandR), then waits
//                                           until it is killed: the server
//                                           forgets them with their client

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

namespace {

// Writes an id into FILE whole, then renames it: a reader never sees half
// an id.
void writeId(unsigned long id, const std::string& file)
{
    std::string partial = file + ".part";
    if (FILE* out = std::fopen(partial.c_str(), "w")) {
        std::fprintf(out, "0x%lx\n", id);
        std::fclose(out);
        std::rename(partial.c_str(), file.c_str());
    }
}

int create(Display* display, int width, int height, int x, int y, const std::string& file)
{
    int screen = DefaultScreen(display);
    // Dark grey, so that a program that draws nothing is told apart from
    // one that draws black.
    XSetWindowAttributes attributes {};
    attributes.background_pixel = 0x303030;
    Window window = XCreateWindow(display, RootWindow(display, screen), x, y, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                  CWBackPixel, &attributes);
    XSizeHints hints {};
    hints.flags = USPosition | USSize;
    hints.x = x;
    hints.y = y;
    hints.width = width;
    hints.height = height;
    XSetWMNormalHints(display, window, &hints);
    XStoreName(display, window, "x_window host");
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    for (XEvent event; !XNextEvent(display, &event) && event.type != MapNotify;) {
    }
    writeId(window, file);
    for (;;)
        ::pause();
}

int pixmap(Display* display, int width, int height, const std::string& file)
{
    int screen = DefaultScreen(display);
    Pixmap drawable = XCreatePixmap(display, RootWindow(display, screen), static_cast<unsigned>(width),
                                    static_cast<unsigned>(height), static_cast<unsigned>(DefaultDepth(display, screen)));
    XSync(display, False);
    writeId(drawable, file);
    for (;;)
        ::pause();
}

int mapped(Display* display, Window window)
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return 1;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state != IsUnmapped)
            std::printf("0x%lx\n", children[i]);
    }
    if (children)
        XFree(children);
    std::fflush(stdout);
    return 0;
}

int top(Display* display)
{
    Window root = DefaultRootWindow(display);
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count))
        return 1;
    // Children come bottom first.
    Window topmost = 0;
    for (unsigned i = count; i-- > 0 && !topmost;) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable)
            topmost = children[i];
    }
    if (children)
        XFree(children);
    std::printf("0x%lx\n", topmost);
    std::fflush(stdout);
    return 0;
}

int monitors(Display* display, int count, char** geometries)
{
    Window root = DefaultRootWindow(display);
    XRRScreenResources* resources = XRRGetScreenResources(display, root);
    for (int i = 0; i < count; ++i) {
        int width = 0, height = 0, x = 0, y = 0;
        if (std::sscanf(geometries[i], "%dx%d+%d+%d", &width, &height, &x, &y) != 4)
            return 2;
        // The first monitor takes the screen's outputs, so that the server
        // drops the monitor it made of them.
        int outputs = i == 0 && resources ? resources->noutput : 0;
        XRRMonitorInfo* monitor = XRRAllocateMonitor(display, outputs);
        std::string name = "TEST-" + std::to_string(i);
        monitor->name = XInternAtom(display, name.c_str(), False);
        monitor->x = x;
        monitor->y = y;
        monitor->width = width;
        monitor->height = height;
        monitor->mwidth = width * 254 / 960;
        monitor->mheight = height * 254 / 960;
        for (int o = 0; o < outputs; ++o)
            monitor->outputs[o] = resources->outputs[o];
        XRRSetMonitor(display, root, monitor);
        XRRFreeMonitors(monitor);
    }
    XSync(display, False);
    std::printf("%d monitors\n", count);
    std::fflush(stdout);
    for (;;)
        ::pause();
}

} // namespace

int main(int argc, char** argv)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x_window: cannot open the display\n");
        return 2;
    }
    if (argc == 7 && std::strcmp(argv[1], "create") == 0)
        return create(display, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                      argv[6]);
    if (argc == 2 && std::strcmp(argv[1], "top") == 0) {
        int status = top(display);
        XCloseDisplay(display);
        return status;
    }
    if (argc == 5 && std::strcmp(argv[1], "pixmap") == 0)
        return pixmap(display, std::atoi(argv[2]), std::atoi(argv[3]), argv[4]);
    if ((argc == 2 || argc == 3) && std::strcmp(argv[1], "mapped") == 0) {
        Window window = argc == 3 ? std::strtoul(argv[2], nullptr, 0) : DefaultRootWindow(display);
        int status = mapped(display, window);
        XCloseDisplay(display);
        return status;
    }
    if (argc >= 3 && std::strcmp(argv[1], "monitors") == 0)
        return monitors(display, argc - 2, argv + 2);
    std::fprintf(stderr, "usage: x_window create WIDTH HEIGHT X Y FILE | x_window pixmap WIDTH HEIGHT FILE | x_window top | "
                         "x_window mapped [WINDOW] | x_window monitors WxH+X+Y ...\n");
    return 2;
}
