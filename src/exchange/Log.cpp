#include "exchange/Log.h"

Q_LOGGING_CATEGORY(lcExchange, "quillora.exchange")
