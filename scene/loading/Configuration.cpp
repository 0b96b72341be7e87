#include "scene/loading/Configuration.h"
#include "scene/ContractPending.h"

void Configuration::Parse(std::string_view) { ContractPending("Configuration::Parse"); }
std::optional<std::string> Configuration::GetString(std::string_view) const { ContractPending("Configuration::GetString"); }
std::int32_t Configuration::GetInt(std::string_view) const { ContractPending("Configuration::GetInt"); }
float Configuration::GetFloat(std::string_view) const { ContractPending("Configuration::GetFloat"); }
bool Configuration::Has(std::string_view) const { ContractPending("Configuration::Has"); }
