#include "store/Log.h"

Q_LOGGING_CATEGORY(lcStore, "quillora.store")
