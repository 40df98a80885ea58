#include "migration/Lookups.h"

#include "base/TextRules.h"
#include "data/Recordset.h"

namespace ledgerlift {

Value GetTableValue(Connection& companyConnection, const std::string& tableName,
                    const std::string& FieldToSearch, const std::string& Condition,
                    WindowOps& ops) {
    return GetTableValue(companyConnection, tableName, FieldToSearch, Sql(Condition), ops);
}

Value GetTableValue(Connection& companyConnection, const std::string& tableName,
                    const std::string& FieldToSearch, const Sql& Condition, WindowOps& ops) {
    try {
        Recordset rs;
        rs.Open(Sql("Select ") << Sql(FieldToSearch) << " as Field1 from " << Sql(tableName) << " "
                               << Condition,
                companyConnection, CursorType::Static, LockType::ReadOnly);
        if (rs.IsEOF()) {
            return Value();
        }
        return rs.Field("Field1");
    } catch (const std::exception& error) {
        ops.MsgBox(error.what(), MsgButtons::OK, MsgIcon::Exclamation);
        return Value();
    }
}

std::int32_t GetItemIdByCode(Connection& companyConnection, const std::string& ItemCode,
                             WindowOps& ops) {
    try {
        Recordset rs;
        rs.Open(Sql("Select ItemID from tblItemMaster where ItemCode=")
                    << sql::Text(Trim(ItemCode)),
                companyConnection);
        if (rs.IsEOF()) {
            return 0;
        }
        return ToInt32(rs.Field("ItemID"));
    } catch (const std::exception& error) {
        ops.MsgBox(error.what(), MsgButtons::OK, MsgIcon::None);
        return 0;
    }
}

Value GetAccountGroupId(Connection& companyConnection, const std::string& AccountGroup,
                        WindowOps& ops, bool* found) {
    if (found) {
        *found = false;
    }
    try {
        Recordset rs;
        rs.Open(Sql("Select AccountgroupID from tblAccountgroup where AccountGroup=")
                    << sql::Text(AccountGroup),
                companyConnection);
        if (rs.IsEOF()) {
            return Value(11);
        }
        if (found) {
            *found = true;
        }
        return rs.Field("AccountGroupID");
    } catch (const std::exception& error) {
        ops.MsgBox(error.what(), MsgButtons::OK, MsgIcon::Exclamation);
        return Value();
    }
}

std::string GetPrimaryGroup(Connection& companyConnection, const std::string& AccountGroup) {
    Recordset rs;
    rs.Open(Sql("Select PrimaryGroup from tblAccountgroup where AccountGroup=")
                << sql::Text(AccountGroup),
            companyConnection);
    if (rs.IsEOF()) {
        return "";
    }
    Value primary = rs.Field("PrimaryGroup");
    return primary.IsNull() ? "" : ValueToText(primary);
}

}  // namespace ledgerlift
