#!/usr/bin/python3
"""Makes the workbooks that the tests and the demo use, and writes them into
the repository (they are committed; run this again only to change them). The
tests need none of the programs below.

- Workbooks saved by a real spreadsheet program (LibreOffice, headless), each
  as .xls, .xlsx and .ods from one source: the mixed-cell fixture, the text
  rules fixture, the empty-text fixture and the bundled sample workbook.
- The same workbooks saved once more by gnumeric (ssconvert) in the three
  formats.
- Small edge-case workbooks written with xlwt (.xls), openpyxl and XlsxWriter
  (.xlsx), some of them changed afterwards inside their zip package to show
  what other programs write (strict namespaces, phonetic runs, cells without
  references, sheets listed out of part order).
- The bundled sample's two sheets saved by LibreOffice as text exports: a
  comma-separated UTF-8 file and a tab-separated UTF-16 file per sheet.
- The seed corpora of the XML fuzzers: the XML parts of the fixtures; seeds
  of the code page path of the .xls scan, of the zip package fuzzer and of
  the text reader.

Needs (Debian): libreoffice-calc (or libreoffice-calc-nogui), gnumeric,
python3-xlwt, python3-openpyxl, python3-xlsxwriter.
Usage: /usr/bin/python3 scripts/make_fixtures.py [STEP...]
  With steps (the names of the functions called at the end, such as
  text_exports), only those are made.
"""
import codecs
import datetime
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

import openpyxl
import xlsxwriter
import xlwt

sys.path.insert(0, os.path.dirname(__file__))
import fods  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FIXTURES = os.path.join(ROOT, "tests", "fixtures")
FUZZ = os.path.join(ROOT, "tests", "fuzz")
FORMATS = (".xls", ".xlsx", ".ods")
GNUMERIC_EXPORTERS = {
    ".xls": "Gnumeric_Excel:excel_biff8",
    ".xlsx": "Gnumeric_Excel:xlsx2",
    ".ods": "Gnumeric_OpenCalc:odf",
}


def write_formats(base, sheets):
    """The workbook saved by LibreOffice as base.xls, base.xlsx and base.ods."""
    for ext in FORMATS:
        fods.write(base + ext, sheets)


def gnumeric_copies(source, base):
    """The workbook at source saved by gnumeric as base.xls, base.xlsx and base.ods."""
    for ext in FORMATS:
        subprocess.run(["ssconvert", "-T", GNUMERIC_EXPORTERS[ext], source, base + ext],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

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
    ]
    ledgers = [
        LEDGER_HEAD,
        ["AC", "Acme Traders", "Sundry Debtors", "1 Main St", "555-0101", "TIN1", ("n", 1500),
         "Dr", "North"],
        ["OB", "O'Brien & Sons", "Sundry Creditors", "2 Side St", "555'0102", "TIN'2",
         ("f", "=100*2.5"), "cr", "South"],
    ]
    base = os.path.join(FIXTURES, "real_mixed")
    write_formats(base, [("Items", items), ("Ledgers", ledgers)])
    gnumeric_copies(base + ".ods", os.path.join(FIXTURES, "gnumeric_mixed"))


# The rows of the headings workbooks, in the described column order.
HEADING_ITEMS = [
    ["A1", "Soap", "Toiletries", "Acme", 10, 18, 20, 25, 12.5, 2, 4, "YES", "NO", "Nos", "Lux", 5],
    ["B2", "Oil", "Kitchen", "Sunrise", 30, 100, 110, 130, 5, 0, 5, "NO", "NO", "Ltr", None, 2],
    ["C3", "Rice", "Grocery", None, 7, 40, 44, 50, 0, 0, 0, "NO", "NO", "Kg", "Basmati", 10],
]
HEADING_LEDGERS = [
    ["AC", "Acme Traders", "Sundry Debtors", "1 Main St", "555-0101", "TIN1", 1500, "Dr", "North"],
    ["OB", "O'Brien & Sons", "Sundry Creditors", "2 Side St", "555-0102", "TIN2", 250, "Cr",
     "South"],
]
OWN_ITEM_HEAD = ["Code", "Item", "Group", "Make", "Qty", "Purchase Price", "Wholesale Rate", "MRP",
                 "Tax %", "CST", "Purchase Tax", "Rate Incl. Tax (Sales)",
                 "Rate Incl. Tax (Purchase)", "Unit", "Description", "ROL"]
OWN_LEDGER_HEAD = ["Alias", "Name", "Under", "Address", "Phone", "GSTIN", "Opening Balance",
                   "Dr/Cr", "Area"]


def columns(head, rows, order):
    """The sheet with its columns in the given order (indexes into the described order; None
    adds an empty column headed by the text in its place)."""
    def pick(row, is_head):
        out = []
        for o in order:
            if isinstance(o, str):
                out.append(o if is_head else None)
            else:
                out.append(row[o] if o < len(row) else None)
        return out
    return [pick(head, True)] + [pick(r, False) for r in rows]


def heading_cases():
    """Workbooks whose columns and sheets are found by their headings, each saved by LibreOffice
    as .xls, .xlsx and .ods under tests/fixtures/headings/."""
    folder = os.path.join(FIXTURES, "headings")
    os.makedirs(folder, exist_ok=True)
    items = [ITEM_HEAD] + HEADING_ITEMS
    ledgers = [LEDGER_HEAD] + HEADING_LEDGERS
    own_items = [OWN_ITEM_HEAD] + HEADING_ITEMS
    own_ledgers = [OWN_LEDGER_HEAD] + HEADING_LEDGERS
    shuffled_items = columns(OWN_ITEM_HEAD, HEADING_ITEMS,
                             [1, 0, 4, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15])
    shuffled_ledgers = columns(OWN_LEDGER_HEAD, HEADING_LEDGERS, [1, 7, 6, 2, 0, 3, 4, 5, 8])
    extra = columns(ITEM_HEAD, HEADING_ITEMS, [0, 1, "HSN Code"] + list(range(2, 16)))
    for row, hsn in zip(extra[1:], [3401, 1507, 1006]):
        row[2] = hsn
    no_optional = columns(ITEM_HEAD, HEADING_ITEMS, [0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13, 15])
    no_name = columns(OWN_ITEM_HEAD, HEADING_ITEMS, [0, 2, 4, 5, 6, 7])
    doubled = columns(OWN_ITEM_HEAD, HEADING_ITEMS, [0, 1, 4, 2, 5])
    doubled[0][4] = "Quantity"
    doubled[0][3] = "Category"
    rate = columns(OWN_ITEM_HEAD, HEADING_ITEMS, [1, 0, 4, 5, 2])
    rate[0][3] = "Rate"
    units = columns(["Item Code", "Item Name", "Category", "Make", "Qty (Nos)", "Purchase Rate (Rs)",
                     "Selling Price Rs.", "MRP ₹", "Sales VAT %"], HEADING_ITEMS,
                    [1, 0, 2, 3, 4, 5, 6, 7, 8])
    unit_ledgers = columns(["Alias", "Party Name", "Account Group", "Address", "Phone", "TIN",
                            "Opening Balance ₹", "Balance Type", "Area"], HEADING_LEDGERS,
                           [1, 0, 2, 6, 7])
    blank_rows = [ITEM_HEAD, HEADING_ITEMS[0], [], HEADING_ITEMS[1], [None, None, None, None, 0,
                  None, None, None, None, None, None, "NO"], HEADING_ITEMS[2]]
    blank_ledgers = [LEDGER_HEAD, HEADING_LEDGERS[0], [None, "   "], HEADING_LEDGERS[1]]
    no_keys = [ITEM_HEAD, HEADING_ITEMS[0], [None, None, "Kitchen", None, 12, 50],
               HEADING_ITEMS[1]]
    serial = [["Sl No"] + ITEM_HEAD] + [[n + 1] + (HEADING_ITEMS[n] if n < 3 else [])
                                         for n in range(20)]
    title = [["Opening stock as on 1 April 2024"], [], ITEM_HEAD] + HEADING_ITEMS
    cases = {
        "described": [("Items", items), ("Ledgers", ledgers)],
        "own_headings": [("Items", own_items), ("Ledgers", own_ledgers)],
        "shuffled": [("Stock", shuffled_items), ("Parties", shuffled_ledgers)],
        "extra_column": [("Items", extra), ("Ledgers", ledgers)],
        "missing_optional": [("Items", no_optional), ("Ledgers", ledgers)],
        "missing_required": [("Items", no_name), ("Ledgers", ledgers)],
        "doubled": [("Items", doubled), ("Ledgers", ledgers)],
        "ambiguous_rate": [("Items", rate), ("Ledgers", ledgers)],
        "swapped": [("Ledgers", ledgers), ("Items", items)],
        "cover_first": [("Read Me", [["How to fill in this workbook"], ["One row per item."]]),
                        ("Items", items), ("Ledgers", ledgers)],
        "customers_suppliers": [("Items", items), ("Customers", [LEDGER_HEAD, HEADING_LEDGERS[0]]),
                                ("Suppliers", [OWN_LEDGER_HEAD, HEADING_LEDGERS[1]])],
        "items_only": [("Items", items)],
        "title_line": [("Items", title), ("Ledgers", ledgers)],
        "no_heading_row": [("Sheet1", HEADING_ITEMS), ("Sheet2", HEADING_LEDGERS)],
        "units": [("Items", units), ("Ledgers", unit_ledgers)],
        "blank_rows": [("Items", blank_rows), ("Ledgers", blank_ledgers)],
        "no_keys": [("Items", no_keys), ("Ledgers", ledgers)],
        "serial_below": [("Items", serial), ("Ledgers", ledgers)],
        "one_unrecognised_sheet": [("Sheet1", HEADING_ITEMS)],
    }
    for name, sheets in cases.items():
        write_formats(os.path.join(folder, name), sheets)


def percent_cells():
    """Number cells formatted as percentages, saved by LibreOffice: a tax of 12.5% (stored 0.125)
    and a quantity of 5% (a percentage where none belongs)."""
    items = [ITEM_HEAD,
             ["P1", "Tax as percent", "Grocery", None, 3, 10, 11, 12, ("p", 0.125), ("p", 0.02),
              ("p", 0.04), "NO", "NO", "Nos", None, 1],
             ["P2", "Quantity as percent", "Grocery", None, ("p", 0.05), 10, 11, 12, 5, 2, 4,
              "NO", "NO", "Nos", None, 1]]
    write_formats(os.path.join(FIXTURES, "percent_cells"), [("Items", items),
                                                            ("Ledgers", [LEDGER_HEAD])])


def other_savings():
    rows = [ITEM_HEAD,
            ["E1", "Empty text after me", "Grocery", "", 3, 1.5, None, None, None, None, None,
             None, None, "Nos", "", 2],
            ["E2", "Ümlaut & ünicode ✓", "Grocery", "Maker", ("n", 12345.678), 2]]
    ledgers = [LEDGER_HEAD, ["L1", "Only ledger", "Sundry Debtors", "", "", "", 10, "Dr", ""]]
    # A text cell holding the empty text.
    write_formats(os.path.join(FIXTURES, "empty_text"), [("Items", rows), ("Ledgers", ledgers)])


def sample_sheets():
    """The bundled sample's two sheets."""
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
    return [("Items", items), ("Ledgers", ledgers)]


def sample():
    write_formats(os.path.join(ROOT, "resources", "demo", "sample"), sample_sheets())


def sample_loop():
    """The sample with four broken rows (an unreadable quantity, a balance
    without a side, a duplicate ledger name, a balance too large), and the
    same workbook with those four cells corrected."""
    (_, items), (_, ledgers) = sample_sheets()
    items = [list(row) for row in items]
    ledgers = [list(row) for row in ledgers]
    row_of = {row[1]: row for row in ledgers[1:]}
    items[5][4] = "ten"
    row_of["Fathima Stores"][6] = -2750.5
    row_of["Fathima Stores"][7] = None
    row_of["Joseph Traders"][1] = "Anand Stores"
    row_of["Coastal Oils"][6] = 1e16
    write_formats(os.path.join(FIXTURES, "sample_broken"),
                  [("Items", items), ("Ledgers", ledgers)])
    items[5][4] = 24
    row_of["Fathima Stores"][7] = "Cr"
    row_of["Joseph Traders"][1] = "Joseph Traders"
    row_of["Coastal Oils"][6] = 18500
    write_formats(os.path.join(FIXTURES, "sample_fixed"),
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


def text_rules():
    """How each format writes texts, times, errors, repeats and merged cells."""
    def cell(xml):
        return ("x", xml)

    def text(*paragraphs):
        return cell('<table:table-cell office:value-type="string">%s</table:table-cell>'
                    % "".join("<text:p>%s</text:p>" % p for p in paragraphs))

    def item(code, name, **columns):
        row = [code, name, "Grocery", "Maker", 1, 10, 11, 12, 5, 2, 4, "NO", "NO", "Nos", "", 1]
        for letter, value in columns.items():
            row[ord(letter) - ord("A")] = value
        return row

    items = [
        ITEM_HEAD,
        item("T1", "Two paragraphs", O=text("first line", "second line")),
        item("T2", "Spaces and a tab", O=text('a<text:s text:c="3"/>b<text:tab/>c')),
        item("T3", "A line break and a span",
             O=text('x<text:line-break/><text:span>bold</text:span> y')),
        item("T4", "A link", O=text('see <text:a xlink:href="http://example.com/">the site</text:a>')),
        item("T5", "A note", O=cell(
            '<table:table-cell office:value-type="string"><office:annotation>'
            "<dc:creator>me</dc:creator><text:p>not the cell's text</text:p></office:annotation>"
            "<text:p>visible</text:p></table:table-cell>")),
        item("T6", "Times, a percentage, a currency", E=("t", "10:30:00"), F=("p", 0.125),
             G=("c", 12.5), H=("t", "00:00:01")),
        item("T7", "Same row"),
        item("T7", "Same row"),
        item("T7", "Same row"),
        item("T8", "Same value across", E=7, F=7, G=7, H=7, I=7, J=7),
        item("T9", "Merged cells", C=cell(
            '<table:table-cell table:number-columns-spanned="2" office:value-type="string">'
            "<text:p>merged</text:p></table:table-cell><table:covered-table-cell/>"), D=None),
        item("T10", "Errors", E=("f", "=SQRT(-1)"), F=("f", "=1/0"), G=("f", "=NA()"),
             H=("f", '="a"+1'), I=("f", "=NOSUCHNAME()"), J=("f", "=1/0+NA()")),
        item("T11", "Booleans", E=("b", True), F=("b", False), G=("f", "=1>0"),
             H=("f", "=AND(1;0)")),
        item("T12", "  Ümlaut & \"quotes\" <tags>  ", O="   "),
        item("T13", "Numbers", E=1e-10, F=123456789012345, G=-0.5, H=("f", "=1/3"),
             I=("f", "=2^53")),
        item("T14", "Dates", E=("d", "1999-12-31"), F=("d", "2024-02-29T23:59:59"),
             G=("fd", "=DATE(1900;3;1)"), H=("d", "2009-04-01T00:00:00")),
    ]
    # Drop the column that a merged cell covers: the covered cell stands for it.
    merged = items[11]
    del merged[3]
    ledgers = [LEDGER_HEAD,
               ["L1", "Ledger with two lines", "Sundry Debtors",
                text("1 Main St", "Springfield"), "555-0101", "", 100, "Dr", ""]]
    base = os.path.join(FIXTURES, "text_rules")
    write_formats(base, [("Items", items), ("Ledgers", ledgers)])
    gnumeric_copies(base + ".ods", os.path.join(FIXTURES, "gnumeric_text_rules"))


def rewrite_zip(path, change):
    """Rewrites the parts of a zip package: change(name, bytes) gives the new
    bytes, or None to leave the part out."""
    with zipfile.ZipFile(path) as z:
        parts = [(info.filename, z.read(info)) for info in z.infolist()]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in parts:
            data = change(name, data)
            if data is not None:
                z.writestr(name, data)


def xlsxwriter_book(path, sheets, options=None, formats=None):
    """sheets: (name, rows) for worksheets, (name, "chart") for chart sheets."""
    book = xlsxwriter.Workbook(path, options or {})
    for name, rows in sheets:
        if rows == "chart":
            sheet = book.add_chartsheet(name)
            chart = book.add_chart({"type": "column"})
            chart.add_series({"values": [sheets[-1][0], 1, 4, 3, 4]})
            sheet.set_chart(chart)
            continue
        ws = book.add_worksheet(name)
        for r, row in enumerate(rows):
            for c, value in enumerate(row):
                if value is None:
                    continue
                if isinstance(value, tuple):
                    kind, v = value
                    if kind == "fmt":
                        text, number = v
                        ws.write_number(r, c, number, book.add_format({"num_format": text}))
                    elif kind == "rich":
                        ws.write_rich_string(r, c, *[book.add_format({"bold": True}) if x == "B"
                                                     else x for x in v])
                    elif kind == "date":
                        ws.write_datetime(r, c, v, book.add_format({"num_format": "yyyy-mm-dd"}))
                else:
                    ws.write(r, c, value)
    book.close()


def xlsx_edge_cases():
    ledgers = [LEDGER_HEAD, ["L1", "Ledger One", "Sundry Debtors", "", "", "", 100, "Dr", ""]]
    items = [ITEM_HEAD, item_row("A1", "Soap"), item_row("A2", "Oil")]

    # A chart sheet before the first worksheet and another between the two:
    # worksheet 1 and 2 are still the items and the ledgers, as in .xls.
    xlsxwriter_book(os.path.join(FIXTURES, "chart_sheets.xlsx"),
                    [("Chart first", "chart"), ("Items", items), ("Chart between", "chart"),
                     ("Ledgers", ledgers)])

    # The workbook lists its sheets in another order than their parts are
    # numbered: worksheet 1 (items) is xl/worksheets/sheet2.xml.
    path = os.path.join(FIXTURES, "sheet_order.xlsx")
    xlsxwriter_book(path, [("Ledgers", ledgers), ("Items", items)])

    def swap_sheets(name, data):
        if name == "xl/workbook.xml":
            text = data.decode()
            first = re.search(r'<sheet name="Ledgers"[^>]*/>', text).group(0)
            second = re.search(r'<sheet name="Items"[^>]*/>', text).group(0)
            text = text.replace(first, "\0").replace(second, first).replace("\0", second)
            return text.encode()
        return data
    rewrite_zip(path, swap_sheets)

    # Number formats: dates by built-in and custom codes, durations, locale
    # and colour tags; the 1904 date system.
    for name, options in (("number_formats.xlsx", {}), ("date1904.xlsx", {"date_1904": True})):
        rows = [ITEM_HEAD,
                item_row("F1", "Formats") + []]
        row = rows[1]
        row[4] = ("fmt", ("yyyy\\-mm\\-dd", 39904))
        row[5] = ("fmt", ("[$-409]d-mmm-yy;@", 39904.4375))
        row[6] = ("fmt", ("[h]:mm", 0.4375))
        row[7] = ("fmt", ("#,##0.00 \"days\"", 39904))
        row[8] = ("fmt", ("[Red]0.00", 12.5))
        row[9] = ("fmt", ("h:mm AM/PM", 0.75))
        row[10] = ("fmt", ("0.00E+00", 1234.5))
        row[14] = ("date", datetime.datetime(2009, 4, 1, 10, 30))
        xlsxwriter_book(os.path.join(FIXTURES, name), [("Items", rows), ("Ledgers", ledgers)],
                        options)

    # Rich text with phonetic runs (left out of the text), inline strings,
    # escaped characters, cells and rows without references, a skipped row.
    path = os.path.join(FIXTURES, "xlsx_texts.xlsx")
    row = item_row("R1", "Rich")
    row[14] = ("rich", ["plain ", "B", "bold", " end"])
    xlsxwriter_book(path, [("Items", [ITEM_HEAD, row]), ("Ledgers", ledgers)])
    more_rows = (
        '<row><c t="inlineStr"><is><t>R2</t></is></c>'
        '<c t="inlineStr"><is><r><t>Inline </t></r><r><t>runs</t></r>'
        '<rPh sb="0" eb="1"><t>no</t></rPh></is></c>'
        '<c t="inlineStr"><is><t>Grocery</t></is></c><c><v>5</v></c></row>'
        '<row r="5"><c r="A5" t="str"><f>"R"&amp;"4"</f><v>R4</v></c>'
        '<c r="B5" t="inlineStr"><is><t xml:space="preserve"> After a skipped row </t></is></c>'
        '</row>'
        '<row><c r="A6" t="inlineStr"><is><t>R6</t></is></c>'
        '<c t="inlineStr"><is><t>Row without a number</t></is></c>'
        '<c r="O6" t="inlineStr"><is><t>a_x000D_b _x005F_x0041_</t></is></c></row>')

    def texts(name, data):
        text = data.decode()
        if name == "xl/sharedStrings.xml":
            # Phonetic runs after the rich text's runs, as Japanese Excel writes them.
            text = text.replace(" end</t></r></si>", ' end</t></r><rPh sb="0" eb="1">'
                                '<t>phonetic</t></rPh><phoneticPr fontId="1"/></si>')
        if name == "xl/worksheets/sheet1.xml":
            text = text.replace("</row></sheetData>", "</row>" + more_rows + "</sheetData>")
        return text.encode()
    rewrite_zip(path, texts)

    # Formulas that a program wrote without calculating them.
    book = openpyxl.Workbook()
    ws = book.active
    ws.title = "Items"
    for row in [ITEM_HEAD, item_row("U1", "Uncalculated"), item_row("U2", "Also")]:
        ws.append(row)
    ws["E2"] = "=1+1"
    ws["F3"] = "=E2*2"
    ws["P3"] = "=SUM(E2:E3)"
    ws2 = book.create_sheet("Ledgers")
    for row in ledgers:
        ws2.append(row)
    ws2["G2"] = "=100*2"
    book.save(os.path.join(FIXTURES, "uncalculated.xlsx"))

    # Booleans, error values and ISO dates (t="d"), as openpyxl writes them.
    book = openpyxl.Workbook(iso_dates=True)
    ws = book.active
    ws.title = "Items"
    row = item_row("K1", "Kinds")
    row[4], row[5], row[6] = True, False, "#N/A"
    row[7], row[8] = datetime.datetime(2009, 4, 1, 10, 30), datetime.date(2009, 4, 1)
    for r in [ITEM_HEAD, row]:
        ws.append(r)
    book.create_sheet("Ledgers").append(LEDGER_HEAD)
    book.save(os.path.join(FIXTURES, "xlsx_kinds.xlsx"))

    # The strict form of the format, and a macro-enabled workbook.
    strict = os.path.join(FIXTURES, "strict.xlsx")
    shutil.copy(os.path.join(FIXTURES, "real_mixed.xlsx"), strict)
    namespaces = [
        ("http://schemas.openxmlformats.org/spreadsheetml/2006/main",
         "http://purl.oclc.org/ooxml/spreadsheetml/main"),
        ("http://schemas.openxmlformats.org/officeDocument/2006/relationships",
         "http://purl.oclc.org/ooxml/officeDocument/relationships"),
    ]

    def to_strict(name, data):
        if name.endswith(".xml") or name.endswith(".rels"):
            text = data.decode()
            for old, new in namespaces:
                text = text.replace(old, new)
            return text.encode()
        return data
    rewrite_zip(strict, to_strict)
    macro = os.path.join(FIXTURES, "macro.xlsm")
    shutil.copy(os.path.join(FIXTURES, "two_rows.xlsx"), macro)

    def to_macro(name, data):
        if name == "[Content_Types].xml":
            return data.replace(b"application/vnd.openxmlformats-officedocument.spreadsheetml."
                                b"sheet.main+xml",
                                b"application/vnd.ms-excel.sheet.macroEnabled.main+xml")
        return data
    rewrite_zip(macro, to_macro)


def fuzz_corpora():
    """The XML parts of the fixtures, as seeds for the XML fuzzers."""
    for corpus in ("xlsx_corpus", "ods_corpus"):
        folder = os.path.join(FUZZ, corpus)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
    for name in sorted(os.listdir(FIXTURES)):
        path = os.path.join(FIXTURES, name)
        stem, ext = os.path.splitext(name)
        if ext not in (".xlsx", ".xlsm", ".ods"):
            continue
        with zipfile.ZipFile(path) as z:
            for part in z.namelist():
                if ext == ".ods" and part == "content.xml":
                    out = os.path.join(FUZZ, "ods_corpus", stem + ".xml")
                elif ext != ".ods" and re.match(
                        r"(xl/(workbook|sharedStrings|styles|worksheets/sheet\d+)\.xml|"
                        r"(xl/)?_rels/.*\.rels|\[Content_Types\]\.xml)$", part):
                    out = os.path.join(FUZZ, "xlsx_corpus",
                                       stem + "_" + re.sub(r"[^A-Za-z0-9.]", "_", part))
                else:
                    continue
                data = z.read(part)
                if len(data) <= 64 * 1024:
                    with open(out, "wb") as f:
                        f.write(data)


def biff_record(kind, data):
    return kind.to_bytes(2, "little") + len(data).to_bytes(2, "little") + data


def biff5_stream(code_page, text):
    """An Excel 5/95 workbook stream: a CODEPAGE record, one worksheet whose
    cell B2 holds the text, in that code page."""
    bof = lambda kind: biff_record(0x0809, (0x0500).to_bytes(2, "little") +
                                   kind.to_bytes(2, "little") + bytes(4))
    head = bof(0x0005) + biff_record(0x0042, code_page.to_bytes(2, "little"))
    name = b"\x05Items"
    sheet_at = len(head) + 4 + 6 + len(name) + 4
    head += biff_record(0x0085, sheet_at.to_bytes(4, "little") + bytes(2) + name)
    head += biff_record(0x000A, b"")
    label = bytes([1, 0, 1, 0, 0, 0]) + len(text).to_bytes(2, "little") + text
    return head + bof(0x0010) + biff_record(0x0204, label) + biff_record(0x000A, b"")


def fuzz_seeds():
    """Seeds of the code page path of the workbook stream scan, and of the
    zip package fuzzer: two small packages and one whose parts are written
    with backslashes."""
    for name, code_page, text in (("biff5_cyrillic", 1251, "Москва".encode("cp1251")),
                                  ("biff5_shift_jis", 932, "日本".encode("cp932")),
                                  ("biff5_western", 1252, "Men’s – blue".encode("cp1252"))):
        with open(os.path.join(FUZZ, "corpus", name + ".bin"), "wb") as f:
            f.write(biff5_stream(code_page, text))
    folder = os.path.join(FUZZ, "zip_corpus")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name in ("two_rows.xlsx", "two_rows.ods"):
        shutil.copy(os.path.join(FIXTURES, name), folder)
    with zipfile.ZipFile(os.path.join(FIXTURES, "two_rows.xlsx")) as src, \
            zipfile.ZipFile(os.path.join(folder, "backslashes.xlsx"), "w",
                            zipfile.ZIP_DEFLATED) as dst:
        for info in src.infolist():
            dst.writestr(info.filename.replace("/", "\\"), src.read(info))


# LibreOffice's CSV filter options: field separator, text delimiter (the
# double quote), character set (76 UTF-8, 65535 UTF-16), then the defaults,
# with the cells' values rather than as shown (no thousands separators) and
# every sheet to a file of its own.
TEXT_EXPORTS = (
    ("sample_csv", ".csv", "44,34,76,1,,0,false,true,false,false,false,-1"),
    ("sample_tsv", ".tsv", "9,34,65535,1,,0,false,true,false,false,false,-1"),
)


def text_exports():
    """The bundled sample's two sheets saved by LibreOffice as text, a file
    per sheet named after it, under tests/fixtures/text/: comma-separated
    UTF-8 with a byte-order mark (LibreOffice writes none; the spreadsheet
    programs that save "CSV UTF-8" do, so it is put before the text) and
    tab-separated UTF-16 with its mark, as "Unicode text" is saved."""
    source = os.path.join(ROOT, "resources", "demo", "sample.xls")
    for folder, ext, options in TEXT_EXPORTS:
        out = os.path.join(FIXTURES, "text", folder)
        os.makedirs(out, exist_ok=True)
        work = tempfile.mkdtemp()
        try:
            subprocess.run(["soffice", "--headless",
                            "-env:UserInstallation=file://" + work + "/profile", "--convert-to",
                            "csv:Text - txt - csv (StarCalc):" + options, "--outdir", work, source],
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for sheet in ("Items", "Ledgers"):
                with open(os.path.join(work, "sample-%s.csv" % sheet), "rb") as f:
                    data = f.read()
                if ext == ".csv" and not data.startswith(codecs.BOM_UTF8):
                    data = codecs.BOM_UTF8 + data
                with open(os.path.join(out, sheet + ext), "wb") as f:
                    f.write(data)
        finally:
            shutil.rmtree(work)


def text_fuzz_seeds():
    """Seeds of the text reader's fuzzer: the sample's items as saved, and
    small files in each encoding and delimiter, with quotes, line breaks
    inside them and every kind of line end."""
    folder = os.path.join(FUZZ, "text_corpus")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copy(os.path.join(FIXTURES, "text", "sample_csv", "Items.csv"),
                os.path.join(folder, "sample_items.csv"))
    seeds = {
        "semicolon_1252.csv": "Name;City;Balance\r\nMüller;Köln;1.500,50\r\n€ Shop;Paris;0\r\n"
                              .encode("cp1252"),
        "quotes_utf16be.txt": codecs.BOM_UTF16_BE +
        'Code\tName\n"A1"\t"Soap ""Lux"", 100g"\n"A2"\t"two\nlines"\n'.encode("utf-16-be"),
        "pipe_lone_cr.txt": b"Code|Name|Qty\rA1|Soap|=1+1\rA2||-5\r",
        "ragged.csv": b"a,b,c\n1,2\n1,2,3,\n\n",
        "one_column.csv": b"\xef\xbb\xbfName\nSoap\n\"Oil, raw\"\n",
    }
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def bomb():
    """A worksheet part that inflates to 1.5 GB of spaces: the package is
    refused before the part is inflated."""
    path = os.path.join(FIXTURES, "inflates_too_far.xlsx")
    with zipfile.ZipFile(os.path.join(FIXTURES, "two_rows.xlsx")) as src, \
            zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as dst:
        for info in src.infolist():
            if info.filename != "xl/worksheets/sheet1.xml":
                dst.writestr(info, src.read(info))
                continue
            part = zipfile.ZipInfo(info.filename, date_time=info.date_time)
            part.compress_type = zipfile.ZIP_DEFLATED
            with dst.open(part, "w") as out:
                block = b" " * (16 << 20)
                for _ in range(1536 // 16):
                    out.write(block)


def cross_format_two_rows():
    """two_rows as .xlsx and .ods, for the command line and the window."""
    ledger_rows = [LEDGER_HEAD, ["L1", "Ledger One", "Sundry Debtors", "", "", "", 100, "Dr", ""]]
    sheets = [("Items", [ITEM_HEAD, item_row("A1", "Soap", "Toiletries"),
                         item_row("A2", "Oil", "Kitchen")]),
              ("Ledgers", ledger_rows)]
    for ext in (".xlsx", ".ods"):
        fods.write(os.path.join(FIXTURES, "two_rows" + ext), sheets)


def main():
    os.makedirs(FIXTURES, exist_ok=True)
    if len(sys.argv) > 1:
        for step in sys.argv[1:]:
            globals()[step]()
        print("made:", " ".join(sys.argv[1:]))
        return
    real_mixed()
    heading_cases()
    percent_cells()
    other_savings()
    sample()
    sample_loop()
    edge_cases()
    text_rules()
    cross_format_two_rows()
    xlsx_edge_cases()
    text_exports()
    bomb()
    fuzz_corpora()
    fuzz_seeds()
    text_fuzz_seeds()
    print("fixtures written")


if __name__ == "__main__":
    main()
