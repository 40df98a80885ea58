#pragma once

#include <cstdint>
#include <string>

#include "base/Value.h"
#include "data/Connection.h"
#include "data/Sql.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// Single-value reads of the company database over the connection given. Each reports its
// own failure in a message box and gives a neutral result instead.

// "Select <field> as Field1 from <table> <condition>": the first row's value,
// or the empty value (no row, a NULL, or a failure: exclamation icon). The
// condition is SQL, with its values when it is built with them.
Value GetTableValue(Connection& companyConnection, const std::string& tableName,
                    const std::string& FieldToSearch, const std::string& Condition, WindowOps& ops);
Value GetTableValue(Connection& companyConnection, const std::string& tableName,
                    const std::string& FieldToSearch, const Sql& Condition, WindowOps& ops);

// The ItemID of an item code (trimmed, quoted); 0 when there is none or on a
// failure (message without icon).
std::int32_t GetItemIdByCode(Connection& companyConnection, const std::string& ItemCode,
                             WindowOps& ops);

// The AccountGroupID of a group name (quoted, not trimmed); 11 when there is
// no such group; the empty value on a failure (exclamation icon).
// found, when given, tells whether the company has the group.
Value GetAccountGroupId(Connection& companyConnection, const std::string& AccountGroup,
                        WindowOps& ops, bool* found = nullptr);

// The primary group (Assets, Liabilities, Income, Expenses) of an account
// group; "" when the company has no such group or it names none. A failure
// is a DataError for the caller.
std::string GetPrimaryGroup(Connection& companyConnection, const std::string& AccountGroup);

}  // namespace ledgerlift
