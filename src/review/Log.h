#pragma once
#include <QLoggingCategory>

// The cause behind a message the user sees is logged here first.
Q_DECLARE_LOGGING_CATEGORY(lcReview)
