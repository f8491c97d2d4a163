// What screen readers and other accessibility tools learn about the window:
// a name for every control that takes input (the form's captions are separate
// labels), the on/off state of the switch buttons, and a press action on the
// page labels. Nothing here changes how the window looks.
#pragma once

class MainWindow;
class QComboBox;
class QPushButton;
class Ui_MainWindow;

namespace vidorra {

// Before the form is set up: Qt keeps the first interface it makes for a
// widget, and setting a button's text already makes one.
void installAccessibleInterfaces();

// Names the form's and the status bar's controls and has the switches report
// their changes.
void describeControls(MainWindow &window, Ui_MainWindow &ui, QComboBox *cameraList, QPushButton *openCamera);

}  // namespace vidorra
