#include "exam/Log.h"

Q_LOGGING_CATEGORY(lcExam, "quillora.exam")
