#pragma once

#include <QColor>

class QWidget;

// Colours kept in the settings as the class library keeps them: 0x00BBGGRR (red in the low
// byte), or a system colour with 0x80 in the top byte (0x8000000F: the button face). A system
// colour gives an invalid QColor: the widget's own palette.
QColor classLibraryColor(int value);

// Paints a control's background in the colour; an invalid colour gives it back its default
// palette.
void setBackgroundColor(QWidget *widget, const QColor &color);
