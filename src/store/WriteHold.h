#pragma once
// While a long write (an import) holds the bank, commands that would write it
// from elsewhere (a page's favourite link, saving a test) refuse instead.
class BankWriteHold {
public:
    BankWriteHold() { ++count_; }
    ~BankWriteHold() { --count_; }
    BankWriteHold(const BankWriteHold&) = delete;
    BankWriteHold& operator=(const BankWriteHold&) = delete;
    static bool Held() { return count_ > 0; }

private:
    static inline int count_ = 0;
};
