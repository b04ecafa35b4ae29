#pragma once
#include "store/DBCopyForm.h"

// "数据还原": replaces the bank by a backup the user chooses, and reconnects.
class TFrmDBRestore : public TFrmDBCopy {
    Q_OBJECT
public:
    explicit TFrmDBRestore(QWidget* parent = nullptr);
    void BitBtn1Click();
    void BitBtn2Click();

    // The bank was replaced and the connection is open on it: the opener
    // reloads what it shows.
    bool Restored = false;
    // The connection could not be opened again; the fatal message has been shown.
    bool ConnectionLost = false;
};
