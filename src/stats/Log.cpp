#include "stats/Log.h"

Q_LOGGING_CATEGORY(lcStats, "quillora.stats")
