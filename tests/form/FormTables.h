// What the window's form must hold: every member of Ui_MainWindow with its
// class, parent, geometry, style sheet and text, in declaration order (which is
// also the creation order), written out independently of window/ui/MainWindow.ui.
#pragma once

#include "ui_MainWindow.h"

#include <QObject>
#include <QRect>

#include <cstddef>
#include <functional>
#include <vector>

namespace formtest {

namespace style {
inline constexpr char Window[] = "background-color: rgb(63, 65, 80);";
inline constexpr char PlainButton[] =
    "QPushButton {\n\tbackground-color: rgb(255, 255, 255);\n    border: 2px outset green;\n\tborder-radius:10px;\n"
    "border:2px groove gray;\nfont: 75 10pt \"Arial\";\nborder-radius:10px;\npadding:2px 4px\n\n}\n"
    "QPushButton:pressed {\n    border-style: inset;\n}";
inline constexpr char TabPane[] = "QTabWidget::pane { border: 0; }\nborder-color: rgb(63, 65, 80);";
inline constexpr char Heading[] = "font: 75 12pt \"Arial\";\ncolor: rgb(255, 255, 255);";
inline constexpr char Caption[] = "font: 75 10pt \"Arial\";\ncolor: rgb(255, 255, 255);";
inline constexpr char SwitchButton[] =
    "QPushButton {\n\tborder-image: url(:/new/prefix1/image/button_off.png);\n\tcolor: rgba(255, 255, 255,0);\n"
    "\tbackground-color: rgb(255,255,255);\n    border: 2px outset green;\n\tborder-radius:10px;\n"
    "border:2px groove gray;\nfont: 75 10pt \"Arial\";\nborder-radius:10px;\npadding:2px 4px\n\n}\n"
    "QPushButton:pressed {\n    border-style: inset;\n}";
inline constexpr char SpinBox[] = "color: rgb(255, 255, 255);";
inline constexpr char Radio[] =
    "QRadioButton::indicator {\n    width: 20px;\n    height: 20px;\n}\n"
    "QRadioButton::indicator::unchecked {image: url(:/new/prefix1/image/radio_off.png);}"
    "QRadioButton::indicator::checked {image: url(:/new/prefix1/image/radio_on.png);}\n"
    "QRadioButton {color: rgb(255,255,255);}";
inline constexpr char RadioWithFont[] =
    "QRadioButton::indicator {\n\tfont: 75 10pt \"Arial\";\n    width: 20px;\n    height: 20px;\n}\n"
    "QRadioButton::indicator::unchecked {image: url(:/new/prefix1/image/radio_off.png);}"
    "QRadioButton::indicator::checked {image: url(:/new/prefix1/image/radio_on.png);}\n"
    "QRadioButton {color: rgb(255,255,255);}";
inline constexpr char Navigation[] = "font: 75 16pt \"Arial\";\ncolor: rgb(255, 255, 255);";
inline constexpr char Preview[] = "background-color: rgb(0, 0, 0);";
inline constexpr char Bar[] = "background-color: rgb(20, 20, 20);";

// Guards against a slip in the literals above.
static_assert(sizeof(Window) - 1 == 34 && sizeof(PlainButton) - 1 == 238 && sizeof(TabPane) - 1 == 62);
static_assert(sizeof(Heading) - 1 == 49 && sizeof(Caption) - 1 == 49 && sizeof(SwitchButton) - 1 == 323);
static_assert(sizeof(SpinBox) - 1 == 26 && sizeof(Radio) - 1 == 266 && sizeof(RadioWithFont) - 1 == 290);
static_assert(sizeof(Navigation) - 1 == 49 && sizeof(Preview) - 1 == 31 && sizeof(Bar) - 1 == 34);
}  // namespace style

// Where a member hangs in the tree.
enum class Parent { Window, CentralWidget, TabWidgetPage, Tab, Tab2, LayoutWidget };

struct Member {
    const char *name;
    const char *className;
    Parent parent;
    std::function<QObject *(const Ui_MainWindow &)> get;
    std::size_t offset;        // of the pointer member, for the declaration order
    QRect geometry;            // null: the form sets none
    const char *styleSheet;    // nullptr: no style sheet
    const char *text;          // nullptr: the widget has no text property set by the form
};

#define FORM_MEMBER(member, cls, parent, geometry, styleSheet, text)                                         \
    Member { #member, cls, parent, [](const Ui_MainWindow &ui) -> QObject * { return ui.member; },          \
             offsetof(Ui_MainWindow, member), geometry, styleSheet, text }

inline const std::vector<Member> &members()
{
    using P = Parent;
    namespace s = style;
    static const std::vector<Member> table = {
        FORM_MEMBER(centralWidget, "QWidget", P::Window, QRect(), nullptr, nullptr),
        FORM_MEMBER(pushButton_RestoreDefault, "QPushButton", P::CentralWidget, QRect(670, 660, 101, 24),
                    s::PlainButton, "Restore Default"),
        FORM_MEMBER(tabWidget_tabsetup, "QTabWidget", P::CentralWidget, QRect(9, 479, 650, 215), s::TabPane, nullptr),
        FORM_MEMBER(tab, "QWidget", P::TabWidgetPage, QRect(), nullptr, nullptr),
        FORM_MEMBER(label_8, "QLabel", P::Tab, QRect(50, 10, 66, 18), s::Heading, "Exposure"),
        FORM_MEMBER(label_9, "QLabel", P::Tab, QRect(60, 40, 73, 16), s::Caption, "CompSwitch"),
        FORM_MEMBER(pushButton_ExposureCompensationSwitch, "QPushButton", P::Tab, QRect(170, 40, 71, 21),
                    s::SwitchButton, "On"),
        FORM_MEMBER(label_10, "QLabel", P::Tab, QRect(60, 160, 84, 16), s::Caption, "Blue Gain CTL"),
        FORM_MEMBER(label_11, "QLabel", P::Tab, QRect(50, 100, 38, 18), s::Heading, "Color"),
        FORM_MEMBER(label_12, "QLabel", P::Tab, QRect(60, 130, 81, 16), s::Caption, "Red Gain CTL"),
        FORM_MEMBER(label_13, "QLabel", P::Tab, QRect(380, 30, 69, 18), s::Caption, "DRC CTL"),
        FORM_MEMBER(label_14, "QLabel", P::Tab, QRect(370, 90, 115, 18), s::Heading, "Noise Reduction"),
        FORM_MEMBER(label_15, "QLabel", P::Tab, QRect(380, 120, 81, 16), s::Caption, "NR2D-Level"),
        FORM_MEMBER(label_16, "QLabel", P::Tab, QRect(380, 150, 84, 16), s::Caption, "NR3D-Level"),
        FORM_MEMBER(horizontalSlider_NR2D, "QSlider", P::Tab, QRect(470, 120, 121, 22), nullptr, nullptr),
        FORM_MEMBER(horizontalSlider_NR3D, "QSlider", P::Tab, QRect(470, 150, 121, 22), nullptr, nullptr),
        FORM_MEMBER(horizontalSlider_BlueGain, "QSlider", P::Tab, QRect(170, 160, 121, 22), nullptr, nullptr),
        FORM_MEMBER(horizontalSlider_RedGain, "QSlider", P::Tab, QRect(170, 130, 121, 22), nullptr, nullptr),
        FORM_MEMBER(horizontalSlider_DRC, "QSlider", P::Tab, QRect(470, 30, 121, 22), nullptr, nullptr),
        FORM_MEMBER(horizontalSlider_CompValue, "QSlider", P::Tab, QRect(170, 70, 121, 22), nullptr, nullptr),
        FORM_MEMBER(label_CompensationValue, "QLabel", P::Tab, QRect(60, 70, 66, 16), s::Caption, "CompValue"),
        FORM_MEMBER(spinBox_CompValue, "QSpinBox", P::Tab, QRect(300, 70, 42, 22), s::SpinBox, nullptr),
        FORM_MEMBER(spinBox_RedGain, "QSpinBox", P::Tab, QRect(300, 130, 42, 22), s::SpinBox, nullptr),
        FORM_MEMBER(spinBox_BlueGain, "QSpinBox", P::Tab, QRect(300, 160, 42, 22), s::SpinBox, nullptr),
        FORM_MEMBER(spinBox_DRC, "QSpinBox", P::Tab, QRect(600, 30, 42, 22), s::SpinBox, nullptr),
        FORM_MEMBER(spinBox_NR2D, "QSpinBox", P::Tab, QRect(600, 120, 42, 22), s::SpinBox, nullptr),
        FORM_MEMBER(spinBox_NR3D, "QSpinBox", P::Tab, QRect(600, 150, 42, 22), s::SpinBox, nullptr),
        FORM_MEMBER(tab_2, "QWidget", P::TabWidgetPage, QRect(), nullptr, nullptr),
        FORM_MEMBER(radioButton_Clarity, "QRadioButton", P::Tab2, QRect(120, 40, 68, 20), s::Radio, "Clarity"),
        FORM_MEMBER(label_5, "QLabel", P::Tab2, QRect(400, 90, 34, 16), s::Caption, "Flip-H"),
        FORM_MEMBER(label_4, "QLabel", P::Tab2, QRect(400, 50, 35, 16), s::Caption, "Flip-V"),
        FORM_MEMBER(label_7, "QLabel", P::Tab2, QRect(50, 160, 76, 16), s::Caption, "Audio Switch"),
        FORM_MEMBER(label_3, "QLabel", P::Tab2, QRect(390, 10, 73, 18), s::Heading, "Image Flip"),
        FORM_MEMBER(radioButton_Bright, "QRadioButton", P::Tab2, QRect(220, 40, 62, 20), s::Radio, "Bright"),
        FORM_MEMBER(pushButton_FlipV, "QPushButton", P::Tab2, QRect(470, 50, 71, 21), s::SwitchButton, "On"),
        FORM_MEMBER(pushButton_FlipH, "QPushButton", P::Tab2, QRect(470, 90, 71, 21), s::SwitchButton, "On"),
        FORM_MEMBER(radioButton_Default, "QRadioButton", P::Tab2, QRect(50, 100, 68, 20), s::Radio, "Default"),
        FORM_MEMBER(label_UVCSettings, "QLabel", P::Tab2, QRect(390, 140, 79, 16), s::Caption, "UVC Settings"),
        FORM_MEMBER(label, "QLabel", P::Tab2, QRect(50, 10, 81, 18), s::Heading, "Image Style"),
        FORM_MEMBER(pushButton_AudioSwitch, "QPushButton", P::Tab2, QRect(160, 160, 71, 21), s::SwitchButton, "On"),
        FORM_MEMBER(radioButton_PC, "QRadioButton", P::Tab2, QRect(50, 70, 38, 20), s::Radio, "PC"),
        FORM_MEMBER(label_17, "QLabel", P::Tab2, QRect(50, 130, 73, 16), s::Caption, "H264 Switch"),
        FORM_MEMBER(pushButton_H264Switch, "QPushButton", P::Tab2, QRect(160, 130, 71, 21), s::SwitchButton, "On"),
        FORM_MEMBER(radioButton_Normal, "QRadioButton", P::Tab2, QRect(50, 40, 62, 20), s::RadioWithFont, "Normal"),
        FORM_MEMBER(radioButton_ClarityLED, "QRadioButton", P::Tab2, QRect(120, 70, 98, 20), s::Radio,
                    "Clarity(LED)"),
        FORM_MEMBER(radioButton_Face, "QRadioButton", P::Tab2, QRect(220, 70, 50, 20), s::Radio, "Face"),
        FORM_MEMBER(layoutWidget, "QWidget", P::CentralWidget, QRect(0, 0, 784, 464), nullptr, nullptr),
        FORM_MEMBER(gridLayout, "QGridLayout", P::LayoutWidget, QRect(), nullptr, nullptr),
        FORM_MEMBER(label_HOME, "QLabel", P::LayoutWidget, QRect(), s::Navigation, "Home"),
        FORM_MEMBER(label_SetUp, "QLabel", P::LayoutWidget, QRect(), s::Navigation, "Setup"),
        FORM_MEMBER(label_cameraview, "QLabel", P::LayoutWidget, QRect(), s::Preview, ""),
        FORM_MEMBER(menuBar, "QMenuBar", P::Window, QRect(0, 0, 789, 23), s::Bar, nullptr),
        FORM_MEMBER(statusBar, "QStatusBar", P::Window, QRect(), s::Bar, nullptr),
    };
    return table;
}

#undef FORM_MEMBER

// The texts in the order retranslateUi sets them (empty texts are not translated).
inline const char *const translatedTexts[] = {
    "Vidorra v1.1", "Restore Default",
    "Exposure", "CompSwitch", "On", "Blue Gain CTL", "Color", "Red Gain CTL", "DRC CTL", "Noise Reduction",
    "NR2D-Level", "NR3D-Level", "CompValue",
    "Clarity", "Flip-H", "Flip-V", "Audio Switch", "Image Flip", "Bright", "On", "On", "Default", "UVC Settings",
    "Image Style", "On", "PC", "H264 Switch", "On", "Normal", "Clarity(LED)", "Face",
    "Home", "Setup",
};

struct RangedControl {
    const char *slider;
    const char *spinBox;
    int minimum;
    int maximum;
};

inline constexpr RangedControl rangedControls[] = {
    {"horizontalSlider_NR2D", "spinBox_NR2D", 0, 6},
    {"horizontalSlider_NR3D", "spinBox_NR3D", 0, 8},
    {"horizontalSlider_BlueGain", "spinBox_BlueGain", -10, 10},
    {"horizontalSlider_RedGain", "spinBox_RedGain", -10, 10},
    {"horizontalSlider_DRC", "spinBox_DRC", 0, 8},
    {"horizontalSlider_CompValue", "spinBox_CompValue", -7, 7},
};

inline constexpr const char *radioButtons[] = {
    "radioButton_Clarity", "radioButton_Bright", "radioButton_Default", "radioButton_PC",
    "radioButton_Normal", "radioButton_ClarityLED", "radioButton_Face",
};

// The buttons whose default flag step 12 of setupUi turns on.
inline constexpr const char *defaultButtons[] = {
    "pushButton_RestoreDefault", "pushButton_ExposureCompensationSwitch", "pushButton_FlipV",
    "pushButton_FlipH", "pushButton_AudioSwitch", "pushButton_H264Switch",
};

}  // namespace formtest
