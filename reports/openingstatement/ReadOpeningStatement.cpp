#include "reports/openingstatement/ReadOpeningStatement.h"

#include <ctime>
#include <filesystem>

#include "base/TextRules.h"
#include "company/CompanyBackups.h"
#include "company/CompanyDatabase.h"
#include "company/CompanyLock.h"
#include "company/RunRecords.h"
#include "data/Recordset.h"
#include "data/Savepoint.h"
#include "data/Sql.h"

namespace ledgerlift {
namespace {

const char* const kRestorePrefix = "the restore of ";

double Real(const Value& v) {
    return v.IsNull()      ? 0
           : v.IsInteger() ? static_cast<double>(v.AsInteger())
           : v.IsReal()    ? v.AsReal()
                           : Val(ValueToText(v));
}

std::string Text(const Value& v) {
    return v.IsNull() ? "" : ValueToText(v);
}

std::string Now() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M", &local);
    return buf;
}

Recordset Query(Connection& db, const std::string& sql) {
    Recordset rs;
    rs.Open(sql, db, CursorType::ForwardOnly, LockType::ReadOnly);
    return rs;
}

Recordset Query(Connection& db, const Sql& sql) {
    Recordset rs;
    rs.Open(sql, db, CursorType::ForwardOnly, LockType::ReadOnly);
    return rs;
}

// One row of the item query as an item, and its category's name.
OpeningStatementItem ItemOf(const Recordset& rs, std::string& category) {
    OpeningStatementItem item;
    bool known = !rs.Field(1).IsNull();
    item.code = known ? Text(rs.Field(1)) : "(item id " + Text(rs.Field(0)) + ")";
    item.name = known ? Text(rs.Field(2)) : "(no longer in the item master)";
    category = rs.Field(3).IsNull() ? "(no category)" : Text(rs.Field(3));
    item.lines = static_cast<int>(Real(rs.Field(4)));
    item.quantity = Real(rs.Field(5));
    item.value = Real(rs.Field(6));
    return item;
}

// The opening stock by item, in categories by name (those without one
// last), items by code.
std::vector<OpeningStatementCategory> ReadCategories(Connection& db) {
    Recordset rs =
        Query(db,
              "select h.ItemID, i.ItemCode, i.ItemName, c.Category, count(*), "
              "total(h.QtyIn - h.QtyOut), total(h.PValueIn - h.PValueOut) from tblStockHistory h "
              "left join tblItemMaster i on i.ItemID = h.ItemID "
              "left join tblCategories c on c.CategoryID = i.CategoryID "
              "where h.VchType = 'OpeningStock' group by h.ItemID "
              "order by c.Category is null, c.Category, i.ItemCode is null, i.ItemCode, h.ItemID");
    std::vector<OpeningStatementCategory> categories;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        std::string name;
        OpeningStatementItem item = ItemOf(rs, name);
        if (categories.empty() || Upper(categories.back().name) != Upper(name)) {
            categories.push_back(OpeningStatementCategory{name, {}, 0, 0});
        }
        OpeningStatementCategory& category = categories.back();
        category.quantity += item.quantity;
        category.value += item.value;
        category.items.push_back(std::move(item));
    }
    return categories;
}

// The opening balances by ledger, in groups: Customer, Supplier, the others
// by name, ledgers without a group last.
std::vector<OpeningStatementGroup> ReadGroups(Connection& db) {
    Recordset rs = Query(
        db,
        "select v.DrLID, l.LID, l.LName, l.GroupName, total(v.AmountD), total(v.AmountC), "
        "case when l.LID is null then 4 when upper(l.GroupName) = 'CUSTOMER' then 0 "
        "when upper(l.GroupName) = 'SUPPLIER' then 1 when trim(coalesce(l.GroupName, '')) = '' "
        "then 3 else 2 end as Rank from tblVoucher v left join tblLedger l on l.LID = v.DrLID "
        "where v.TrType = 'Opening' and v.DrLID <> 0 group by v.DrLID "
        "order by Rank, upper(l.GroupName), l.LName, v.DrLID");
    std::vector<OpeningStatementGroup> groups;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        bool known = !rs.Field(1).IsNull();
        std::string group = !known ? "(ledgers no longer in the ledger list)"
                            : Trim(Text(rs.Field(3))).empty() ? "(no group)"
                                                              : Text(rs.Field(3));
        OpeningStatementLedger ledger{
            known ? Text(rs.Field(2)) : "(ledger id " + Text(rs.Field(0)) + ")", Real(rs.Field(4)),
            Real(rs.Field(5))};
        if (groups.empty() || Upper(groups.back().name) != Upper(group)) {
            groups.push_back(OpeningStatementGroup{group, {}, 0, 0});
        }
        groups.back().debit += ledger.debit;
        groups.back().credit += ledger.credit;
        groups.back().ledgers.push_back(std::move(ledger));
    }
    return groups;
}

// The totals, summed by the database over the very rows the run's
// reconciliation reads back (see ReadBackTotals), without its baseline: every
// opening posting the company holds.
OpeningTotals ReadTotals(Connection& db) {
    OpeningTotals t;
    Recordset stock = Query(db,
                            "select count(*), total(QtyIN - QtyOut), total(PvalueIN - PvalueOut), "
                            "count(distinct ItemID) from tblStockHistory "
                            "where VchType = 'OpeningStock'");
    t.stockLines = static_cast<int>(Real(stock.Field(0)));
    t.quantity = Real(stock.Field(1));
    t.stockValue = Real(stock.Field(2));
    t.items = static_cast<int>(Real(stock.Field(3)));
    Recordset vouchers = Query(db,
                               "select total(case when DrLID <> 0 then AmountD else 0 end), "
                               "total(case when DrLID <> 0 then AmountC else 0 end), "
                               "count(distinct case when DrLID <> 0 then DrLID end) "
                               "from tblVoucher where TrType = 'Opening'");
    t.debit = Real(vouchers.Field(0));
    t.credit = Real(vouchers.Field(1));
    t.ledgers = static_cast<int>(Real(vouchers.Field(2)));
    return t;
}

// The dates the opening postings carry: "2024-04-01", or "2024-04-01 to
// 2024-05-01" when runs gave different ones.
std::string ReadDates(Connection& db) {
    Recordset rs = Query(db,
                         "select min(d), max(d) from (select VchDate as d from tblStockHistory "
                         "where VchType = 'OpeningStock' union all select TrDate from tblVoucher "
                         "where TrType = 'Opening')");
    std::string first = Text(rs.Field(0));
    std::string last = Text(rs.Field(1));
    return first == last ? first : first + " to " + last;
}

// The company's name, when the company list has a column for it.
std::string CompanyName(const std::string& productFolder, const std::string& code) {
    Connection initial;
    initial.OpenReadOnly(InitialConnectionString(productFolder));
    Recordset rs =
        Query(initial, Sql("select * from tblCompany where CompanyCode = ") << sql::Text(code));
    for (const std::string& column : rs.ColumnNames()) {
        if (!rs.IsEOF() && Upper(column) == "COMPANYNAME") {
            return Trim(Text(rs.Field(column)));
        }
    }
    return "";
}

// The newest run record and, when the company was restored from a backup
// since, when and from which.
void ReadLastRun(const CompanyDatabase& company, OpeningStatement& s) {
    RunRecords::Listing listing = RunRecords(company).List();
    s.recordProblems = listing.problems;
    if (listing.records.empty()) {
        return;
    }
    s.lastRun = listing.records.front();
    std::error_code ec;
    CompanyBackups backups(company);
    s.lastRunBackupKept = std::filesystem::exists(s.lastRun->backup, ec);
    if (s.lastRunBackupKept) {
        // Named as the backup that undoes the run only when a restore would
        // take it.
        BackupInfo backup = backups.Describe(s.lastRun->backup);
        s.lastRunBackupProblem =
            backup.noteProblem.empty() ? backups.Ownership(backup) : backup.noteProblem;
    }
    for (const BackupInfo& backup : backups.List()) {
        // "before the restore of <backup> on <date>", or as older notes
        // said it, "the restore of <backup>: ...".
        std::size_t at = backup.madeBy.find(kRestorePrefix);
        if ((at == 0 || backup.madeBy.rfind("before ", 0) == 0) && at != std::string::npos &&
            backup.made >= s.lastRun->ended) {
            std::string from = backup.madeBy.substr(at + std::string(kRestorePrefix).size());
            s.restoredAt = backup.made;
            s.restoredFrom = from.substr(0, from.find_first_of(": "));
            return;  // the newest restore
        }
    }
}

bool HoldsOpeningPostings(Connection& db) {
    Recordset rs = Query(db,
                         "select exists (select 1 from tblStockHistory where VchType = "
                         "'OpeningStock') or exists (select 1 from tblVoucher where TrType = "
                         "'Opening')");
    return Real(rs.Field(0)) != 0;
}

// Takes the company for as long as the statement reads it, so that no run
// or restore changes it between two of its queries; a company that another
// program has taken is refused with what that program is doing. Where no lock
// can be made (a folder that can only be read) no run can take it either.
void TakeForReading(const CompanyDatabase& company, CompanyLock& lock) {
    bool taken = false;
    try {
        taken = std::filesystem::exists(company.path) &&
                !lock.Acquire(company.path, CompanyUse::Statement);
    } catch (const DataError&) {
        return;
    }
    if (taken) {
        throw DataError(CompanyTakenText(company.code, company.path) +
                        " The statement is written once it has finished.");
    }
}

}  // namespace

OpeningStatement ReadOpeningStatement(const std::string& productFolder,
                                      const std::string& companyCode,
                                      const std::function<void(const std::string&)>& tracer) {
    CompanyDatabase company = LocateCompanyDatabase(productFolder, companyCode);
    CompanyLock lock;
    TakeForReading(company, lock);
    Connection db;
    db.OpenReadOnly(company.connection);
    db.SetTracer(tracer);
    RequireCompanyTables(db);
    // Every query reads the one state of the database, so that the parts add
    // up to the totals even while another program (which the lock does not
    // stop) writes to the company; undone at the end, as nothing is written.
    Savepoint snapshot(db);
    OpeningStatement s;
    s.companyCode = company.code;
    s.companyName = CompanyName(productFolder, companyCode);
    s.database = company.relative;
    s.printed = Now();
    ReadLastRun(company, s);
    if (!s.lastRun && !HoldsOpeningPostings(db)) {
        throw NothingMigrated("The company " + company.code +
                              " has not been migrated yet: its database " + company.path +
                              " holds no opening stock or balances of a migration, and no run "
                              "of it is recorded, so there is no opening statement to write.");
    }
    s.migrationDates = ReadDates(db);
    s.categories = ReadCategories(db);
    s.groups = ReadGroups(db);
    s.totals = ReadTotals(db);
    return s;
}

bool OpeningStatementAvailable(const std::string& productFolder, const std::string& companyCode) {
    try {
        CompanyDatabase company = LocateCompanyDatabase(productFolder, companyCode);
        if (!RunRecords(company).List().records.empty()) {
            return true;
        }
        Connection db;
        db.OpenReadOnly(company.connection);
        RequireCompanyTables(db);
        return HoldsOpeningPostings(db);
    } catch (const DataError&) {
        return true;  // the statement says why it can't be written
    }
}

}  // namespace ledgerlift
