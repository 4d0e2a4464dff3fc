#include "settings/setting.h"

#include "about/frm_about.h"
#include "data/city_catalogue.h"
#include "data/saved_settings.h"
#include "platform/forms/app.h"
#include "platform/runtime/message_box.h"
#include "platform/runtime/text_functions.h"
#include "settings/save_failure_message.h"

#include <algorithm>

namespace zandreth {

namespace {

const platform::FormDesign kDesign {
    .caption = "Zandreth",
    .borderStyle = platform::BorderStyle::Sizable,
    .scaleMode = platform::ScaleMode::Twips,
    .clientWidth = 7665,
    .clientHeight = 6690,
    .maxButton = false,
};

const platform::Font kRowFont { "ＭＳ Ｐゴシック", 9.75, false, 128 };
const platform::Font kLanguageFrameFont { "MS UI Gothic", 9, false, 128 };
const platform::Font kAboutButtonFont { "Times New Roman", 9, false, 0 };

constexpr int16_t kRows = 10;
constexpr int16_t kNoCity = -1;
constexpr int16_t kChecked = 1;
constexpr int16_t kUnchecked = 0;

std::string secondsText(int16_t seconds)
{
    return platform::CStr(seconds) + "秒";
}

// A saved interval outside its bar's range (a hand-edited file) is shown at
// the nearer end of the range instead of being refused by the bar.
int16_t clampToBar(int32_t seconds, const platform::HScrollBar& bar)
{
    return static_cast<int16_t>(std::clamp<int32_t>(seconds, bar.min(), bar.max()));
}

bool namesRecord(int32_t city)
{
    return city >= 0 && city <= CityCount;
}

int16_t truthValue(bool selected)
{
    return selected ? kTrue : kFalse;
}

} // namespace

Setting::Setting()
    : Form(kDesign)
{
    // Design values, in the order the dialog lists them. Positions and sizes
    // in twips, relative to the control's container.
    Frame1.move(240, 240, 5535, 4935);
    Frame1.setCaption("国（都市）を選択してください");
    Frame1.setTabIndex(49);
    Frame2.move(240, 5400, 4095, 1095);
    Frame2.setCaption("動作");
    Frame2.setTabIndex(52);
    Frame3.move(360, 4200, 2175, 615);
    Frame3.setCaption("表示言語");
    Frame3.setFont(kLanguageFrameFont);
    Frame3.setTabIndex(57);
    Frame4.move(2760, 4200, 2295, 615);
    Frame4.setCaption("表示内容");
    Frame4.setTabIndex(58);

    for (int16_t i = 0; i < kRows; ++i) {
        const float rowTop = 720 + 360 * i;
        Check1(i).move(360, rowTop, 495, 375);
        Check1(i).setFont(kRowFont);
        Check1(i).setToolTipText("チェックオンで表示します。");
        Check1(i).setTabIndex(4 * i);

        Combo1(i).move(960, rowTop, 2655, 315);
        Combo1(i).setText("Combo1");
        Combo1(i).setFont(kRowFont);
        Combo1(i).setToolTipText("表示したい国(都市)名をリスト一覧から選択してください。");
        Combo1(i).setTabIndex(4 * i + 1);

        Check2(i).move(3960, rowTop, 855, 375);
        Check2(i).setCaption("表示");
        Check2(i).setToolTipText("チェックオンで国(都市)が点滅します。");
        Check2(i).setTabIndex(4 * i + 2);

        const bool narrow = i == 0 || i == 1 || i == 5;
        Option3(i).move(4680, 480 + 360 * i, narrow ? 495 : 615, 375);
        Option3(i).setToolTipText("自国(都市)を選択");
        Option3(i).setTabIndex(4 * i + 3);
    }

    Label1.move(360, 240, 855, 255);
    Label1.setCaption("表示");
    Label1.setTabIndex(50);
    Label2.move(3720, 240, 735, 255);
    Label2.setCaption("ﾏｰｸ");
    Label2.setTabIndex(51);
    Label7.move(4680, 240, 615, 255);
    Label7.setCaption("ﾛｰｶﾙ");
    Label7.setTabIndex(59);

    Option1(0).move(240, 240, 975, 300);
    Option1(0).setCaption("日本語");
    Option1(0).setToolTipText("表示言語を日本語にします。");
    Option1(0).setTabIndex(40);
    Option1(1).move(1200, 240, 855, 255);
    Option1(1).setCaption("英語");
    Option1(1).setToolTipText("表示言語を英語にします。");
    Option1(1).setTabIndex(41);
    Option2(0).move(120, 240, 855, 255);
    Option2(0).setCaption("国名");
    Option2(0).setToolTipText("国名表示します。");
    Option2(0).setTabIndex(42);
    Option2(1).move(1080, 240, 975, 255);
    Option2(1).setCaption("都市名");
    Option2(1).setToolTipText("都市名表示にします。");
    Option2(1).setTabIndex(43);

    Label6.move(240, 280, 1335, 255);
    Label6.setCaption("位置更新時間");
    Label6.setAlignment(platform::Alignment::Right);
    Label6.setToolTipText("地図の位置変更間隔を秒単位で指定します。");
    Label6.setTabIndex(54);
    HScroll2.move(1680, 240, 1455, 255);
    HScroll2.setMin(5);
    HScroll2.setMax(60);
    HScroll2.setValue(5);
    HScroll2.setSmallChange(1);
    HScroll2.setLargeChange(1);
    HScroll2.setTabIndex(44);
    Label4.move(3120, 285, 615, 255);
    Label4.setCaption("秒");
    Label4.setAlignment(platform::Alignment::Right);
    Label4.setTabIndex(55);
    Label3.move(240, 640, 1335, 255);
    Label3.setCaption("マーク点滅間隔");
    Label3.setAlignment(platform::Alignment::Right);
    Label3.setToolTipText("選択したマーク点滅間隔を秒単位で指定します。");
    Label3.setTabIndex(53);
    HScroll1.move(1680, 600, 1455, 255);
    HScroll1.setMin(1);
    HScroll1.setMax(10);
    HScroll1.setValue(1);
    HScroll1.setSmallChange(1);
    HScroll1.setLargeChange(1);
    HScroll1.setTabIndex(45);
    Label5.move(3120, 645, 615, 255);
    Label5.setCaption("秒");
    Label5.setAlignment(platform::Alignment::Right);
    Label5.setTabIndex(56);

    Command1.move(6240, 360, 1215, 495);
    Command1.setCaption("設定");
    Command1.setTabIndex(46);
    Command2.move(6240, 1200, 1215, 495);
    Command2.setCaption("キャンセル");
    Command2.setTabIndex(47);
    Command2.setCancel(true);
    Command3.move(6240, 2040, 1215, 495);
    Command3.setCaption("Abort");
    Command3.setFont(kAboutButtonFont);
    Command3.setTabIndex(48);

    // Right of Frame2 and below Frame1, as tall as Frame2 and ending where
    // the buttons end; its two boxes stand on the lines of Frame2's bars.
    // Every control above keeps its place and its tab index.
    Frame5.move(4560, 5400, 2895, 1095);
    Frame5.setCaption("表示オプション");
    Frame5.setTabIndex(62);
    Check3.move(240, 240, 2415, 300);
    Check3.setCaption("昼夜を表示");
    Check3.setToolTipText("チェックオンで地図の夜の側を暗く表示します。");
    Check3.setTabIndex(60);
    Check4.move(240, 600, 2415, 300);
    Check4.setCaption("夏時間を使う");
    Check4.setToolTipText("チェックオンで夏時間のある国(都市)の時刻を夏時間で表示します。");
    Check4.setTabIndex(61);

    // Stacking order, from the bottom up. The row controls lie within
    // Frame1's rectangle without being in it, so they must stay above it.
    Frame1.bringToFront();
    Check1(0).bringToFront();
    Combo1(1).bringToFront();
    Combo1(2).bringToFront();
    Command1.bringToFront();
    Command2.bringToFront();
    for (int16_t i = 3; i <= 9; ++i)
        Combo1(i).bringToFront();
    Command3.bringToFront();
    for (int16_t i = 0; i <= 9; ++i)
        Check2(i).bringToFront();
    for (int16_t i = 1; i <= 9; ++i)
        Check1(i).bringToFront();
    Frame2.bringToFront();
    Combo1(0).bringToFront();
    Frame5.bringToFront();
    // Within Frame1.
    Label1.bringToFront();
    Label2.bringToFront();
    Label7.bringToFront();
    Option3(2).bringToFront();
    Frame3.bringToFront();
    Frame4.bringToFront();
    for (int16_t i = 3; i <= 9; ++i)
        Option3(i).bringToFront();
    Option3(1).bringToFront();
    Option3(0).bringToFront();

    Check1.connect(&platform::CheckBox::onClick, [this](int16_t index) { Check1_Click(index); });
    Option1.connect(&platform::OptionButton::onClick, [this](int16_t index) { Option1_Click(index); });
    Option2.connect(&platform::OptionButton::onClick, [this](int16_t index) { Option2_Click(index); });
    HScroll2.onChange = [this] { HScroll2_Change(); };
    HScroll1.onChange = [this] { HScroll1_Change(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
}

void Setting::Form_Load()
{
    // Centred on the screen, in single precision, each half taken before the
    // subtraction; the top first.
    setTop(platform::Screen.height() / 2 - height() / 2);
    setLeft(platform::Screen.width() / 2 - width() / 2);

    if (!LoadCityTable()) {
        unload();
        return;
    }
    LoadSaveSettings(kFalse);

    HScroll2.setValue(clampToBar(Settings.RndInterval, HScroll2));
    HScroll1.setValue(clampToBar(Settings.MarkInterval, HScroll1));
    Label4.setCaption(secondsText(HScroll2.value()));
    Label5.setCaption(secondsText(HScroll1.value()));

    // Selecting a button clears the other of its pair, so when both saved
    // values of a pair are set, the second button ends selected.
    for (int16_t i = 0; i <= 1; ++i) {
        Option1(i).setValue(Settings.LangSelect[i] != 0);
        Option2(i).setValue(Settings.PrintName[i] != 0);
    }

    // Only a value of exactly 1 checks a box; the reading already turned any
    // other into 0.
    Check3.setValue(DayNight == kChecked ? kChecked : kUnchecked);
    Check4.setValue(SummerTime == kChecked ? kChecked : kUnchecked);

    for (int16_t i = 0; i < kRows; ++i) {
        FillCityList(i);
        const int16_t city = SelectedCity[i].SelectNo;
        // A saved city that the catalogue does not have (a hand-edited file,
        // or a catalogue that has shrunk) shows as an empty row, so saving
        // again stores the row as empty.
        if (city == kNoCity || !namesRecord(city)) {
            Check1(i).setValue(kUnchecked);
            Combo1(i).setListIndex(0);
            Check2(i).setVisible(false);
            Option3(i).setVisible(false);
        } else {
            Check1(i).setValue(kChecked);
            Combo1(i).setListIndex(city);
            Check2(i).setVisible(true);
            // Only 1 blinks; any other saved flag (-1 for a row never
            // saved with one) shows as a steady row.
            Check2(i).setValue(SelectedCity[i].MarkNo == 1 ? kChecked : kUnchecked);
            Option3(i).setVisible(true);
            if (Combo1(i).listIndex() == Settings.HomeCity)
                Option3(i).setValue(true);
        }
    }
}

void Setting::FillCityList(int16_t Index)
{
    // Item k is record k: the list's index is a city number. The list is
    // rewritten in place, never cleared, so its selected item stays selected
    // with its new text.
    const int16_t last = CityCount;
    platform::ComboBox& list = Combo1(Index);
    for (int32_t k = 0; k <= last; ++k) {
        const int16_t japanese = truthValue(Option1(0).value());
        const int16_t country = truthValue(Option2(0).value());
        list.setList(k, ChooseName(CityTable(k), japanese, country));
    }
}

void Setting::Check1_Click(int16_t Index)
{
    // The row's blink box and home-city button belong to a row in use. Their
    // values stay as they are: a hidden home-city button stays selected.
    const bool used = Check1(Index).value() == kChecked;
    Check2(Index).setVisible(used);
    Option3(Index).setVisible(used);
}

void Setting::Option1_Click(int16_t Index)
{
    (void)Index;
    RefillCityLists();
}

void Setting::Option2_Click(int16_t Index)
{
    (void)Index;
    RefillCityLists();
}

void Setting::RefillCityLists()
{
    // Every list names the same records in the newly chosen language and
    // kind; no list's selection is touched.
    for (int16_t i = 0; i < kRows; ++i) {
        Combo1(i).setVisible(false);
        FillCityList(i);
        Combo1(i).setVisible(true);
    }
}

void Setting::HScroll2_Change()
{
    Label4.setCaption(secondsText(HScroll2.value()));
}

void Setting::HScroll1_Change()
{
    Label5.setCaption(secondsText(HScroll1.value()));
}

void Setting::Command1_Click()
{
    // Kept to be put back when the file cannot be written: the settings in
    // memory then stay those of the file, and the dialog stays open with the
    // user's choices for another try.
    const auto savedRows = SelectedCity;
    const auto savedSettings = Settings;
    const int16_t savedDayNight = DayNight;
    const int16_t savedSummerTime = SummerTime;

    for (int16_t i = 0; i < kRows; ++i) {
        if (Check1(i).value() == kChecked) {
            // A text typed into the list that names no city is dropped, as
            // when the list loses the focus: the row keeps the city it
            // shows selected. A list with no selected item at all stores
            // record 0, where a newly checked row stands.
            Combo1(i).revertUnmatchedText();
            SelectedCity[i].SelectNo = static_cast<int16_t>(std::max<int32_t>(Combo1(i).listIndex(), 0));
            SelectedCity[i].MarkNo = Check2(i).value();
            if (Option3(i).value())
                Settings.HomeCity = SelectedCity[i].SelectNo;
        } else {
            SelectedCity[i].SelectNo = kNoCity;
            SelectedCity[i].MarkNo = 0;
        }
    }
    Settings.RndInterval = HScroll2.value();
    Settings.MarkInterval = HScroll1.value();
    for (int16_t i = 0; i <= 1; ++i) {
        Settings.LangSelect[i] = truthValue(Option1(i).value());
        Settings.PrintName[i] = truthValue(Option2(i).value());
    }
    DayNight = Check3.value();
    SummerTime = Check4.value();

    if (!LoadSaveSettings(kTrue)) {
        SelectedCity = savedRows;
        Settings = savedSettings;
        DayNight = savedDayNight;
        SummerTime = savedSummerTime;
        platform::MsgBox(SaveFailureMessage(SettingsFilePath(), LastSettingsWriteFailure(), LastSettingsWriteError()),
                         platform::MessageBoxIcon::Exclamation, platform::App.title());
        return;
    }
    unload();
}

void Setting::Command2_Click()
{
    unload();
}

void Setting::Command3_Click()
{
    // A fresh box each time: its load runs at every opening.
    frmAbout about;
    about.show(platform::ShowMode::Modal);
}

} // namespace zandreth
