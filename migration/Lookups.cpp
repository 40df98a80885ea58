#include "migration/Lookups.h"

#include "base/TextRules.h"
#include "data/Recordset.h"

namespace ledgerlift {

Value GetTableValue(Connection& companyConnection, const std::string& tableName,
                    const std::string& FieldToSearch, const std::string& Condition,
                    WindowOps& ops) {
    try {
        Recordset rs;
        rs.Open("Select " + FieldToSearch + " as Field1 from " + tableName + " " + Condition,
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
        rs.Open(
            "Select ItemID from tblItemMaster where ItemCode='" + SqlEscape(Trim(ItemCode)) + "'",
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
        rs.Open("Select AccountgroupID from tblAccountgroup where AccountGroup='" +
                    SqlEscape(AccountGroup) + "'",
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
    rs.Open("Select PrimaryGroup from tblAccountgroup where AccountGroup='" +
                SqlEscape(AccountGroup) + "'",
            companyConnection);
    if (rs.IsEOF()) {
        return "";
    }
    Value primary = rs.Field("PrimaryGroup");
    return primary.IsNull() ? "" : ValueToText(primary);
}

}  // namespace ledgerlift
