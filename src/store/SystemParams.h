#pragma once
// Settings of our own in 系统参数: a missing key means the default, so a bank
// made without them works unchanged.
#include <optional>
#include <string>

class AdoConnection;

std::optional<std::string> ReadSystemParam(AdoConnection& connection, const std::string& name);
// Updates the key, or adds it when the bank lacks it.
void WriteSystemParam(AdoConnection& connection, const std::string& name, const std::string& value);
