#!/usr/bin/python3
# Reads columns A and B of every row of the first worksheet with an independent
# reader (xlrd for .xls, openpyxl for .xlsx) and prints
# {"sheets": [...], "rows": [[a, b], ...]} as ASCII JSON.
import json
import sys


def text(value):
    if value is None:
        return ""
    return value if isinstance(value, str) else str(value)


def main():
    reader, path = sys.argv[1], sys.argv[2]
    if reader == "xlrd":
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
        rows = [[text(v) for v in (list(row) + [None, None])[:2]]
                for row in sheet.iter_rows(values_only=True)]
        names = book.sheetnames
    print(json.dumps({"sheets": names, "rows": rows}))


main()
