#pragma once
#include <QLoggingCategory>

// Platform services log why they failed before the user sees a message.
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
