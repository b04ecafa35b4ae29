#include "review/Log.h"

Q_LOGGING_CATEGORY(lcReview, "quillora.review")
