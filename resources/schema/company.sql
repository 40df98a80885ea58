-- A company database of the product, as far as Ledgerlift writes and reads it.
-- Text compares without regard to letter case, as the product's engine does;
-- dates are stored as yyyy-mm-dd text. Every column that a statement searches
-- or takes the maximum of has an index.

CREATE TABLE tblAccountgroup (
    AccountGroupID  INTEGER PRIMARY KEY,
    AccountGroup    TEXT COLLATE NOCASE NOT NULL UNIQUE,
    PrimaryGroup    TEXT COLLATE NOCASE,
    ParentGroupID   INTEGER
);

CREATE TABLE tblCategories (
    CategoryID  INTEGER PRIMARY KEY,
    Category    TEXT COLLATE NOCASE NOT NULL UNIQUE
);

CREATE TABLE tblItemMaster (
    ItemID                  INTEGER PRIMARY KEY,
    ItemCode                TEXT COLLATE NOCASE NOT NULL UNIQUE,
    ItemName                TEXT COLLATE NOCASE,
    LedgerID                INTEGER,
    MalayalamEnglish        TEXT COLLATE NOCASE,
    Malayalam               TEXT COLLATE NOCASE,
    CategoryID              INTEGER,
    Unit                    TEXT COLLATE NOCASE,
    MRP                     REAL,
    ROL                     REAL,
    Rack                    TEXT COLLATE NOCASE,
    Description             TEXT COLLATE NOCASE,
    SRate                   REAL,
    GSTPer                  REAL,
    CSTPer                  REAL,
    PRate                   REAL,
    RateInclusive           INTEGER,
    Manufacturer            TEXT COLLATE NOCASE,
    Discount                REAL,
    SRatePer                REAL,
    MrpPer                  REAL,
    PstPer                  REAL,
    IntLocal                INTEGER,
    ScheduleNo              TEXT COLLATE NOCASE,
    ProductType             TEXT COLLATE NOCASE,
    ProductTypeID           INTEGER,
    ActiveStatus            INTEGER,
    RateInclusivePurchase   INTEGER
);
CREATE INDEX ixItemMasterCategory ON tblItemMaster (CategoryID);

CREATE TABLE tblStock (
    StockID     INTEGER PRIMARY KEY,
    ItemID      INTEGER NOT NULL,
    Batch       TEXT COLLATE NOCASE,
    Qty         REAL,
    PRate       REAL,
    SRate       REAL,
    MRP         REAL,
    BatchCode   TEXT COLLATE NOCASE,
    BatchID     INTEGER
);
CREATE INDEX ixStockItem ON tblStock (ItemID, PRate, MRP);

CREATE TABLE tblStockHistory (
    StockHisID  INTEGER PRIMARY KEY,
    VchDate     TEXT,
    VchType     TEXT COLLATE NOCASE,
    RefID       INTEGER,
    AdnlRefID   TEXT COLLATE NOCASE,
    ItemID      INTEGER,
    QtyIn       REAL,
    QtyOut      REAL,
    Batch       TEXT COLLATE NOCASE,
    PValueIn    REAL,
    PValueOut   REAL,
    SValueIn    REAL,
    SValueOut   REAL,
    MrpValueIn  REAL,
    MrpValueOut REAL,
    FreeQtyIn   REAL,
    FreeQtyOut  REAL,
    BatchCode   TEXT COLLATE NOCASE
);
CREATE INDEX ixStockHistoryItem ON tblStockHistory (ItemID);

CREATE TABLE tblLedger (
    LID             INTEGER PRIMARY KEY,
    LName           TEXT COLLATE NOCASE NOT NULL UNIQUE,
    LAliasName      TEXT COLLATE NOCASE,
    GroupName       TEXT COLLATE NOCASE,
    Type            TEXT COLLATE NOCASE,
    OpBalance       REAL,
    AppearIn        TEXT COLLATE NOCASE,
    Address         TEXT COLLATE NOCASE,
    CreditDays      INTEGER,
    Phone           TEXT COLLATE NOCASE,
    Fax             TEXT COLLATE NOCASE,
    AccountGroupID  INTEGER,
    TargetAmt       REAL,
    Area            TEXT COLLATE NOCASE
);
CREATE INDEX ixLedgerGroupName ON tblLedger (GroupName);

-- One voucher is two rows that share MainID and TrID.
CREATE TABLE tblVoucher (
    MainID          INTEGER NOT NULL,
    TrID            INTEGER NOT NULL,
    TrType          TEXT COLLATE NOCASE NOT NULL,
    TrDate          TEXT,
    DrLID           INTEGER,
    CrLID           INTEGER,
    Particulars     TEXT COLLATE NOCASE,
    Narration       TEXT COLLATE NOCASE,
    AmountD         REAL,
    AmountC         REAL,
    USerNarration   TEXT COLLATE NOCASE,
    SortOrder       INTEGER,
    Optional        INTEGER
);
CREATE INDEX ixVoucherMain ON tblVoucher (MainID);
CREATE INDEX ixVoucherType ON tblVoucher (TrType, TrID);
-- A ledger's opening vouchers, which a run again and a check read per ledger.
CREATE INDEX ixVoucherLedger ON tblVoucher (DrLID, TrType);

-- The product's standard account groups.
INSERT INTO tblAccountgroup (AccountGroupID, AccountGroup, PrimaryGroup, ParentGroupID) VALUES
    (1, 'Capital Account', 'Liabilities', 0),
    (2, 'Current Assets', 'Assets', 0),
    (3, 'Current Liabilities', 'Liabilities', 0),
    (4, 'Fixed Assets', 'Assets', 0),
    (5, 'Investments', 'Assets', 0),
    (6, 'Loans (Liability)', 'Liabilities', 0),
    (7, 'Cash-in-Hand', 'Assets', 2),
    (8, 'Bank Accounts', 'Assets', 2),
    (9, 'Duties & Taxes', 'Liabilities', 3),
    (10, 'Customer', 'Assets', 2),
    (11, 'Supplier', 'Liabilities', 3),
    (12, 'Sundry Debtors', 'Assets', 2),
    (13, 'Sundry Creditors', 'Liabilities', 3),
    (14, 'Deposits (Asset)', 'Assets', 2),
    (15, 'Loans & Advances (Asset)', 'Assets', 2),
    (16, 'Stock-in-Hand', 'Assets', 2),
    (17, 'Provisions', 'Liabilities', 3),
    (18, 'Reserves & Surplus', 'Liabilities', 1),
    (19, 'Secured Loans', 'Liabilities', 6),
    (20, 'Unsecured Loans', 'Liabilities', 6),
    (21, 'Bank OD Account', 'Liabilities', 6),
    (22, 'Sales Accounts', 'Income', 0),
    (23, 'Purchase Accounts', 'Expenses', 0),
    (24, 'Direct Incomes', 'Income', 0),
    (25, 'Indirect Incomes', 'Income', 0),
    (26, 'Direct Expenses', 'Expenses', 0),
    (27, 'Indirect Expenses', 'Expenses', 0),
    (28, 'Suspense Account', 'Liabilities', 0),
    (29, 'Branch / Divisions', 'Liabilities', 0),
    (30, 'Miscellaneous Expenses (Asset)', 'Assets', 0);
