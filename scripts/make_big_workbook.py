#!/usr/bin/python3
"""Writes a large .xls workbook for the benchmarks: items on worksheet 1
(16 columns, every item with an opening quantity, spread over a number of
categories) and ledgers on worksheet 2 (9 columns, every ledger with an
opening balance).

Usage: make_big_workbook.py OUT.xls ITEM_ROWS LEDGER_ROWS [CATEGORIES]
"""
import sys

import xlwt


def main():
    out, items, ledgers = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    categories = int(sys.argv[4]) if len(sys.argv) > 4 else 100
    book = xlwt.Workbook()
    ws = book.add_sheet("Items")
    head = ["ITEM CODE", "ITEM NAME", "CATEGORY", "MANUFACTURE", "QOH", "PURCHASE RATE",
            "WHOLESALE", "MRP", "SALES VAT", "CST", "PURCHASE VAT", "RATE INCLUSIVE OF TAX SALES",
            "RATE INCLUSIVE OF TAX PURCHASE", "UNIT", "Description", "ROL"]
    for c, h in enumerate(head):
        ws.write(0, c, h)
    for i in range(items):
        r = i + 1
        row = ["IT%06d" % r, "Item number %d" % r, "Category %03d" % (i % categories),
               "Maker %d" % (i % 17), (i % 50) + 1, 10 + i % 90 + 0.25, 12 + i % 90, 15 + i % 90,
               12.5, 2, 4, "YES" if i % 3 == 0 else "NO", "NO", "Nos", "Description %d" % r,
               i % 20]
        for c, v in enumerate(row):
            ws.write(r, c, v)
    ws = book.add_sheet("Ledgers")
    head = ["Ledger Alias Name", "Ledger Name", "AccountGroup", "Address", "Phone", "TIN",
            "OpeningBalance", "DrCr", "Area"]
    for c, h in enumerate(head):
        ws.write(0, c, h)
    for i in range(ledgers):
        r = i + 1
        row = ["L%06d" % r, "Ledger number %d" % r,
               "Sundry Debtors" if i % 2 == 0 else "Sundry Creditors", "%d Long Street" % r,
               "555-%06d" % r, "TIN%08d" % r, 100 + (i % 1000) * 1.5, "Dr" if i % 2 == 0 else "Cr",
               "Area %d" % (i % 9)]
        for c, v in enumerate(row):
            ws.write(r, c, v)
    book.save(out)


if __name__ == "__main__":
    main()
