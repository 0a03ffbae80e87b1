#!/usr/bin/env python3
"""Compares two .xlsx workbooks cell by cell: worksheet names, and every cell's value and type.

usage: compare_workbooks.py EXPECTED.xlsx ACTUAL.xlsx
Prints each difference and exits 1 when there is one.
"""
import sys

import openpyxl


def cells(path):
    book = openpyxl.load_workbook(path)
    return {sheet.title: {(cell.row, cell.column): (type(cell.value).__name__, cell.value)
                          for row in sheet.iter_rows() for cell in row if cell.value is not None}
            for sheet in book.worksheets}


expected, actual = cells(sys.argv[1]), cells(sys.argv[2])
differences = []
if list(expected) != list(actual):
    differences.append(f"worksheets {list(expected)} and {list(actual)}")
for title in expected.keys() & actual.keys():
    for at in sorted(expected[title].keys() | actual[title].keys()):
        if expected[title].get(at) != actual[title].get(at):
            differences.append(f"{title} row {at[0]} column {at[1]}: {expected[title].get(at)} and {actual[title].get(at)}")
for difference in differences[:20]:
    print(difference)
if differences:
    print(f"{sys.argv[2]} differs from {sys.argv[1]} in {len(differences)} place(s)")
    sys.exit(1)
count = sum(len(sheet) for sheet in actual.values())
print(f"{sys.argv[2]}: the same {count} cells as {sys.argv[1]}")
