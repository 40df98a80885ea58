#!/usr/bin/env python3
"""Fills a template workbook as a bookkeeper would: the rows below row 1 of
each sheet of SOURCE are typed into the sheet of the same name in TEMPLATE,
cell by cell and with their types, and the result is saved as OUTPUT. The
template's notes, lists and formats stay as they are.

    fill_template.py TEMPLATE SOURCE OUTPUT
"""
import sys

import openpyxl


def main(template, source, output):
    book = openpyxl.load_workbook(template)
    rows = openpyxl.load_workbook(source, data_only=True)
    for name in ("Items", "Ledgers"):
        target = book[name]
        for r, row in enumerate(rows[name].iter_rows(min_row=2, values_only=True), start=2):
            for c, value in enumerate(row, start=1):
                if value is not None:
                    target.cell(row=r, column=c, value=value)
    book.save(output)


if __name__ == "__main__":
    main(*sys.argv[1:4])
