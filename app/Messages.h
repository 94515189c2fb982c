#pragma once
#include <QString>
#include <functional>

// Every message box of the program goes through ShowMessage. The GUI installs a presenter that
// shows a real message box; tests install one that records the message and answers it.

enum class MsgIcon { None, Information, Exclamation, Stop, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

using MessagePresenter = std::function<MsgAnswer(const QString &text, const QString &caption, MsgIcon, MsgButtons)>;

MsgAnswer ShowMessage(const QString &text, const QString &caption, MsgIcon icon = MsgIcon::Exclamation,
                      MsgButtons buttons = MsgButtons::Ok);

// Installs a presenter and returns the one it replaces.
MessagePresenter SetMessagePresenter(MessagePresenter presenter);

// The message for a number typed outside its range, as the standard checks of a field word it.
QString RangeMessage(double min, double max, bool integer);

// The caption of error reports: the executable's base name.
QString ApplicationTitle();
