#include "about/frm_about.h"

#include "platform/forms/app.h"
#include "platform/runtime/text_functions.h"

namespace zandreth {

namespace {

const platform::FormDesign kDesign {
    .caption = "バージョン情報",
    .borderStyle = platform::BorderStyle::FixedDialog,
    .scaleMode = platform::ScaleMode::Twips,
    .clientWidth = 5730,
    .clientHeight = 3105,
    // No code moves the box: it opens where it was designed to.
    .clientLeft = 2340,
    .clientTop = 1935,
    .maxButton = false,
    .minButton = false,
    .showInTaskbar = false,
};

const platform::Font kButtonFont { "ＭＳ Ｐゴシック", 9, false, 128 };
const platform::Font kTextFont { "MS UI Gothic", 9, false, 128 };

constexpr platform::Colour kBlack = 0x00000000;
constexpr platform::Colour kGrey = 0x00808080;
constexpr platform::Colour kWhite = 0x00FFFFFF;

// The terms of use: the software is free, its rights stay with its author,
// and whoever wants to republish or list it elsewhere asks the author first.
constexpr const char* kNotice = "本ソフトウェアはフリーソフトウェアですが、著作権は作者（Zandreth 開発者）に帰属します。"
                                "他の場所への転載やソフトウェアライブラリへの登録をご希望の方は、"
                                "事前に作者までご連絡ください。";

} // namespace

frmAbout::frmAbout()
    : Form(kDesign)
{
    // Design values, from the topmost control down; positions in twips.
    picIcon.move(240, 240, 540, 540);
    picIcon.setProgramIcon();
    picIcon.setTabIndex(1);

    cmdOK.move(4080, 1680, 1380, 345);
    cmdOK.setCaption("OK");
    cmdOK.setFont(kButtonFont);
    cmdOK.setTabIndex(0);
    cmdOK.setDefault(true);
    cmdOK.setCancel(true);

    Label1.move(120, 2280, 5535, 735);
    Label1.setFont(kTextFont);
    Label1.setWordWrap(true);
    Label1.setTabIndex(5);

    // Border style 6 (inside solid) draws a one-pixel line like a solid one.
    Line1(1).setPoints(120, 2160, 5684, 2160);
    Line1(1).setBorderColor(kGrey);

    lblDescription.move(1050, 1125, 3885, 690);
    lblDescription.setCaption("Copyright (C) Zandreth 開発者. All rights reserved.");
    lblDescription.setFont(kTextFont);
    lblDescription.setForeColor(kBlack);
    lblDescription.setWordWrap(true);
    lblDescription.setTabIndex(2);

    lblTitle.move(1050, 240, 3885, 480);
    lblTitle.setFont(kTextFont);
    lblTitle.setForeColor(kBlack);
    lblTitle.setTabIndex(3);

    Line1(0).setBorderWidth(2);
    Line1(0).setPoints(120, 2160, 5669, 2160);
    Line1(0).setBorderColor(kWhite);

    lblVersion.move(1050, 780, 3885, 225);
    lblVersion.setFont(kTextFont);
    lblVersion.setTabIndex(4);

    // Stacking order, from the bottom up.
    lblVersion.bringToFront();
    Line1(0).bringToFront();
    lblTitle.bringToFront();
    lblDescription.bringToFront();
    Line1(1).bringToFront();
    Label1.bringToFront();
    cmdOK.bringToFront();
    picIcon.bringToFront();

    cmdOK.onClick = [this] { cmdOK_Click(); };
}

void frmAbout::Form_Load()
{
    setCaption(platform::App.title() + "Version Information");
    lblVersion.setCaption("Version " + platform::CStr(platform::App.major()) + "." + platform::CStr(platform::App.minor())
                          + "." + platform::CStr(platform::App.revision()));
    lblTitle.setCaption(platform::App.title());
    Label1.setCaption(kNotice);
}

void frmAbout::cmdOK_Click()
{
    unload();
}

} // namespace zandreth
