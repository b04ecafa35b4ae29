#include "settings/Log.h"

Q_LOGGING_CATEGORY(lcSettings, "quillora.settings")
