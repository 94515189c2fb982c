#pragma once
#include <functional>

class QDialog;

// A dialog opened from another dialog runs through RunModal. Tests put a runner in its place that
// drives the nested dialog and closes it, so no modal loop waits for a user.
using ModalRunner = std::function<int(QDialog &dialog)>;

int RunModal(QDialog &dialog);
// Installs a runner and returns the one it replaces; an empty runner runs the dialog's own loop.
ModalRunner SetModalRunner(ModalRunner runner);
