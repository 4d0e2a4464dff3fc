#pragma once

// Form1: the display window and the program's start-up form. Its load event
// is where the program begins: it dispatches on the command line to run mode
// (the full-screen map with its city labels and clocks), the settings dialog
// or preview mode, and in run mode its three timers drive everything until a
// key, a click or the seventh mouse move ends the run.

#include "platform/forms/control_array.h"
#include "platform/forms/form.h"
#include "platform/forms/image.h"
#include "platform/forms/input_method.h"
#include "platform/forms/label.h"
#include "platform/forms/pixel_picture.h"
#include "platform/forms/timer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace zandreth {

class Setting;

class Form1 : public platform::Form {
public:
    Form1();
    ~Form1() override;

    // The controls, by their designer names.
    platform::Image Image1 { *this };
    platform::Label L_UTCtime { *this };
    platform::ControlArray<platform::Label, 10> Label1 { *this }; // local times
    platform::ControlArray<platform::Label, 10> Label3 { *this }; // city names
    platform::Timer Timer1 { *this };
    platform::Timer Timer2 { *this };
    platform::Timer Timer3 { *this };

    // The settings dialog, once configuration mode has shown it.
    Setting* settingDialog() const { return setting_.get(); }

    // Handlers and procedures, public so that tests can drive them as the
    // runtime would.
    void Form_Load() override;
    void Form_Unload(int16_t& cancel) override;
    // A host's window took a new size: the map is placed anew within it.
    void Form_Resize() override;
    void Form_KeyDown(int16_t keyCode, int16_t shift) override;
    void Form_MouseDown(int16_t button, int16_t shift, float x, float y) override;
    void Form_MouseMove(int16_t button, int16_t shift, float x, float y) override;
    void Image1_MouseDown(int16_t button, int16_t shift, float x, float y);
    void Image1_MouseMove(int16_t button, int16_t shift, float x, float y);

    void SetupCityLabels();
    void RelocateMap();
    void MapPoint(const int16_t& mode, double horizontal, double vertical, float& outY, float& outX);
    void PlaceCityLabels();
    void PlaceUtcLabel();
    void UpdateUtcLabel();
    // With DayNight on: the map with its night side darkened for the current
    // UTC time; `when` Always draws it, NewMinute only when the minute has
    // changed since it was last drawn.
    enum class ShadeWhen { Always, NewMinute };
    void ShadeMap(ShadeWhen when);
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();

    // State kept between events, per form instance, zero when it is created.
    platform::InputContext SavedImc = 0;
    int16_t MoveCount = 0;
    int16_t ImageMoveCount = 0;
    double ScaleX = 0;
    double ScaleY = 0;
    std::array<float, 10> NameWidth {};
    int16_t RelocArmed = 0;
    int16_t BlinkOn = 0;

private:
    void showSettingsDialog();
    // The monitor the next placement uses, in the form's pixels.
    platform::Area pickMonitor(float pictureWidth, float pictureHeight);

    std::unique_ptr<Setting> setting_;
    // The UTC minute the map's shading was last drawn for, and the shaded
    // picture, kept for the next drawing.
    std::optional<int64_t> shadedMinute_;
    platform::PixelPicture shadedMap_;
};

} // namespace zandreth
