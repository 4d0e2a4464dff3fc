#pragma once

// frmAbout: the About box, opened modally from the settings dialog. It shows
// the program's icon, title and version, a rights notice and a notice on the
// terms of use, and closes on OK, Enter or Esc. It reads and changes nothing.

#include "platform/forms/command_button.h"
#include "platform/forms/control_array.h"
#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/line.h"
#include "platform/forms/picture_box.h"

namespace zandreth {

class frmAbout : public platform::Form {
public:
    frmAbout();

    // The controls, by their designer names.
    platform::PictureBox picIcon { *this };
    platform::CommandButton cmdOK { *this };
    platform::Label Label1 { *this };
    // Line1(1), grey and one pixel, lies over the white two-pixel Line1(0):
    // together an etched rule.
    platform::ControlArray<platform::Line, 2> Line1 { *this };
    platform::Label lblDescription { *this };
    platform::Label lblTitle { *this };
    platform::Label lblVersion { *this };

private:
    void Form_Load() override;
    void cmdOK_Click();
};

} // namespace zandreth
