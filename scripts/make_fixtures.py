#!/usr/bin/python3
"""Makes the workbooks that the tests and the demo use, and writes them into
the repository (they are committed; run this again only to change them).

- Workbooks saved by a real spreadsheet program (LibreOffice, headless): the
  mixed-cell fixture and the bundled sample workbook.
- Small edge-case workbooks written with xlwt.

Usage: /usr/bin/python3 scripts/make_fixtures.py
"""
import os
import random
import sys

import xlwt

sys.path.insert(0, os.path.dirname(__file__))
import fods  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FIXTURES = os.path.join(ROOT, "tests", "fixtures")

ITEM_HEAD = ["ITEM CODE", "ITEM NAME", "CATEGORY", "MANUFACTURE", "QOH", "PURCHASE RATE",
             "WHOLESALE", "MRP", "SALES VAT", "CST", "PURCHASE VAT",
             "RATE INCLUSIVE OF TAX SALES", "RATE INCLUSIVE OF TAX PURCHASE", "UNIT",
             "Description", "ROL"]
LEDGER_HEAD = ["Ledger Alias Name", "Ledger Name", "AccountGroup", "Address", "Phone", "TIN",
               "OpeningBalance", "DrCr", "Area"]


def real_mixed():
    items = [
        ITEM_HEAD,
        ["A1", "Soap", "Toiletries", "Acme", 10, 18, 20, 25, 12.5, 2, 4, "yes", "NO", "Nos",
         "  Lux  ", 5],
        [("f", '="B"&"2"'), "Oil", "Kitchen", "O'Neil Mills", ("f", "=[.E2]*3"), ("n", 1234.5),
         20, ("f", "=1/0"), 0.1, None, None, ("f", "=1>0"), True, ("f", "=NA()"),
         ("d", "2009-04-01"), ("fd", "=DATE(2010;5;6)")],
        ["C3", "  Rice  ", "Grocery", None, -5, 12, 13, 14, None, None, None, None, None, "Kg",
         ("d", "2009-04-01T10:30:00"), 0],
        ["D4", "   ", "Grocery", None, 1],
        ["E5", "Not read", "Grocery", None, 1],
    ]
    ledgers = [
        LEDGER_HEAD,
        ["AC", "Acme Traders", "Sundry Debtors", "1 Main St", "555-0101", "TIN1", ("n", 1500),
         "Dr", "North"],
        ["OB", "O'Brien & Sons", "Sundry Creditors", "2 Side St", "555'0102", "TIN'2",
         ("f", "=100*2.5"), "cr", "South"],
    ]
    fods.write_xls(os.path.join(FIXTURES, "real_mixed.xls"),
                   [("Items", items), ("Ledgers", ledgers)])


def other_savings():
    rows = [ITEM_HEAD,
            ["E1", "Empty text after me", "Grocery", "", 3, 1.5, None, None, None, None, None,
             None, None, "Nos", "", 2],
            ["E2", "Ümlaut & ünicode ✓", "Grocery", "Maker", ("n", 12345.678), 2]]
    ledgers = [LEDGER_HEAD, ["L1", "Only ledger", "Sundry Debtors", "", "", "", 10, "Dr", ""]]
    # A text cell holding the empty text.
    fods.write_xls(os.path.join(FIXTURES, "empty_text.xls"), [("Items", rows), ("Ledgers", ledgers)])


def sample():
    rnd = random.Random(7)
    categories = {
        "Toiletries": ["Bath Soap", "Shampoo 200ml", "Toothpaste 100g", "Hair Oil 100ml",
                       "Face Wash", "Talcum Powder", "Shaving Cream"],
        "Grocery": ["Basmati Rice 5kg", "Wheat Flour 10kg", "Sugar 1kg", "Salt 1kg",
                    "Toor Dal 1kg", "Green Gram 500g", "Rock Salt 500g"],
        "Beverages": ["Tea 250g", "Coffee 200g", "Malt Drink 500g", "Mango Juice 1l",
                      "Soda 750ml", "Green Tea 100g"],
        "Kitchen": ["Sunflower Oil 1l", "Coconut Oil 500ml", "Ghee 500ml", "Dish Wash Bar",
                    "Steel Scrubber", "Kitchen Towel"],
        "Stationery": ["Notebook 200p", "Ball Pen Blue", "Pencil HB", "Eraser", "Glue Stick",
                       "A4 Paper Ream"],
        "Cleaning": ["Floor Cleaner 1l", "Detergent 1kg", "Toilet Cleaner", "Phenyl 1l",
                     "Broom", "Mop"],
    }
    makers = ["Acme", "Sunrise", "Kerala Mills", "Everfresh", "Brightline"]
    items = [ITEM_HEAD]
    n = 0
    for category, names in categories.items():
        for name in names:
            n += 1
            prate = round(rnd.uniform(8, 400), 2)
            wholesale = round(prate * 1.12, 2)
            mrp = round(prate * 1.3)
            qoh = rnd.choice([0, 5, 10, 12, 24, 36, 48, 100, 1250])
            items.append(["IT%03d" % n, name, category, rnd.choice(makers), qoh, prate, wholesale,
                          ("n", mrp) if mrp >= 1000 else mrp, rnd.choice([5, 12.5, 14.5]), 2,
                          rnd.choice([4, 5, 12.5]), rnd.choice(["YES", "NO"]), "NO",
                          rnd.choice(["Nos", "Pkt", "Kg", "Ltr"]), "", rnd.choice([5, 10, 20])])
    ledgers = [LEDGER_HEAD]
    customers = ["Anand Stores", "Bharat Traders", "City Mart", "Deepa Agencies", "Eastern Retail",
                 "Fathima Stores", "Ganesh & Co", "Hill View Mart", "Indus Supermarket",
                 "Joseph Traders", "Kumar Agencies", "Lakshmi Stores", "Metro Mini Mart",
                 "Nila Provisions", "O'Connor Foods", "Pearl Traders"]
    suppliers = ["Acme Distributors", "Sunrise Foods Ltd", "Kerala Mills Ltd", "Everfresh Dairy",
                 "Brightline Paper", "Coastal Oils", "Delta Chemicals", "Evergreen Spices",
                 "Fortune Packaging", "Golden Grains", "Harbour Logistics", "Ivory Soaps",
                 "Jade Beverages", "Kaveri Agro"]
    areas = ["North", "South", "East", "West", "Central"]
    for i, name in enumerate(customers):
        amount = rnd.choice([0, 1500, 2750.5, 12000, 45999.75, 640])
        ledgers.append(["C%02d" % (i + 1), name, "Sundry Debtors", "%d Market Road" % (i + 3),
                        "0484-55%04d" % (i * 37), "32%09d" % (i * 7919),
                        ("n", amount) if amount >= 1000 else amount,
                        "Dr" if i % 5 else "Cr", rnd.choice(areas)])
    for i, name in enumerate(suppliers):
        amount = rnd.choice([0, 2200, 18500, 7345.25, 99000, 310])
        ledgers.append(["S%02d" % (i + 1), name, "Sundry Creditors",
                        "Unit %d, Industrial Estate" % (i + 1), "0471-66%04d" % (i * 53),
                        "29%09d" % (i * 6007), ("n", amount) if amount >= 1000 else amount,
                        "Cr" if i % 4 else "Dr", rnd.choice(areas)])
    fods.write_xls(os.path.join(ROOT, "resources", "demo", "sample.xls"),
                   [("Items", items), ("Ledgers", ledgers)])


def xlwt_book(path, sheets):
    book = xlwt.Workbook()
    for name, rows in sheets:
        ws = book.add_sheet(name)
        for r, row in enumerate(rows):
            for c, value in enumerate(row):
                if value is not None:
                    ws.write(r, c, value)
    book.save(path)


def item_row(code, name, category="Grocery", qoh=1):
    return [code, name, category, "Maker", qoh, 10, 11, 12, 5, 2, 4, "NO", "NO", "Nos", "", 1]


def edge_cases():
    ledger_rows = [LEDGER_HEAD, ["L1", "Ledger One", "Sundry Debtors", "", "", "", 100, "Dr", ""]]
    # Cell B2 of the item sheet is blank.
    xlwt_book(os.path.join(FIXTURES, "blank_b2.xls"),
              [("Items", [ITEM_HEAD, ["A1", None, "X"]]), ("Ledgers", ledger_rows)])
    # Column B blank in worksheet row 10, rows below filled; spaces-only and 0
    # in column B; spaces around values.
    rows = [ITEM_HEAD] + [item_row("I%d" % r, "Item %d" % r) for r in range(2, 10)]
    rows[3][1] = 0
    rows[4][1] = "  padded  "
    rows.append(["I10", "   "])
    rows += [item_row("I%d" % r, "Below %d" % r) for r in range(11, 14)]
    xlwt_book(os.path.join(FIXTURES, "blank_row10.xls"),
              [("Items", rows), ("Ledgers", ledger_rows)])
    # A single worksheet.
    xlwt_book(os.path.join(FIXTURES, "single_sheet.xls"),
              [("Items", [ITEM_HEAD, item_row("A1", "Soap"), item_row("A2", "Oil")])])
    # A ledger whose opening balance is beyond the currency range, between
    # two good ones.
    xlwt_book(os.path.join(FIXTURES, "bad_row.xls"),
              [("Items", [ITEM_HEAD, item_row("A1", "Soap", "Toiletries")]),
               ("Ledgers", [LEDGER_HEAD,
                            ["L1", "First", "Sundry Debtors", "", "", "", 100, "Dr", ""],
                            ["L2", "Too big", "Sundry Debtors", "", "", "", 1e16, "Dr", ""],
                            ["L3", "Third", "Sundry Creditors", "", "", "", 50, "Cr", ""]])])
    # Two small sheets, for a second import with fewer rows.
    xlwt_book(os.path.join(FIXTURES, "two_rows.xls"),
              [("Items", [ITEM_HEAD, item_row("A1", "Soap", "Toiletries"),
                          item_row("A2", "Oil", "Kitchen")]),
               ("Ledgers", ledger_rows)])


if __name__ == "__main__":
    os.makedirs(FIXTURES, exist_ok=True)
    real_mixed()
    other_savings()
    sample()
    edge_cases()
    print("fixtures written")
