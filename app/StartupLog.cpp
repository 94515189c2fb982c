#include "app/StartupLog.h"

Q_LOGGING_CATEGORY(startupLog, "pelorvanide.startup", QtWarningMsg)
