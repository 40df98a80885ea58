#!/usr/bin/python3
"""Writes a large workbook for the benchmarks: items on worksheet 1
(16 columns, every item with an opening quantity, spread over a number of
categories) and ledgers on worksheet 2 (9 columns, every ledger with an
opening balance).

The format follows OUT's extension: .xls is written with xlwt, .xlsx with
XlsxWriter, and .ods is the .xls content saved by LibreOffice (headless), so
that all three hold the same cells.

Usage: make_big_workbook.py OUT.xls|OUT.xlsx|OUT.ods ITEM_ROWS LEDGER_ROWS [CATEGORIES]
"""
import os
import shutil
import subprocess
import sys
import tempfile

ITEM_HEAD = ["ITEM CODE", "ITEM NAME", "CATEGORY", "MANUFACTURE", "QOH", "PURCHASE RATE",
             "WHOLESALE", "MRP", "SALES VAT", "CST", "PURCHASE VAT",
             "RATE INCLUSIVE OF TAX SALES", "RATE INCLUSIVE OF TAX PURCHASE", "UNIT",
             "Description", "ROL"]
LEDGER_HEAD = ["Ledger Alias Name", "Ledger Name", "AccountGroup", "Address", "Phone", "TIN",
               "OpeningBalance", "DrCr", "Area"]


def item_rows(items, categories):
    for i in range(items):
        r = i + 1
        yield ["IT%06d" % r, "Item number %d" % r, "Category %03d" % (i % categories),
               "Maker %d" % (i % 17), (i % 50) + 1, 10 + i % 90 + 0.25, 12 + i % 90, 15 + i % 90,
               12.5, 2, 4, "YES" if i % 3 == 0 else "NO", "NO", "Nos", "Description %d" % r,
               i % 20]


def ledger_rows(ledgers):
    for i in range(ledgers):
        r = i + 1
        yield ["L%06d" % r, "Ledger number %d" % r,
               "Sundry Debtors" if i % 2 == 0 else "Sundry Creditors", "%d Long Street" % r,
               "555-%06d" % r, "TIN%08d" % r, 100 + (i % 1000) * 1.5, "Dr" if i % 2 == 0 else "Cr",
               "Area %d" % (i % 9)]


def sheets(items, ledgers, categories):
    return [("Items", ITEM_HEAD, item_rows(items, categories)),
            ("Ledgers", LEDGER_HEAD, ledger_rows(ledgers))]


def write_xls(out, items, ledgers, categories):
    import xlwt
    book = xlwt.Workbook()
    for name, head, rows in sheets(items, ledgers, categories):
        ws = book.add_sheet(name)
        for c, h in enumerate(head):
            ws.write(0, c, h)
        for r, row in enumerate(rows, start=1):
            for c, v in enumerate(row):
                ws.write(r, c, v)
    book.save(out)


def write_xlsx(out, items, ledgers, categories):
    import xlsxwriter
    book = xlsxwriter.Workbook(out)
    for name, head, rows in sheets(items, ledgers, categories):
        ws = book.add_worksheet(name)
        ws.write_row(0, 0, head)
        for r, row in enumerate(rows, start=1):
            ws.write_row(r, 0, row)
    book.close()


def write_ods(out, items, ledgers, categories):
    work = tempfile.mkdtemp()
    try:
        src = os.path.join(work, "book.xls")
        write_xls(src, items, ledgers, categories)
        subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + work + "/profile",
                        "--convert-to", "ods:calc8", "--outdir", work, src],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.copy(os.path.join(work, "book.ods"), out)
    finally:
        shutil.rmtree(work)


def main():
    out, items, ledgers = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    categories = int(sys.argv[4]) if len(sys.argv) > 4 else 100
    writers = {".xls": write_xls, ".xlsx": write_xlsx, ".ods": write_ods}
    writers[os.path.splitext(out)[1].lower()](out, items, ledgers, categories)


if __name__ == "__main__":
    main()
