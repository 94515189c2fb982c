#pragma once
#include <QString>

// The one style sheet of the program: colours, fonts, buttons and fields of the main window and of
// every dialog, so that all windows share one look.
QString ApplicationStyleSheet();
