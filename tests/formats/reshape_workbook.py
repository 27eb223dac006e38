#!/usr/bin/python3
# Reshapes a sound .xlsx or .ods (written by an independent writer) with Python's
# own zipfile: into a hostile one, or into another sound form that writers use.
# Usage: reshape_workbook.py MODE IN OUT
import re
import struct
import sys
import zipfile

mode, source, target = sys.argv[1:4]
SHEET = 'xl/worksheets/sheet1.xml'
LAUGHS = ('<?xml version="1.0"?>\n<!DOCTYPE lolz [<!ENTITY lol "lol">'
          + ''.join('<!ENTITY lol%d "%s">' % (i, ('&lol%d;' % (i - 1) if i else '&lol;') * 10)
                    for i in range(9))
          + ']>\n<worksheet><sheetData><row><c t="inlineStr"><is><t>&lol8;</t></is></c></row>'
          '</sheetData></worksheet>')
EXTERNAL = ('<?xml version="1.0"?>\n<!DOCTYPE w [<!ENTITY e SYSTEM "file:///etc/passwd">]>\n')


def copy(replace=None, extra=()):
    with zipfile.ZipFile(source) as zin, zipfile.ZipFile(target, 'w', zipfile.ZIP_DEFLATED) as zout:
        for item in zin.infolist():
            data = zin.read(item.filename)
            if replace and item.filename in replace:
                data = replace[item.filename](data)
            zout.writestr(item.filename, data)
        for name, data in extra:
            zout.writestr(name, data)


def first_match(pattern, repl):
    return lambda data: re.sub(pattern, repl, data, count=1)


if mode == 'zipbomb':
    # 40 MB of white space inside the sheet: sound XML that expands a thousandfold.
    with zipfile.ZipFile(source) as zin, zipfile.ZipFile(target, 'w', zipfile.ZIP_DEFLATED,
                                                         compresslevel=9) as zout:
        for item in zin.infolist():
            if item.filename != SHEET:
                zout.writestr(item.filename, zin.read(item.filename))
        with zout.open(SHEET, 'w', force_zip64=False) as sheet:
            sheet.write(b'<?xml version="1.0"?><worksheet><sheetData>')
            for _ in range(40):
                sheet.write(b' ' * (1 << 20))
            sheet.write(b'</sheetData></worksheet>')
elif mode == 'lyingsize':
    # The directory promises far less than the sheet inflates to.
    copy()
    data = bytearray(open(target, 'rb').read())
    name = SHEET.encode()
    at = 0
    while True:
        at = data.find(b'PK\x01\x02', at)
        if at < 0:
            break
        length = struct.unpack_from('<H', data, at + 28)[0]
        if data[at + 46:at + 46 + length] == name:
            struct.pack_into('<I', data, at + 24, 40)
        at += 4
    open(target, 'wb').write(bytes(data))
elif mode == 'manyentries':
    copy(extra=[('pad/%d.txt' % i, b'x') for i in range(10001)])
elif mode == 'dtdbomb':
    copy({SHEET: lambda data: LAUGHS.encode()})
elif mode == 'externalentity':
    copy({'xl/workbook.xml': lambda data: EXTERNAL.encode() + re.sub(rb'^<\?xml[^>]*\?>', b'', data)})
elif mode == 'badsharedstring':
    copy({SHEET: first_match(rb't="s"><v>\d+</v>', b't="s"><v>999999</v>')})
elif mode == 'badreference':
    copy({SHEET: first_match(rb'<c r="[A-Z]+\d+"', b'<c r="A0"')})
elif mode == 'odsspaces':
    copy({'content.xml': first_match(rb'<text:p>', b'<text:p><text:s text:c="1048576"/>'
                                     b'<text:s text:c="1048576"/>')})
elif mode == 'odsdtd':
    copy({'content.xml': lambda data: EXTERNAL.encode() + re.sub(rb'^<\?xml[^>]*\?>', b'', data)})
elif mode == 'noreferences':
    # Rows and cells without their optional r attributes: positions are counted.
    copy({SHEET: lambda data: re.sub(rb'(<(?:row|c)\b[^>]*?) r="[A-Z]*\d+"', rb'\1', data)})
elif mode == 'absolutetargets':
    copy({'xl/_rels/workbook.xml.rels': lambda data: re.sub(rb'Target="(?!/)', b'Target="/xl/', data),
          '_rels/.rels': lambda data: data.replace(b'Target="xl/', b'Target="/xl/')})
elif mode == 'uppercaseparts':
    # Part names are case-insensitive: the entries differ in case from the targets.
    with zipfile.ZipFile(source) as zin, zipfile.ZipFile(target, 'w', zipfile.ZIP_DEFLATED) as zout:
        for item in zin.infolist():
            name = item.filename
            if name.startswith('xl/') and not name.startswith('xl/_rels'):
                name = 'XL/' + name[3:].upper()
            zout.writestr(name, zin.read(item.filename))
elif mode == 'prefixed':
    # The main namespace under a prefix and the relationships one under another.
    def prefix(data):
        data = re.sub(rb'<(/?)(?!\?|x:|r:|mc:|x14ac:|xr)([A-Za-z]+)', rb'<\1x:\2', data)
        data = data.replace(b'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"',
                            b'xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main"')
        return data.replace(b'xmlns:r=', b'xmlns:rel=').replace(b' r:id=', b' rel:id=')
    copy({'xl/workbook.xml': prefix, SHEET: prefix, 'xl/sharedStrings.xml': prefix})
elif mode == 'strict':
    # The namespaces of Strict Open XML in every part.
    def strict(data):
        return (data.replace(b'http://schemas.openxmlformats.org/officeDocument/2006/relationships',
                             b'http://purl.oclc.org/ooxml/officeDocument/relationships')
                .replace(b'http://schemas.openxmlformats.org/spreadsheetml/2006/main',
                         b'http://purl.oclc.org/ooxml/spreadsheetml/main'))
    with zipfile.ZipFile(source) as zin:
        names = [item.filename for item in zin.infolist()]
    copy({name: strict for name in names})
else:
    sys.exit('unknown mode ' + mode)
