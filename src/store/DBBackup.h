#pragma once
#include "store/DBCopyForm.h"

// "数据备份": copies the bank to a file the user names.
class TFrmDBBackup : public TFrmDBCopy {
    Q_OBJECT
public:
    explicit TFrmDBBackup(QWidget* parent = nullptr);
    void BitBtn1Click();
    void BitBtn2Click();
};
