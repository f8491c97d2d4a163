// Style-sheet literals the window sets at run time (the form's own are in
// ui/MainWindow.ui).
#pragma once

namespace vidorra::style {

constexpr char HiddenTabs[] =
    "QTabBar::tab:disabled {width: 0; color: transparent;}\n"
    "QTabWidget::pane { border: 0; }\n"
    "border-color: rgb(63, 65, 80);";

constexpr char StatusTitle[] = "font: 75 12pt \"Arial\";\ncolor: rgb(255, 255, 255);";
constexpr char WhiteBackground[] = "background-color: rgb(255, 255, 255);";
constexpr char OpenCameraButton[] =
    "QPushButton {\nbackground-color: rgb(255, 255, 255);\n    border: 2px outset green;\n"
    "\tborder-radius:10px;\nborder:2px groove gray;\nfont: 75 10pt \"Arial\";\n"
    "border-radius:10px;\npadding:2px 4px\n\n}\nQPushButton:pressed {\n    border-style: inset;\n}";

constexpr char NavigationSelected[] =
    "QLabel { color: green; text-decoration: underline;font: 75 16pt \"Arial\";\ncolor: rgb(255, 255, 255);}";
constexpr char NavigationUnselected[] =
    "QLabel { color: black; font: 75 16pt \"Arial\";\ncolor: rgb(255, 255, 255);}";
constexpr char LinkHover[] =
    "QLabel { color: green; text-decoration: underline;font: 75 10pt \"Arial\";\ncolor: rgb(255, 255, 255);}";
constexpr char LinkRest[] =
    "QLabel { color: black; font: 75 10pt \"Arial\";\ncolor: rgb(255, 255, 255);}";

// Appended to a switch button's style sheet; the last rule decides its picture.
constexpr char SwitchOn[] =
    "QPushButton{background-color: rgb(0, 122, 217); border-image: url(:/new/prefix1/image/button_on.png);}";
constexpr char SwitchOff[] =
    "QPushButton{background-color: rgb(255, 255, 255); border-image: url(:/new/prefix1/image/button_off.png);}";

static_assert(sizeof(HiddenTabs) - 1 == 116, "hidden-tab style");
static_assert(sizeof(NavigationSelected) - 1 == 100, "selected navigation style");
static_assert(sizeof(NavigationUnselected) - 1 == 73, "unselected navigation style");
static_assert(sizeof(LinkHover) - 1 == 100, "link hover style");
static_assert(sizeof(LinkRest) - 1 == 73, "link rest style");
static_assert(sizeof(SwitchOn) - 1 == 102, "switch on rule");
static_assert(sizeof(SwitchOff) - 1 == 105, "switch off rule");

}  // namespace vidorra::style
