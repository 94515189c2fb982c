#pragma once

class QWidget;

// Tab moves through a dialog as it is read: row by row from the top, left to right within a row.
// Read-only text fields are left out (a click still puts the cursor in them to copy their text).
// The order is taken from where the fields stand each time the dialog is shown, so rows added by
// a derived dialog or after construction take their place too.
void OrderTabsByPosition(QWidget *dialog);
