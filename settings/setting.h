#pragma once

// Setting: the settings dialog of configuration mode. The user picks the ten
// cities of the display from the catalogue, which of them blink and which one
// is the home city, the relocation and blink intervals, the display language
// and whether places are named by city or by country, and, in a frame of
// their own, whether the map shows day and night and whether the clocks
// follow daylight-saving time. The dialog reads the
// catalogue and the saved settings when it loads; its controls are the only
// working copy while it is open; 設定 writes them back and closes it,
// キャンセル (or Esc, or the close box) closes it without writing.

#include "platform/forms/check_box.h"
#include "platform/forms/combo_box.h"
#include "platform/forms/command_button.h"
#include "platform/forms/control_array.h"
#include "platform/forms/form.h"
#include "platform/forms/frame.h"
#include "platform/forms/h_scroll_bar.h"
#include "platform/forms/label.h"
#include "platform/forms/option_button.h"

#include <cstdint>

namespace zandreth {

class Setting : public platform::Form {
public:
    Setting();

    // The controls, by their designer names. Frames come before what they
    // hold.
    platform::Frame Frame1 { *this };
    platform::Frame Frame2 { *this };
    platform::Frame Frame3 { Frame1 };
    platform::Frame Frame4 { Frame1 };

    // The ten rows: in use, city list, blink, home city.
    platform::ControlArray<platform::CheckBox, 10> Check1 { *this };
    platform::ControlArray<platform::ComboBox, 10> Combo1 { *this };
    platform::ControlArray<platform::CheckBox, 10> Check2 { *this };
    platform::ControlArray<platform::OptionButton, 10> Option3 { Frame1 };

    // Column headings.
    platform::Label Label1 { Frame1 };
    platform::Label Label2 { Frame1 };
    platform::Label Label7 { Frame1 };

    // Display language (日本語, 英語) and name kind (国名, 都市名).
    platform::ControlArray<platform::OptionButton, 2> Option1 { Frame3 };
    platform::ControlArray<platform::OptionButton, 2> Option2 { Frame4 };

    // Relocation interval (HScroll2, echoed by Label4) and blink interval
    // (HScroll1, echoed by Label5), in seconds.
    platform::Label Label6 { Frame2 };
    platform::HScrollBar HScroll2 { Frame2 };
    platform::Label Label4 { Frame2 };
    platform::Label Label3 { Frame2 };
    platform::HScrollBar HScroll1 { Frame2 };
    platform::Label Label5 { Frame2 };

    // 設定, キャンセル and the About box.
    platform::CommandButton Command1 { *this };
    platform::CommandButton Command2 { *this };
    platform::CommandButton Command3 { *this };

    // Choices beyond the original dialog, in the free corner at its lower
    // right and after every other control in the tab order: 昼夜を表示
    // (DayNight) and 夏時間を使う (SummerTime).
    platform::Frame Frame5 { *this };
    platform::CheckBox Check3 { Frame5 };
    platform::CheckBox Check4 { Frame5 };

private:
    void Form_Load() override;
    void FillCityList(int16_t Index);
    void RefillCityLists();
    void Check1_Click(int16_t Index);
    void Option1_Click(int16_t Index);
    void Option2_Click(int16_t Index);
    void HScroll2_Change();
    void HScroll1_Change();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
};

} // namespace zandreth
