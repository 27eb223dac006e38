#!/usr/bin/python3
# Writes, with Python's own zipfile, the small workbooks that once made the readers
# take gigabytes or minutes, at their full sizes. Usage: make_hostile.py KIND OUT
#   ods-spaces          1,000 rows whose column C holds 1,048,575 spaces (A, B words)
#   ods-spaces-in-a     the same with the spaces in column A
#   xlsx-long-shared    one 1,000,000-character shared string in column B of 300 rows
#   xlsx-far-column     200,000 rows of one cell each, in column XFD
#   xlsx-outside-root   the workbook named as ../xl/workbook.xml
#   xlsx-outside-sheet  a sheet named as ../../../x/sheet1.xml
#   xlsx-deep           elements nested 300,000 deep
#   ods-repeated        a row of two 30,000-character texts repeated a million times
#   xlsx-long-text      a 5 MiB text in a cell of column C, stored uncompressed
#   kvtml-deep          a vocabulary file of elements nested three million deep
import random
import sys
import zipfile

kind, target = sys.argv[1:3]
MAIN = 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'
RELS = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'
PACKAGE = 'http://schemas.openxmlformats.org/package/2006/relationships'
ODS_HEAD = ('<?xml version="1.0"?><office:document-content '
            'xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
            'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body>'
            '<office:spreadsheet><table:table table:name="Sheet1">')
ODS_TAIL = '</table:table></office:spreadsheet></office:body></office:document-content>'


def text_cell(text):
    return '<table:table-cell office:value-type="string"><text:p>%s</text:p></table:table-cell>' % text


SPACES = '<table:table-cell><text:p><text:s text:c="1048575"/></text:p></table:table-cell>'


def ods(rows):
    with zipfile.ZipFile(target, 'w', zipfile.ZIP_DEFLATED, compresslevel=9) as out:
        out.writestr('mimetype', 'application/vnd.oasis.opendocument.spreadsheet')
        out.writestr('content.xml', ODS_HEAD + rows + ODS_TAIL)


def xlsx(sheet, shared=None, root_target='xl/workbook.xml', sheet_target='worksheets/sheet1.xml',
         method=zipfile.ZIP_DEFLATED):
    with zipfile.ZipFile(target, 'w', method) as out:
        out.writestr('[Content_Types].xml', '<Types xmlns="http://schemas.openxmlformats.org/'
                     'package/2006/content-types"/>')
        out.writestr('_rels/.rels', '<Relationships xmlns="%s"><Relationship Id="rId1" '
                     'Type="%s/officeDocument" Target="%s"/></Relationships>'
                     % (PACKAGE, RELS, root_target))
        out.writestr('xl/workbook.xml', '<workbook xmlns="%s" xmlns:r="%s"><sheets><sheet '
                     'name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>' % (MAIN, RELS))
        links = ('<Relationship Id="rId1" Type="%s/worksheet" Target="%s"/>' % (RELS, sheet_target))
        if shared is not None:
            links += '<Relationship Id="rId2" Type="%s/sharedStrings" Target="sharedStrings.xml"/>' % RELS
            out.writestr('xl/sharedStrings.xml', '<sst xmlns="%s">%s</sst>' % (MAIN, shared))
        out.writestr('xl/_rels/workbook.xml.rels',
                     '<Relationships xmlns="%s">%s</Relationships>' % (PACKAGE, links))
        with out.open('xl/worksheets/sheet1.xml', 'w') as part:
            part.write(('<worksheet xmlns="%s"><sheetData>' % MAIN).encode())
            for piece in sheet:
                part.write(piece.encode())
            part.write(b'</sheetData></worksheet>')


if kind == 'ods-spaces':
    ods(''.join('<table:table-row>%s%s%s</table:table-row>'
                % (text_cell('w%d' % i), text_cell('d'), SPACES) for i in range(1000)))
elif kind == 'ods-spaces-in-a':
    ods('<table:table-row>%s</table:table-row>' % (SPACES * 1000))
elif kind == 'ods-repeated':
    ods('<table:table-row table:number-rows-repeated="1000000">%s%s</table:table-row>'
        % (text_cell('w' * 30000), text_cell('d' * 30000)))
elif kind == 'xlsx-long-shared':
    xlsx(('<row r="%d"><c r="A%d" t="inlineStr"><is><t>w%d</t></is></c><c r="B%d" t="s">'
          '<v>0</v></c></row>' % (r, r, r, r) for r in range(1, 301)),
         shared='<si><t>%s</t></si>' % ('x' * 1000000))
elif kind == 'xlsx-far-column':
    xlsx('<row r="%d"><c r="XFD%d" t="inlineStr"><is><t>x</t></is></c></row>' % (r, r)
         for r in range(1, 200001))
elif kind == 'xlsx-outside-root':
    xlsx(['<row r="1"/>'], root_target='../xl/workbook.xml')
elif kind == 'xlsx-outside-sheet':
    xlsx(['<row r="1"/>'], sheet_target='../../../x/sheet1.xml')
elif kind == 'xlsx-deep':
    xlsx(['<row r="1">', '<c>' * 300000])
elif kind == 'xlsx-long-text':
    letters = random.Random(5).choices('abcdefghijklmnopqrstuvwxyz', k=5 << 20)
    xlsx(['<row r="1"><c r="A1" t="inlineStr"><is><t>w</t></is></c>'
          '<c r="C1" t="inlineStr"><is><t>', ''.join(letters), '</t></is></c></row>'],
         method=zipfile.ZIP_STORED)
elif kind == 'kvtml-deep':
    with open(target, 'w') as out:
        out.write('<?xml version="1.0"?><kvtml version="2.0"><entries>' + '<a>' * 3000000)
else:
    sys.exit('unknown kind ' + kind)
