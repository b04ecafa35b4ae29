#include "browser/Log.h"

Q_LOGGING_CATEGORY(lcBrowser, "quillora.browser")

bool LogGate::Admit() {
    constexpr int kLines = 10;
    constexpr qint64 kWindowMs = 10000;
    if (!window_.isValid() || window_.elapsed() > kWindowMs) {
        if (quiet_ > 0) qCWarning(lcBrowser) << "…and" << quiet_ << "more" << what_;
        window_.start();
        inWindow_ = quiet_ = 0;
    }
    if (++inWindow_ <= kLines) return true;
    ++quiet_;
    return false;
}
