#!/usr/bin/python3
# Writes a test .ods from the same cell list as write_workbook.pl, with odfpy.
# Usage: write_ods.py CELLS OUT. Kinds: s, n, date, b, f (formula; EXTRA its
# value), rich (VALUE in a span, EXTRA after it). Rows and cells left out between
# filled ones are written as repeated empty rows and cells.
import sys
from odf.opendocument import OpenDocumentSpreadsheet
from odf.style import Style, TableProperties
from odf.table import Table, TableRow, TableCell
from odf.text import P, Span, LineBreak, Tab, S


def unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == '\\' and i + 1 < len(text):
            out.append({'n': '\n', 'r': '\r', 't': '\t'}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(text[i])
            i += 1
    return ''.join(out)


def paragraphs(cell, text):
    # ODF keeps one paragraph per line; runs of spaces and tabs are elements.
    for line in text.split('\n'):
        p = P()
        run = ''
        i = 0
        while i < len(line):
            c = line[i]
            if c == '\t':
                if run:
                    p.addText(run)
                    run = ''
                p.addElement(Tab())
            elif c == ' ' and i + 1 < len(line) and line[i + 1] == ' ':
                j = i
                while j < len(line) and line[j] == ' ':
                    j += 1
                if run:
                    p.addText(run)
                    run = ''
                p.addElement(S(c=j - i))
                i = j
                continue
            else:
                run += c
            i += 1
        if run:
            p.addText(run)
        cell.addElement(p)


doc = OpenDocumentSpreadsheet()
sheets = []
for line in open(sys.argv[1], encoding='utf-8').read().split('\n'):
    if not line:
        continue
    f = line.split('\t')
    if f[0] == 'date1904':
        continue
    if f[0] == 'sheet':
        if f[2] != 'chart':
            sheets.append((unescape(f[1]), f[2] == 'hidden', {}))
        continue
    row, col, kind = int(f[0]), int(f[1]), f[2]
    value = unescape(f[3]) if len(f) > 3 else ''
    extra = unescape(f[4]) if len(f) > 4 else ''
    sheets[-1][2][(row, col)] = (kind, value, extra)

hidden = Style(name='hiddentable', family='table')
hidden.addElement(TableProperties(display=False))
doc.automaticstyles.addElement(hidden)
for name, is_hidden, cells in sheets:
    table = Table(name=name, stylename=hidden if is_hidden else None)
    rows = max([r for r, _ in cells] + [-1]) + 1
    last = -1
    for r in range(rows):
        filled = sorted(c for rr, c in cells if rr == r)
        if not filled:
            continue
        if r - last > 1:
            gap = TableRow(numberrowsrepeated=r - last - 1)
            gap.addElement(TableCell())
            table.addElement(gap)
        last = r
        tr = TableRow()
        col = -1
        for c in filled:
            if c - col > 1:
                tr.addElement(TableCell(numbercolumnsrepeated=c - col - 1))
            col = c
            kind, value, extra = cells[(r, c)]
            if kind == 's':
                cell = TableCell(valuetype='string')
                paragraphs(cell, value)
            elif kind == 'n':
                cell = TableCell(valuetype='float', value=value)
                cell.addElement(P(text=value))
            elif kind == 'date':
                cell = TableCell(valuetype='date', datevalue=value)
                cell.addElement(P(text=value))
            elif kind == 'b':
                cell = TableCell(valuetype='boolean', booleanvalue='true' if value == '1' else 'false')
                cell.addElement(P(text='TRUE' if value == '1' else 'FALSE'))
            elif kind == 'f':
                try:
                    float(extra)
                    cell = TableCell(valuetype='float', value=extra, formula='of:' + value)
                except ValueError:
                    cell = TableCell(valuetype='string', stringvalue=extra, formula='of:' + value)
                cell.addElement(P(text=extra))
            elif kind == 'rich':
                cell = TableCell(valuetype='string')
                p = P()
                p.addElement(Span(text=value))
                p.addText(extra)
                cell.addElement(p)
            tr.addElement(cell)
        table.addElement(tr)
    # A sheet always ends with many repeated empty rows, as office suites write it.
    tail = TableRow(numberrowsrepeated=1048000)
    tail.addElement(TableCell(numbercolumnsrepeated=1024))
    table.addElement(tail)
    doc.spreadsheet.addElement(table)
doc.save(sys.argv[2])
