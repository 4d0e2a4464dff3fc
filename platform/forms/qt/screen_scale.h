#pragma once

// The scale of each monitor, worked out by the backend itself.
//
// Qt would scale every window by the device pixel ratio of the monitor it
// is on (from Xft.dpi, QT_SCALE_FACTOR, QT_SCREEN_SCALE_FACTORS). One
// window, though, covers monitors of different scales when the program
// covers the screen, and Qt's logical pixels of a virtual desktop of
// several scaled monitors leave gaps between them. So Qt works in device
// pixels throughout, and the forms' rules draw each picture at its
// monitor's scale, as the user set it: the same factors, read the same way.

#include <optional>
#include <string>

class QScreen;

namespace platform::qt {

// Before the application starts on `x11Display` (none where it does not
// run on X11, and Qt keeps its scaling): keeps the user's factors and turns
// Qt's own scaling off. A
// factor for every monitor (QT_SCALE_FACTOR) goes into the resolution Qt
// draws fonts and its widgets' parts at, as Qt's own scaling would have it.
void takeOverScaling(const std::optional<std::string>& x11Display);
// Device pixels per logical pixel on `screen` (none: the primary monitor).
double screenScale(const QScreen* screen);
// The screen's resolution as the forms take it: 96 dots per inch times the
// primary monitor's scale.
double formsDotsPerInch();
// What a font's points are multiplied by so that Qt, which converts points
// at its own resolution, draws them at formsDotsPerInch.
double fontPointFactor();

} // namespace platform::qt
