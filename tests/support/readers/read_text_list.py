#!/usr/bin/python3
# Reads a text list with Python's own csv module and prints its rows as one line of
# ASCII JSON: [[field, ...], ...]. Arguments: the file and its separator ("comma" or
# "tab"). The file must be UTF-8 without a byte order mark.
import csv
import io
import json
import sys

path, separator = sys.argv[1], {"comma": ",", "tab": "\t"}[sys.argv[2]]
with open(path, encoding="utf-8", newline="") as f:
    data = f.read()
if data.startswith("\ufeff"):
    sys.exit("the file begins with a byte order mark")
print(json.dumps(list(csv.reader(io.StringIO(data, newline=""), delimiter=separator))))
