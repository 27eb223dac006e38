#!/usr/bin/python3
# Reads columns A and B of every row of the first worksheet with an independent
# reader (xlrd for .xls, openpyxl for .xlsx, the csv module for .csv and .tsv: UTF-8,
# strict quoting, tabs for .tsv) and prints {"sheets": [...], "rows": [[a, b], ...]}
# as ASCII JSON.
import csv
import json
import os
import sys


def text(value):
    if value is None:
        return ""
    return value if isinstance(value, str) else str(value)


def main():
    reader, path = sys.argv[1], sys.argv[2]
    if reader == "csv":
        delimiter = "\t" if path.lower().endswith(".tsv") else ","
        with open(path, encoding="utf-8", newline="") as f:
            rows = [(row + ["", ""])[:2] for row in csv.reader(f, delimiter=delimiter, strict=True)]
        names = [os.path.splitext(os.path.basename(path))[0]]
    elif reader == "xlrd":
        import xlrd
        book = xlrd.open_workbook(path)
        sheet = book.sheet_by_index(0)
        rows = [[text(sheet.cell_value(r, c)) if c < sheet.ncols else "" for c in range(2)]
                for r in range(sheet.nrows)]
        names = book.sheet_names()
    else:
        import openpyxl
        book = openpyxl.load_workbook(path, read_only=True)
        sheet = book.worksheets[0]
        # openpyxl 3.0 leaves the _xHHHH_ escapes of inline strings (ECMA-376 ST_Xstring)
        # in place; they are undone here by openpyxl's own unescape.
        from openpyxl.utils.escape import unescape
        rows = [[unescape(text(v)) for v in (list(row) + [None, None])[:2]]
                for row in sheet.iter_rows(values_only=True)]
        names = book.sheetnames
    print(json.dumps({"sheets": names, "rows": rows}))


main()
