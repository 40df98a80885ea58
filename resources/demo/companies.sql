-- The demo companies that the build lays out beside the program.
INSERT INTO tblCompany (CompanyCode, CompanyName, DirName, FileName) VALUES
    ('DEMO', 'Demo Traders', 'C01', 'DEMO'),
    ('SHOP', 'Corner Shop', 'C02', 'SHOP');
