#pragma once
#include "store/ExamDbFile.h"

#include <string>

// The 40 header bytes at offset 66 with which the engine opens the bank under
// the program's password, and 40 with which it refuses to.
extern const examdb::Block OpenHeaderBlock;
extern const examdb::Block CloseHeaderBlock;

// Write the opening / closing block into an existing file; a missing file is left alone.
void DecryptMDB(const std::string& fileName);
void EncryptMDB(const std::string& fileName);
