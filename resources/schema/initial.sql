-- The product's initial database: the list of companies and where each
-- company's database lies (Resources/Database/<DirName>/<FileName>.mdb).
-- No index on CompanyCode: the company list is read in the order the rows
-- were written, and the table is tiny.
CREATE TABLE tblCompany (
    CompanyID   INTEGER PRIMARY KEY,
    CompanyCode TEXT COLLATE NOCASE NOT NULL,
    CompanyName TEXT COLLATE NOCASE,
    DirName     TEXT COLLATE NOCASE,
    FileName    TEXT COLLATE NOCASE
);
