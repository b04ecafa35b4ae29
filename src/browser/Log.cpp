#include "browser/Log.h"

Q_LOGGING_CATEGORY(lcBrowser, "quillora.browser")
