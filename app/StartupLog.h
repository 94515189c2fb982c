#pragma once
#include <QLoggingCategory>

// The steps of a start (data file opened, login window shown), written to standard error for
// whoever looks into a start that does not come up. Silent unless asked for with
// QT_LOGGING_RULES="pelorvanide.startup.info=true".
Q_DECLARE_LOGGING_CATEGORY(startupLog)
