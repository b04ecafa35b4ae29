#include "render/Log.h"

Q_LOGGING_CATEGORY(lcRender, "quillora.render")
