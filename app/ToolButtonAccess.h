#pragma once

class QAction;

// Makes the accessible press and toggle of every tool button that shows `action` a click on that
// button, so that a screen reader triggers the action as the mouse does. Qt's own toggle of a
// checkable tool button only flips its check state: the action never runs and the button shows
// a state the program is not in. Call it before the action is added to a tool bar: Qt settles a
// button's accessible interface at its first accessibility event, while the bar builds it.
void clickOnAccessibleToggle(QAction *action);
